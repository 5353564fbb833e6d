// The module test fixture.
#include "tests/support/velm_test.h"

#include "host/ads/lisp.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/harness/harness.h"
#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"

namespace {
// The appId the module sees when started directly.
int g_appTag = 0;
}  // namespace

void VelmTest::SetUp() {
    host::resetAll();
    host::startHost({});
    host::installScriptDirectives();
    host::resetExpectationFailures();
    host::resetEditorSession();
}

void VelmTest::TearDown() {
    for (const std::string& left : host::objectsLeftOpen()) ADD_FAILURE() << "object left open: " << left;
    if (m_entry) {
        m_entry(4, &g_appTag);
        m_entry(2, &g_appTag);
        m_entry = nullptr;
    }
    host::resetAll();
}

void VelmTest::startModule(EntryPoint entry) {
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry(1, &g_appTag), ZcRx::kRetError) << "the module refused to start";
    m_entry = entry;
    m_entry(3, &g_appTag);
    host::setLispInvoker([entry] { return entry(5, &g_appTag) == ZcRx::kRetError ? RTERROR : RTNORM; });
}

void VelmTest::push(std::initializer_list<std::string> lines) {
    for (const std::string& l : lines) push(l);
}

void VelmTest::push(const std::string& line) {
    host::currentInput().pushLine(line);
}

int VelmTest::run(std::initializer_list<std::string> lines) {
    push(lines);
    return host::processInput();
}

const std::string& VelmTest::transcript() {
    return host::transcript().text();
}
const std::string& VelmTest::lastMessage() {
    return host::transcript().lastMessage();
}

ZcDbDatabase* VelmTest::db() {
    ZcApDocument* doc = zcDocManagerPtr()->curDocument();
    return doc ? doc->database() : nullptr;
}

std::vector<ZcDbObjectId> VelmTest::modelSpace() {
    ZcDbBlockTableRecord* ms = nullptr;
    if (!db() || zcdbOpenObject(ms, db()->modelSpaceId(), ZcDb::kForRead) != Zcad::eOk) return {};
    std::vector<ZcDbObjectId> ids = ms->entityIds();
    ms->close();
    return ids;
}

int VelmTest::count(const std::string& filter) {
    std::string error;
    std::optional<int> n = host::countMatching(filter, &error);
    EXPECT_TRUE(n.has_value()) << error;
    return n.value_or(-1);
}
