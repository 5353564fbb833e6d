// What a kept definition's lines are worked out into once (the VAR
// section's declarations, the lines each section keyword starts): every run
// of the definition must read what a first reading of its file gives, and
// nothing worked out from one file, one run's changed lines or one unit
// factor may serve another.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "host/win/kept_files.h"
#include "lang_fixture.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_text.h"

namespace {

void Age(const std::string& path) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
}

// What a run read: its variables by number, its result and where the
// cursor stands.
struct Reading {
    int result = 0;
    std::size_t cursor = 0;
    std::map<int, std::string> vars;
    bool operator==(const Reading&) const = default;
};

Reading Read(ObjContext& c, bool readValues = true) {
    Reading r;
    r.result = ReadVarSection(readValues, c);
    r.cursor = c.text ? c.text->cursor.line : 0;
    for (const auto& v : c.vars)
        r.vars[v->number] = std::to_string(v->kind) + "/" + std::to_string(v->order) + "/" +
                            std::to_string(v->value) + "/" + v->text + "/" + v->description;
    return r;
}

class KeptCompiled : public ObjLanguage {
protected:
    void TearDown() override {
        host::forgetKeptFileValues();
        ObjLanguage::TearDown();
    }
    // A run of `name` from a fresh context; its reading.
    Reading run(const std::string& name, bool readValues = true) { return Read(load(name), readValues); }
    double value(const std::string& name, int number) {
        ObjContext& c = load(name);
        EXPECT_EQ(ReadVarSection(true, c), 0);
        const ObjVar* v = FindObjVar(number, c.vars);
        return v ? v->value : -1.0;
    }
    std::size_t section(const std::string& name, const char* keyword) {
        ObjContext& c = load(name);
        return c.text && FindSection(keyword, *c.text, true) ? c.text->cursor.line : 0;
    }
};

}  // namespace

// Rewritten, replaced or removed (the next library folder's then found),
// the definition's declarations and sections are read from the file now
// there, not from what the kept one was worked out into.
TEST_F(KeptCompiled, declarations_and_sections_follow_the_file_changed_replaced_or_removed) {
    std::filesystem::create_directories(dir / "second");
    VELM_LIBOBJOPT* lib = OpenLibObjOptObject();
    ASSERT_NE(lib, nullptr);
    lib->entries = {path("lib"), path("second")};
    lib->close();
    setUnit(1.0);
    const std::string file = path("lib/K.txt");
    write("second/K.txt", "VAR\n$8=\"W\"01D40\nEND_VAR\nDRAW\n");
    write("lib/K.txt", "VAR\n$8=\"W\"01D90\nEND_VAR\n\nDRAW\n");
    Age(file);
    EXPECT_EQ(value("K", 8), 90.0);
    EXPECT_EQ(value("K", 8), 90.0);  // served by the kept definition
    EXPECT_EQ(section("K", "DRAW"), 5u);
    host::forgetCommandKeptFileValues();

    write("lib/K.txt", "VAR\n$8=\"W\"01D70\nEND_VAR\nDRAW\n\n");  // the same size
    EXPECT_EQ(value("K", 8), 70.0);
    EXPECT_EQ(section("K", "DRAW"), 4u);
    Age(file);
    EXPECT_EQ(value("K", 8), 70.0);

    write("lib/NEW.txt", "VAR\n$8=\"W\"01D60\nEND_VAR\n\n\nDRAW\n");
    std::filesystem::last_write_time(path("lib/NEW.txt"), std::filesystem::last_write_time(file));
    std::filesystem::rename(path("lib/NEW.txt"), file);
    EXPECT_EQ(value("K", 8), 60.0);
    EXPECT_EQ(section("K", "DRAW"), 6u);

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(value("K", 8), 40.0);
    EXPECT_EQ(section("K", "DRAW"), 4u);
}

// Two kept definitions read in turn each give their own.
TEST_F(KeptCompiled, two_definitions_do_not_share_what_was_worked_out) {
    setUnit(1.0);
    write("A.txt", "VAR\n$8=\"W\"01D90\n$31= $8*2\nEND_VAR\nDRAW\n");
    write("B.txt", "; b\nVAR\n$8=\"W\"02I3\n$9=\"H\"01S\"x\"\nEND_VAR\n\nDRAW\n");
    Age(path("A.txt"));
    Age(path("B.txt"));
    const Reading a = run("A"), b = run("B");
    EXPECT_NE(a, b);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(run("A"), a);
        EXPECT_EQ(run("B"), b);
        EXPECT_EQ(section("A", "DRAW"), 5u);
        EXPECT_EQ(section("B", "DRAW"), 7u);
    }
    EXPECT_EQ(b.vars.at(9), "2/1/0.000000/x/H");
}

