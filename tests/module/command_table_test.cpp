// The command table against an independent transcription of the command
// list, and registration through a recording sink.
#include "core/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/name_list.h"
#include "host/util/nocase.h"
#include "module/command_bindings.h"

namespace {

struct ExpectedRow {
    int position;
    std::string globalName;
    std::string localName;
    int flags;
    int owner;
};

std::vector<ExpectedRow> ReadExpectedRows() {
    std::ifstream in(std::string(VELM_SOURCE_DIR) + "/tests/core/data/command_table_expected.tsv");
    std::vector<ExpectedRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        ExpectedRow row;
        fields >> row.position >> row.globalName >> row.localName >> row.flags >> row.owner;
        rows.push_back(row);
    }
    return rows;
}

struct Registered {
    std::string group, globalName, localName;
    int flags;
    CommandHandler handler;
};

class RecordingSink : public CommandSink {
public:
    std::vector<Registered> commands;
    void addCommand(const char* group, const char* globalName, const char* localName, int flags,
                    CommandHandler handler) override {
        commands.push_back({group, globalName, localName, flags, handler});
    }
};

void HandlerA() {}
void HandlerB() {}
void HandlerC() {}
void HandlerD() {}

}  // namespace

TEST(CommandTable, every_row_matches_the_reference_list) {
    const auto expected = ReadExpectedRows();
    const auto table = CommandDefinitions();
    ASSERT_EQ(expected.size(), 138u) << "reference file not found or incomplete";
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(expected[i].globalName);
        EXPECT_EQ(table[i].position, expected[i].position);
        EXPECT_STREQ(table[i].globalName, expected[i].globalName.c_str());
        EXPECT_STREQ(table[i].localName, expected[i].localName.c_str());
        EXPECT_EQ(table[i].flags, expected[i].flags);
        EXPECT_EQ(static_cast<int>(table[i].owner), expected[i].owner);
        EXPECT_EQ(table[i].handler, nullptr);
    }
}

TEST(CommandTable, counts_of_flags_and_positions_in_order) {
    const auto table = CommandDefinitions();
    ASSERT_EQ(table.size(), 138u);
    int pickFirst = 0, transparent = 0, modal = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].position, static_cast<int>(i) + 1);
        pickFirst += table[i].flags == 6;
        transparent += table[i].flags == 1;
        modal += table[i].flags == 0;
    }
    EXPECT_EQ(pickFirst, 9);
    EXPECT_EQ(transparent, 7);
    EXPECT_EQ(modal, 138 - 9 - 7);
}

TEST(CommandTable, names_are_unique_so_no_command_hides_another) {
    const auto table = CommandDefinitions();
    std::set<std::string> globals;
    for (const auto& row : table) {
        EXPECT_TRUE(globals.insert(row.globalName).second) << row.globalName;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_FALSE(zcutEqualsNoCase(table[i].localName, table[j].localName))
                << table[i].localName << " / " << table[j].localName;
            EXPECT_FALSE(zcutEqualsNoCase(table[i].globalName, table[j].globalName));
        }
    }
}

TEST(CommandTable, registers_only_bound_commands_in_table_order) {
    const CommandBinding bindings[] = {
        {"VELMHELP", &HandlerA}, {"VELMVXD", &HandlerB}, {"VELMMODIFY", &HandlerC}, {"CMD_ADD_S", &HandlerD}};
    RecordingSink sink;
    RegisterCommands(sink, JoinCommandTable(bindings));
    const std::vector<Registered> expected = {
        {"VELM7", "CMD_ADD_S", "CMD_ADD_S", 0, &HandlerD},
        {"VELM7", "VELMMODIFY", "MODIFY", 6, &HandlerC},
        {"VELM7", "VELMHELP", "VELHELP", 0, &HandlerA},
        {"VELM7", "VELMVXD", "VXD", 1, &HandlerB},
    };
    ASSERT_EQ(sink.commands.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sink.commands[i].group, expected[i].group);
        EXPECT_EQ(sink.commands[i].globalName, expected[i].globalName);
        EXPECT_EQ(sink.commands[i].localName, expected[i].localName);
        EXPECT_EQ(sink.commands[i].flags, expected[i].flags);
        EXPECT_EQ(sink.commands[i].handler, expected[i].handler);
    }
}

