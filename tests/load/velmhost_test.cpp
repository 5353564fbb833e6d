// The host program end to end: exit statuses, the module file loaded by
// name, scripts with checks, and the saved drawing read back by facts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"

namespace {

std::string dir() {
    return ::testing::TempDir();
}

// Each test its own output file: the tests run as parallel processes.
std::string outputPath() {
    return dir() + "velmhost_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int velmhost(const std::string& args) {
    std::string cmd = std::string(VELM_BINARY_DIR) + "/velmhost " + args + " > " + outputPath() + " 2>&1";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string output() {
    std::ifstream in(outputPath());
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(Velmhost, empty_script_saves_a_new_drawing_and_succeeds) {
    std::string scr = dir() + "vh_empty1.scr", out = dir() + "vh_empty.dxf";
    writeFile(scr, "; nothing to do\n");
    std::remove(out.c_str());
    ASSERT_EQ(velmhost("--script " + scr + " --save " + out), 0) << output();
    host::DxfLoadResult r = host::loadDxf(out);
    EXPECT_TRUE(r.db) << r.error;
}

TEST(Velmhost, real_module_answers_a_lisp_line) {
    std::string scr = dir() + "vh_lisp.scr";
    writeFile(scr, "(velm_nonexistent 1)\n");
    // No such function: the call fails, the program says so with status 1.
    EXPECT_EQ(velmhost("--script " + scr), 1) << output();
    EXPECT_NE(output().find("brak funkcji"), std::string::npos) << output();
}

TEST(Velmhost, failed_expectation_gives_status_one_and_says_why) {
    std::string scr = dir() + "vh_expect.scr";
    writeFile(scr, "!expect count 0=LINE 5\n");
    EXPECT_EQ(velmhost("--script " + scr), 1);
    EXPECT_NE(output().find("jest 0, oczekiwano 5"), std::string::npos) << output();
}

TEST(Velmhost, checks_that_held_never_read_as_success_above_a_failure) {
    // A check that holds, then a command that fails and one that is
    // unknown: the last lines say what failed, and the status is 1.
    std::string scr = dir() + "vh_verdict.scr";
    writeFile(scr, "!expect count 0=LINE 0\n_LINE\n0,0\n\n_NOSUCHCOMMAND\n");
    EXPECT_EQ(velmhost("--script " + scr), 1) << output();
    EXPECT_EQ(output().find("wszystkie spełnione"), std::string::npos) << output();
    EXPECT_NE(output().find("Sprawdzenia !expect: spełnione (1), ale skrypt nie powiódł się: "),
              std::string::npos)
        << output();
    EXPECT_NE(output().find("nieznane polecenie _NOSUCHCOMMAND"), std::string::npos) << output();
}

TEST(Velmhost, a_new_drawing_takes_the_name_it_is_saved_under) {
    // The name --save gives is the drawing's from the start: a _QSAVE of the
    // script writes there, and DWGNAME names it.
    std::string scr = dir() + "vh_named.scr", out = dir() + "vh_named.dxf";
    std::remove(out.c_str());
    writeFile(scr, "!expect var DWGNAME vh_named.dxf\n_LINE\n0,0\n1,1\n\n_QSAVE\n");
    ASSERT_EQ(velmhost("--script " + scr + " --save " + out), 0) << output();
    host::DxfLoadResult r = host::loadDxf(out);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(output().find("Podaj nazwę pliku"), std::string::npos) << output();
}

TEST(Velmhost, layer_expectation_reads_the_freeze_of_the_layer_table) {
    std::string scr = dir() + "vh_layer.scr";
    writeFile(scr, "_-LAYER\n_M\nA\n_M\nB\n_F\nA\n\n!expect layer A frozen\n!expect layer B thawed\n");
    EXPECT_EQ(velmhost("--script " + scr), 0) << output();
    writeFile(scr, "_-LAYER\n_M\nA\n\n!expect layer A frozen\n!expect layer C thawed\n!expect layer A off\n");
    EXPECT_EQ(velmhost("--script " + scr), 1);
    EXPECT_NE(output().find("layer A: jest thawed, oczekiwano frozen"), std::string::npos) << output();
    EXPECT_NE(output().find("layer C: nie ma takiej warstwy"), std::string::npos);
    EXPECT_NE(output().find("layer: oczekiwano NAZWA frozen|thawed"), std::string::npos);
}

TEST(Velmhost, drawing_is_opened_checked_and_saved_back) {
    std::string drawing = dir() + "vh_drawing.dxf", scr = dir() + "vh_drawing.scr";
    {
        ZcDbDatabase db;
        ZcDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
        for (int i = 0; i < 3; ++i) {
            auto* line = new ZcDbLine({0, i * 1.0, 0}, {5, i * 1.0, 0});
            ASSERT_EQ(ms->appendZcDbEntity(line), Zcad::eOk);
            line->close();
        }
        ms->close();
        ASSERT_TRUE(host::saveDxf(&db, drawing));
    }
    writeFile(scr, "!expect count 0=LINE 3\n!expect count 0=LINE 8=0 3\n_QSAVE\n");
    ASSERT_EQ(velmhost(drawing + " --script " + scr), 0) << output();
    host::DxfLoadResult r = host::loadDxf(drawing);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ms->entityIds().size(), 3u);
    ms->close();
}

TEST(Velmhost, bad_usage_and_unreadable_files_give_status_two) {
    EXPECT_EQ(velmhost("--nonsense"), 2);
    EXPECT_EQ(velmhost("--script"), 2);
    EXPECT_EQ(velmhost("--script " + dir() + "no_such_script.scr"), 2);
    std::string bad = dir() + "vh_bad.dxf";
    writeFile(bad, "0\nSECTION\n2\nENTITIES\n0\nLINE\n");
    std::string empty = dir() + "vh_empty2.scr";
    writeFile(empty, "\n");
    EXPECT_EQ(velmhost(bad + " --script " + empty), 2);
    EXPECT_NE(output().find("DXF: wiersz"), std::string::npos) << output();
    EXPECT_EQ(velmhost("--module " + dir() + "no_such_module.zrx --script " + empty), 2);
}

namespace {

std::string promptingModule() {
    return std::string(VELM_TEST_MODULE_DIR) + "/prompting_module.zrx";
}

}  // namespace

TEST(Velmhost, command_answered_by_the_script_draws_and_succeeds) {
    std::string scr = dir() + "vh_ask_ok.scr", out = dir() + "vh_ask_ok.dxf";
    writeFile(scr, "ASKPOINT\n3,4\n!expect count 0=LINE 1\n");
    ASSERT_EQ(velmhost("--module " + promptingModule() + " --script " + scr + " --save " + out), 0)
        << output();
    host::DxfLoadResult r = host::loadDxf(out);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> ids = ms->entityIds();
    ms->close();
    ASSERT_EQ(ids.size(), 1u);
    auto* line = ZcDbLine::cast(ids[0].stub()->object.get());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->endPoint().isEqualTo(ZcGePoint3d(3, 4, 0)));
}

TEST(Velmhost, script_ending_inside_a_command_gives_status_one) {
    std::string scr = dir() + "vh_ask_cut.scr";
    writeFile(scr, "ASKPOINT\n");
    EXPECT_EQ(velmhost("--module " + promptingModule() + " --script " + scr), 1) << output();
}

TEST(Velmhost, explicit_cancel_is_not_a_failure) {
    std::string scr = dir() + "vh_ask_cancel.scr";
    writeFile(scr, "ASKPOINT\n!cancel\n");
    EXPECT_EQ(velmhost("--module " + promptingModule() + " --script " + scr), 0) << output();
}

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A drawing of three lines written by the database, as another program's.
std::string threeLines(const std::string& name) {
    std::string drawing = dir() + name;
    ZcDbDatabase db;
    ZcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    for (int i = 0; i < 3; ++i) {
        auto* line = new ZcDbLine({0, i * 1.0, 0}, {5, i * 1.0, 0});
        EXPECT_EQ(ms->appendZcDbEntity(line), Zcad::eOk);
        line->close();
    }
    ms->close();
    EXPECT_TRUE(host::saveDxf(&db, drawing));
    return drawing;
}

std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

}  // namespace

