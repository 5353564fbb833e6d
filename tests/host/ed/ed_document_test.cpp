// Documents: creation, switching and closing with their notifications,
// per-document queues and drawing variables, locks, database factory.
#include <string>
#include <vector>

#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

std::vector<std::string> log;

struct DocRecorder : ZcApDocManagerReactor {
    void documentCreated(ZcApDocument* d) override { log.push_back(std::string("created ") + d->docTitle()); }
    void documentBecameCurrent(ZcApDocument* d) override {
        log.push_back(std::string("current ") + d->docTitle());
    }
    void documentToBeDestroyed(ZcApDocument* d) override {
        log.push_back(std::string("destroy ") + d->docTitle());
    }
};

class Documents : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        log.clear();
        zcDocManagerPtr()->addReactor(&rec);
    }
    void TearDown() override {
        zcDocManagerPtr()->removeReactor(&rec);
        host::setDocumentLoadHook(nullptr);
        EdSession::TearDown();
    }
    DocRecorder rec;
};

TEST_F(Documents, creating_switching_and_closing_notify_in_order) {
    host::setDocumentLoadHook([](ZcApDocument& d, bool loaded) {
        log.push_back(std::string(loaded ? "load " : "unload ") + d.docTitle());
    });
    ZcApDocManager* m = zcDocManagerPtr();
    ZcApDocument* first = m->curDocument();
    ZcApDocument* a = m->createDocument("/rys/dom.dwg");
    ZcApDocument* b = m->createDocument("/rys/garaż.dwg");
    EXPECT_EQ(m->documentCount(), 3);
    EXPECT_EQ(m->setCurDocument(a), eEdOk);
    EXPECT_EQ(m->curDocument(), a);
    EXPECT_EQ(m->mdiActiveDocument(), a);
    EXPECT_EQ(m->closeDocument(a), eEdOk);
    EXPECT_EQ(m->curDocument(), b) << "the most recently opened remaining document becomes current";
    std::vector<std::string> want = {
        "created dom.dwg", "current dom.dwg", "load dom.dwg",   "created garaż.dwg", "current garaż.dwg",
        "load garaż.dwg",  "current dom.dwg", "unload dom.dwg", "destroy dom.dwg",   "current garaż.dwg"};
    EXPECT_EQ(log, want);
    EXPECT_EQ(m->setCurDocument(a), eEdInvalidInput) << "a closed document cannot become current";
    EXPECT_TRUE(m->isOpen(first));
}

TEST_F(Documents, drawing_variables_are_per_document_session_variables_are_shared) {
    ZcApDocManager* m = zcDocManagerPtr();
    ZcApDocument* a = m->curDocument();
    host::setSysVar("ELEVATION", host::SysVarValue{300.0});
    host::setSysVar("CMDECHO", host::SysVarValue{short(0)});
    ZcApDocument* b = m->createDocument("/rys/b.dwg");
    EXPECT_DOUBLE_EQ(host::sysVarReal("ELEVATION"), 0.0);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 0);
    EXPECT_EQ(host::sysVarString("DWGNAME"), "b.dwg");
    EXPECT_EQ(host::sysVarString("DWGPREFIX"), "/rys/");
    m->setCurDocument(a);
    EXPECT_DOUBLE_EQ(host::sysVarReal("ELEVATION"), 300.0);
    (void)b;
}

TEST_F(Documents, iteration_lists_every_open_document_in_opening_order) {
    ZcApDocManager* m = zcDocManagerPtr();
    m->createDocument("x.dwg");
    m->createDocument("y.dwg");
    std::vector<std::string> titles;
    for (auto it = m->newZcApDocumentIterator(); !it->done(); it->step())
        titles.push_back(it->document()->docTitle());
    EXPECT_EQ(titles, (std::vector<std::string>{"Drawing1.dwg", "x.dwg", "y.dwg"}));
    EXPECT_EQ(m->findDocument("Y.DWG")->docTitle(), std::string("y.dwg"));
}

TEST_F(Documents, locks_nest_and_unlocking_an_unlocked_document_is_refused) {
    ZcApDocManager* m = zcDocManagerPtr();
    ZcApDocument* d = m->curDocument();
    EXPECT_EQ(d->lockMode(), ZcAp::kNotLocked);
    EXPECT_EQ(m->lockDocument(d, ZcAp::kWrite), eEdOk);
    EXPECT_EQ(m->lockDocument(d, ZcAp::kWrite), eEdOk);
    EXPECT_EQ(d->lockMode(), ZcAp::kWrite);
    EXPECT_EQ(m->unlockDocument(d), eEdOk);
    EXPECT_EQ(m->unlockDocument(d), eEdOk);
    EXPECT_EQ(d->lockMode(), ZcAp::kNotLocked);
    EXPECT_EQ(m->unlockDocument(d), eEdNotApplicable);
}

TEST_F(Documents, each_document_reads_its_own_queue) {
    ZcApDocManager* m = zcDocManagerPtr();
    ZcApDocument* a = m->curDocument();
    ZcApDocument* b = m->createDocument("b.dwg");
    a->inputQueue().pushLine("_NOSUCH_A");
    b->inputQueue().pushLine("_NOSUCH_B");
    EXPECT_EQ(host::processInput(), RTERROR);
    EXPECT_NE(transcript().find("NOSUCH_B"), std::string::npos);
    EXPECT_EQ(transcript().find("NOSUCH_A"), std::string::npos);
    EXPECT_EQ(a->inputQueue().size(), 1u);
}

TEST_F(Documents, database_factory_makes_and_destroys_one_database_per_document) {
    int made = 0, destroyed = 0;
    static char fakeDb[2];
    host::setDatabaseFactory(
        [&](ZcApDocument&) {
            ++made;
            return reinterpret_cast<ZcDbDatabase*>(&fakeDb[made % 2]);
        },
        [&](ZcDbDatabase*) { ++destroyed; });
    ZcApDocManager* m = zcDocManagerPtr();
    ZcApDocument* d = m->createDocument("z.dwg");
    EXPECT_NE(d->database(), nullptr);
    m->closeDocument(d);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(destroyed, 1);
    host::setDatabaseFactory(nullptr, nullptr);
}

}  // namespace

namespace {

TEST_F(Documents, unnamed_drawings_take_the_first_free_number) {
    ZcApDocManager* m = zcDocManagerPtr();
    EXPECT_STREQ(m->createDocument("")->docTitle(), "Drawing2.dwg");
    ZcApDocument* third = m->createDocument("");
    EXPECT_STREQ(third->docTitle(), "Drawing3.dwg");
    m->closeDocument(m->findDocument("Drawing2.dwg"));
    EXPECT_STREQ(m->createDocument("")->docTitle(), "Drawing2.dwg");
}

}  // namespace