TEST(CommandTable, join_leaves_the_definitions_untouched_and_ignores_unknown_names) {
    const CommandBinding bindings[] = {
        {"VELMWALL", &HandlerA},
        {"VELMWALL", &HandlerB},
        {"WALL", &HandlerC},  // a local name binds nothing
        {"VELMNOSUCH", &HandlerD},
    };
    const auto table = JoinCommandTable(bindings);
    int bound = 0;
    for (const auto& row : table) {
        if (row.handler != nullptr) {
            ++bound;
            EXPECT_STREQ(row.globalName, "VELMWALL");
            EXPECT_EQ(row.handler, &HandlerA);
        }
    }
    EXPECT_EQ(bound, 1);
    for (const auto& row : CommandDefinitions()) {
        EXPECT_EQ(row.handler, nullptr);
    }
}

TEST(CommandTable, every_command_is_either_registered_or_listed_as_missing) {
    RecordingSink sink;
    RegisterCommands(sink);
    const auto missing = CommandsWithoutHandler();
    EXPECT_EQ(sink.commands.size() + missing.size(), 138u);
    for (std::size_t i = 1; i < missing.size(); ++i) {
        EXPECT_LT(missing[i - 1]->position, missing[i]->position);
    }
    for (const auto& command : sink.commands) {
        const CommandEntry* row = FindCommand(command.globalName);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(std::count(missing.begin(), missing.end(), row), 0);
    }
}

TEST(CommandTable, each_subsystem_binds_only_its_own_commands) {
    for (int owner = 1; owner <= 8; ++owner) {
        const auto faults = CheckCommandBindings(static_cast<CommandOwner>(owner),
                                                 CommandBindingsOf(static_cast<CommandOwner>(owner)));
        for (const auto& fault : faults) {
            ADD_FAILURE() << "subsystem " << owner << ": " << fault;
        }
    }
}

TEST(CommandTable, binding_faults_are_reported) {
    const CommandBinding bindings[] = {
        {"VELMWALL3D", &HandlerA},  // sound
        {"VELMWALL", &HandlerB},    // a walls command
        {"VELMHWALL", nullptr},     // no handler
        {"VELMWALL3D", &HandlerC},  // bound twice
        {"VELMNOSUCH", &HandlerD},  // not a command
    };
    const auto faults = CheckCommandBindings(CommandOwner::Visual, bindings);
    ASSERT_EQ(faults.size(), 4u);
    EXPECT_NE(faults[0].find("VELMWALL"), std::string::npos);
    EXPECT_NE(faults[1].find("VELMHWALL"), std::string::npos);
    EXPECT_NE(faults[2].find("VELMWALL3D"), std::string::npos);
    EXPECT_NE(faults[3].find("VELMNOSUCH"), std::string::npos);
}

TEST(CommandTable, lookup_by_global_name_ignores_case) {
    const CommandEntry* wall = FindCommand("velmwall");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->position, 37);
    EXPECT_EQ(FindCommand("WALL"), nullptr);
    ASSERT_NE(FindCommand("cmd_add_s"), nullptr);
    EXPECT_EQ(FindCommand("cmd_add_s")->position, 1);
    EXPECT_EQ(FindCommand(""), nullptr);
}

// The README's command list ("What the module offers today") names every
// command a user can type and no command that is not built: a name in
// backticks that is a row of the table, as spelled there, counts; other
// names (settings, LISP functions) are left alone.
TEST(CommandTable, readme_lists_exactly_the_bound_commands) {
    std::ifstream in(std::string(VELM_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(in) << "README.md not found";
    std::string line, section;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind("## ", 0) == 0) {
            inside = line == "## What the module offers today";
            continue;
        }
        if (inside) {
            section += line + '\n';
        }
    }
    ASSERT_FALSE(section.empty()) << "README.md has no section \"What the module offers today\"";

    std::set<std::string> listed;
    for (std::size_t open = section.find('`'); open != std::string::npos;) {
        const std::size_t close = section.find('`', open + 1);
        if (close == std::string::npos) {
            break;
        }
        const std::string name = section.substr(open + 1, close - open - 1);
        // Commands are spelled in capitals; "velmsetvar" is the LISP function.
        if (const CommandEntry* row = FindCommand(name); row != nullptr && name == row->globalName) {
            listed.insert(name);
        }
        open = section.find('`', close + 1);
    }

    std::set<std::string> bound;
    for (const CommandEntry& row : CommandTable()) {
        if (row.handler != nullptr) {
            bound.insert(row.globalName);
        }
    }
    for (const std::string& name : bound) {
        EXPECT_TRUE(listed.count(name)) << name << " is bound but README.md does not list it";
    }
    for (const std::string& name : listed) {
        EXPECT_TRUE(bound.count(name)) << name << " is listed in README.md but has no handler";
    }
}