TEST(Velmhost, a_drawing_is_written_only_when_the_script_or_the_command_line_asks) {
    std::string drawing = threeLines("vh_ask_only.dxf"), scr = dir() + "vh_ask_only.scr";
    const std::string before = fileText(drawing);
    // Checks and a drawing command, but no save: the file stays as it was.
    writeFile(scr, "!expect count 0=LINE 3\n_LINE\n0,0\n9,9\n\n!expect count 0=LINE 4\n");
    ASSERT_EQ(velmhost(drawing + " --script " + scr), 0) << output();
    EXPECT_EQ(fileText(drawing), before);
    EXPECT_EQ(lastLine(output()), "Rysunku nie zapisano.");

    // _QSAVE writes it back without asking for a name: the next line is
    // still the script's own.
    writeFile(scr, "_LINE\n0,0\n9,9\n\n_QSAVE\n!expect count 0=LINE 4\n");
    ASSERT_EQ(velmhost(drawing + " --script " + scr), 0) << output();
    EXPECT_EQ(lastLine(output()), "Rysunek zapisano w pliku " + drawing + ".");
    host::DxfLoadResult r = host::loadDxf(drawing);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ms->entityIds().size(), 4u);
    ms->close();

    // --save writes where it says, the drawing opened stays.
    const std::string saved = fileText(drawing), out = dir() + "vh_ask_only_out.dxf";
    std::remove(out.c_str());
    writeFile(scr, "_LINE\n0,0\n9,9\n\n");
    ASSERT_EQ(velmhost(drawing + " --script " + scr + " --save " + out), 0) << output();
    EXPECT_EQ(fileText(drawing), saved);
    EXPECT_TRUE(host::loadDxf(out).db);
    EXPECT_EQ(lastLine(output()), "Rysunek zapisano w pliku " + out + ".");
}

TEST(Velmhost, a_failing_script_writes_over_nothing) {
    std::string drawing = threeLines("vh_failing.dxf"), scr = dir() + "vh_failing.scr";
    const std::string before = fileText(drawing);
    for (const char* text : {"_ERASE\n!pick 1,0\n\n!expect count 0=LINE 7\n", "_LINE\n0,0\n"}) {
        writeFile(scr, text);
        EXPECT_EQ(velmhost(drawing + " --script " + scr), 1) << output();
        EXPECT_EQ(fileText(drawing), before) << text;
        // The last line of the transcript says nothing was saved; standard
        // error then says why the script failed, in one line.
        EXPECT_NE(output().find("\nRysunku nie zapisano.\nvelmhost: skrypt nie powiódł się: "),
                  std::string::npos)
            << output();
        EXPECT_EQ(lastLine(output()).rfind("velmhost: skrypt nie powiódł się: ", 0), 0u) << output();
    }
}
