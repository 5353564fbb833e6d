// The module file itself: loaded by name into the host, it registers its
// commands, classes and LISP functions, answers LISP calls, and leaves the
// host as it found it when the drawings are closed and it is unloaded. And
// the demo script of the settings variables, run by the host program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "host/ads/editor.h"
#include "host/ads/lisp.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/rx/rxdynlinker.h"
#include "host/rx/rxobject.h"

namespace {

std::string modulePath() {
    return std::string(VELM_BINARY_DIR) + "/velmlt18.zrx";
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The value printed for a LISP line: the first line after the call that is
// not a host message.
std::string valueAfter(const std::string& text, const std::string& call) {
    std::size_t at = text.find(call);
    if (at == std::string::npos) return "<no call>";
    std::size_t pos = text.find('\n', at);
    while (pos != std::string::npos) {
        std::size_t end = text.find('\n', pos + 1);
        std::string line = text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
        if (line.rfind("Nieznane polecenie", 0) != 0) return line;
        pos = end;
    }
    return "<no value>";
}

}  // namespace

TEST(ModuleFile, loads_registers_answers_and_unloads_without_a_trace) {
    host::startHost({});
    host::resetEditorSession();
    std::size_t editorReactors = zcedEditor->reactorCount();
    std::string message;
    ASSERT_TRUE(zcrxDynamicLinker->loadModule(modulePath(), &message)) << message;
    void* appId = zcrxDynamicLinker->findModule(modulePath())->handle;
    EXPECT_FALSE(zcrxDynamicLinker->isApplicationLocked(appId));
    EXPECT_TRUE(zcrxDynamicLinker->isAppMDIAware(appId));
    EXPECT_TRUE(zcedRegCmds()->hasGroup("VELM7"));
    ZcEdCommand* help = zcedRegCmds()->lookupLocalCmd("VELHELP");
    ASSERT_NE(help, nullptr);
    EXPECT_STREQ(help->globalName(), "VELMHELP");
    EXPECT_NE(zcrxFindClass("VELM_SETUP"), nullptr);

    zcrxDynamicLinker->sendToAll(3);
    EXPECT_TRUE(host::lispFunctionDefined("velmgetvar"));
    EXPECT_EQ(host::evaluateLispLine("(velmgetvar \"SFATSCALA\")"), RTNORM);
    EXPECT_EQ(host::lastLispValue(), "50");
    // A second drawing becomes current: the editor reactor comes.
    zcDocManagerPtr()->createDocument("second.dxf");
    EXPECT_EQ(zcedEditor->reactorCount(), editorReactors + 1);

    host::resetDocuments();
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
    ASSERT_TRUE(zcrxDynamicLinker->unloadModule(modulePath()));
    EXPECT_FALSE(zcedRegCmds()->hasGroup("VELM7"));
    EXPECT_EQ(zcedRegCmds()->lookupLocalCmd("VELHELP"), nullptr);
    EXPECT_EQ(zcrxFindClass("VELM_SETUP"), nullptr);
    EXPECT_EQ(zcedEditor->reactorCount(), editorReactors);
    // Drawings opened after the unload hear nothing of the module.
    ZcApDocument* later = zcDocManagerPtr()->createDocument("later.dxf");
    ASSERT_NE(later, nullptr);
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
    host::resetDocuments();
}

TEST(ModuleFile, settings_demo_runs_through_the_host_program) {
    std::string out = ::testing::TempDir() + "entry_demo_out.txt";
    std::string saved = ::testing::TempDir() + "entry_demo.dxf";
    std::string cmd = std::string(VELM_BINARY_DIR) + "/velmhost --script " + VELM_SOURCE_DIR +
                      "/demo/settings.scr --save " + saved + " > " + out + " 2>&1";
    int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    std::string text = readAll(out);
    EXPECT_EQ(WEXITSTATUS(rc), 0) << text;
    EXPECT_NE(text.find("Nowa wartość dla zmiennej SFTMTCM <"), std::string::npos) << text;
    EXPECT_EQ(valueAfter(text, "(velmgetvar \"SFTMTCM\")"), "0.01") << text;
    EXPECT_EQ(valueAfter(text, "(velmgetvar \"SFATSCALA\")"), "100") << text;
    EXPECT_NE(text.find("\"2DWALLS\""), std::string::npos) << text;
    // The settings went into the saved drawing with the module's classes.
    EXPECT_NE(readAll(saved).find("VELM_SETUP"), std::string::npos);
}