// What a run brings is applied to the kept declarations at every run: the
// drawing's unit factor, the values in force when the values are not
// read, the order digits of the variables already there.
TEST_F(KeptCompiled, each_run_applies_its_own_unit_values_in_force_and_orders) {
    write("U.txt", "VAR\n#31= 2\n$8=\"W\"01D90\n$10=\"N\"02I4\nEND_VAR\n");
    Age(path("U.txt"));
    setUnit(1.0);
    EXPECT_EQ(value("U", 8), 90.0);
    EXPECT_EQ(value("U", 31), 2.0);
    setUnit(10.0);
    EXPECT_EQ(value("U", 8), 900.0);
    EXPECT_EQ(value("U", 31), 20.0);
    EXPECT_EQ(value("U", 10), 4.0);  // an integer is no length

    ObjContext& kept = load("U");
    SetObjVar(8, kVarParameter, 1, u'D', "W", 5.0, "", 0, 0, kept.vars);
    ASSERT_EQ(ReadVarSection(false, kept), 0);
    EXPECT_EQ(FindObjVar(8, kept.vars)->value, 5.0);

    // A variable already holding order 2 makes $10's line wrong in this run
    // only; the next run reads it as before.
    ObjContext& taken = load("U");
    SetObjVar(99, kVarParameter, 1, u'I', "X", 0.0, "", 0, 0, taken.vars)->order = 2;
    EXPECT_EQ(ReadVarSection(true, taken), 10);
    EXPECT_NE(lastMessage().find("U.txt:4"), std::string::npos) << lastMessage();
    EXPECT_EQ(taken.text->cursor.line, 4u);
    EXPECT_EQ(run("U").result, 0);
}

// A wrong definition is named at the same file and line by every run, the
// kept ones too, and leaves the cursor where the reading stopped.
TEST_F(KeptCompiled, a_wrong_definition_is_named_alike_by_every_run) {
    write("NOVAR.txt", "; nothing\nDRAW\n");
    write("OPEN.txt", "VAR\n$8=\"W\"01D90\n");
    write("NUM.txt", "VAR\n$8=\"W\"01D90\n$x=3\nEND_VAR\n");
    write("LINE.txt", "VAR\n$8=\"W\"01D90\n$9=\"H\"01Q1\nEND_VAR\n");
    write("TEXT.txt", "VAR\n$8=\"W\"01S\"open\nEND_VAR\n");
    const std::map<std::string, std::pair<int, std::string>> expected = {{"NOVAR", {-1, "NOVAR.txt:2"}},
                                                                         {"OPEN", {-1, "OPEN.txt:2"}},
                                                                         {"NUM", {-1, "NUM.txt:3"}},
                                                                         {"LINE", {9, "LINE.txt:3"}},
                                                                         {"TEXT", {8, "TEXT.txt:2"}}};
    for (const auto& [name, fault] : expected) Age(path(name + ".txt"));
    for (int i = 0; i < 2; ++i)
        for (const auto& [name, fault] : expected) {
            const Reading r = run(name);
            EXPECT_EQ(r.result, fault.first) << name;
            EXPECT_NE(lastMessage().find(fault.second), std::string::npos) << name << ": " << lastMessage();
        }
    // Not read for its values, the unquoted text is no fault.
    EXPECT_EQ(run("TEXT", false).result, 0);
}

// Lines a run changes are worked out again for that run; the kept
// definition and later runs keep what the file says.
TEST_F(KeptCompiled, changed_lines_are_read_as_changed_by_their_run_only) {
    setUnit(1.0);
    write("C.txt", "VAR\n$8=\"W\"01I3\nEND_VAR\nDRAW\n");
    Age(path("C.txt"));
    ObjContext& c = load("C");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ObjVar* v = FindObjVar(8, c.vars);
    ASSERT_NE(v, nullptr);
    v->value = 7;
    ASSERT_TRUE(WriteVarValue(*c.text, *v));
    v->value = 0;
    ASSERT_EQ(ReadVarSection(true, c), 0);
    EXPECT_EQ(FindObjVar(8, c.vars)->value, 7.0);
    c.text->lines.edit().insert(c.text->lines.edit().begin(), ObjLine{"; moved\n", 0, {}, {}});
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    EXPECT_EQ(c.text->cursor.line, 5u);
    c.text->modified = 0;  // nothing to save

    EXPECT_EQ(value("C", 8), 3.0);
    EXPECT_EQ(section("C", "DRAW"), 4u);
}

// A statement's argument is found in the lines once and served again from
// the place it was read at, to every text sharing those lines, cursor and
// all; a text whose lines changed reads them as they are now.
TEST(KeptStatementArgs, arguments_are_read_again_as_the_lines_say_until_a_text_changes_them) {
    ObjText kept;
    kept.lines = ObjLines({ObjLine{"(1 2 3)\n", 0, {}, {}}, ObjLine{"; uwaga\n", 0, {}, {}},
                           ObjLine{"  (\"a%)b\")\n", 0, {}, {}}});
    const auto readAll = [](ObjText& t) {
        std::vector<std::pair<std::string, std::pair<std::size_t, std::size_t>>> got;
        t.cursor = {};
        std::string arg;
        for (int i = 0; i < 2 && ReadStatementArg(arg, t) == RTNORM; ++i)
            got.push_back({arg, {t.cursor.line, t.cursor.pos}});
        return got;
    };
    const auto first = readAll(kept);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].first, "1 2 3");
    EXPECT_EQ(first[1].first, "\"a)b\"");
    EXPECT_EQ(first[1].second, std::make_pair(std::size_t{2}, std::size_t{10}));
    EXPECT_EQ(readAll(kept), first);

    ObjText run = kept;  // shares the lines and what was read from them
    EXPECT_EQ(readAll(run), first);
    run.lines.edit()[0].text = "(4 5)\n";
    const auto changed = readAll(run);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].first, "4 5");
    EXPECT_EQ(changed[0].second, std::make_pair(std::size_t{0}, std::size_t{5}));
    EXPECT_EQ(changed[1].first, "\"a)b\"");
    EXPECT_EQ(readAll(kept), first);
}
