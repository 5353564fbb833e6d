// Registry store: buffer-size contract, missing keys and values, both value
// types, persistence through the file and refusal to damage it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "host/win/files.h"
#include "host/win/registry.h"
#include "tests/host/starting_gate.h"
#include "tests/host/win_testdir.h"

namespace {

constexpr const char* kVariabili = "Software\\VelSoftware\\Variabili";

// Points the registry at a file of the test's own for the test's duration.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { host::setRegistryFile(dir.path("registry")); }
    void TearDown() override { host::setRegistryFile(dir.path("unused-registry")); }

    LONG setText(const char* key, const char* name, const char* text) {
        HKEY k = nullptr;
        DWORD disposition = 0;
        LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                  nullptr, &k, &disposition);
        if (rc != ERROR_SUCCESS) return rc;
        rc = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(std::strlen(text) + 1));
        RegCloseKey(k);
        return rc;
    }

    TestDir dir;
};

}  // namespace

TEST_F(Registry, text_round_trip_through_the_file) {
    ASSERT_EQ(setText(kVariabili, "povColSfondo", "15540736"), ERROR_SUCCESS);
    host::setRegistryFile(dir.path("registry"));  // forget memory: read the file again
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "software\\velsoftware\\VARIABILI", 0, KEY_READ, &k),
              ERROR_SUCCESS);
    char buf[260];
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueExW(k, "POVCOLSFONDO", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 9u);  // bytes with the terminator
    EXPECT_STREQ(buf, "15540736");
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE);
    // The file is readable text.
    EXPECT_NE(dir.read("registry").find("[HKEY_CURRENT_USER\\Software\\VelSoftware\\Variabili]"),
              std::string::npos);
    EXPECT_NE(dir.read("registry").find("\"povColSfondo\"=sz:\"15540736\""), std::string::npos);
}

TEST_F(Registry, short_buffer_gets_more_data_and_the_size_needed) {
    ASSERT_EQ(setText(kVariabili, "povDirSupporto", "C:\\Users\\ewa\\Dokumenty\\tekstury"), ERROR_SUCCESS);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kVariabili, 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(k, "povDirSupporto", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 32u);  // 31 bytes of text and the terminator
    char small[10];
    std::memset(small, 'x', sizeof small);
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(k, "povDirSupporto", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 32u);      // 31 bytes of text and the terminator
    EXPECT_EQ(small[0], 'x');  // nothing copied
    char exact[32];
    size = sizeof exact;
    EXPECT_EQ(RegQueryValueExW(k, "povDirSupporto", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(exact, "C:\\Users\\ewa\\Dokumenty\\tekstury");
    RegCloseKey(k);
}

TEST_F(Registry, missing_key_and_missing_value) {
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "Software\\POV-Ray\\CurrentVersion\\Windows", 0, KEY_READ, &k),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(setText(kVariabili, "a", "1"), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kVariabili, 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD size = 4;
    BYTE buf[4];
    EXPECT_EQ(RegQueryValueExW(k, "qualitaRadiosity", nullptr, nullptr, buf, &size), ERROR_FILE_NOT_FOUND);
    // A key opened for reading cannot be written.
    DWORD one = 1;
    EXPECT_EQ(RegSetValueExW(k, "b", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_ACCESS_DENIED);
    RegCloseKey(k);
}

TEST_F(Registry, dword_values_and_sizes) {
    HKEY k = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kVariabili, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    DWORD value = 0xDEADBEEF;
    ASSERT_EQ(RegSetValueExW(k, "flags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(k, "bad", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 2),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(k);
    host::setRegistryFile(dir.path("registry"));
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kVariabili, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    DWORD out = 0, size = sizeof out, type = 0;
    ASSERT_EQ(RegQueryValueExW(k, "flags", nullptr, &type, reinterpret_cast<BYTE*>(&out), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(out, 0xDEADBEEFu);
    RegCloseKey(k);
}

TEST_F(Registry, text_without_terminator_and_special_characters_survive) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kVariabili, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    const char raw[] = {'a', '"', 'b', '\\'};  // no terminator given
    ASSERT_EQ(RegSetValueExW(k, "quoted \"name\"", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), 4),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k, "zażółć", 0, REG_SZ, reinterpret_cast<const BYTE*>("linia\nnowa"), 11),
              ERROR_SUCCESS);
    RegCloseKey(k);
    host::setRegistryFile(dir.path("registry"));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kVariabili, 0, KEY_READ, &k), ERROR_SUCCESS);
    char buf[32];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(k, "quoted \"name\"", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(buf, "a\"b\\");
    size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(k, "ZAŻÓŁĆ", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "linia\nnowa");
    RegCloseKey(k);
}

TEST_F(Registry, documents_folder_answers_the_shell_folders_value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                            KEY_READ, &k),
              ERROR_SUCCESS);
    char buf[1024];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(k, "Personal", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(buf), host::documentsFolder());
    RegCloseKey(k);
    // Not written to the user's file unless set.
    ASSERT_EQ(setText(kVariabili, "a", "1"), ERROR_SUCCESS);
    EXPECT_EQ(dir.read("registry").find("Personal"), std::string::npos);
}

TEST_F(Registry, failed_write_keeps_the_old_file_and_the_old_value) {
    ASSERT_EQ(setText(kVariabili, "a", "old"), ERROR_SUCCESS);
    std::string before = dir.read("registry");
    host::setProtectedFolders({dir.path()});
    EXPECT_EQ(setText(kVariabili, "a", "new"), ERROR_ACCESS_DENIED);
    host::setProtectedFolders({});
    EXPECT_FALSE(host::registryError().empty());
    EXPECT_EQ(dir.read("registry"), before);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kVariabili, 0, KEY_READ, &k), ERROR_SUCCESS);
    char buf[16];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(k, "a", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "old");
    RegCloseKey(k);
}

TEST_F(Registry, malformed_file_is_read_as_far_as_it_goes_and_never_overwritten) {
    std::string text =
        "[HKEY_CURRENT_USER\\Software\\POV-Ray\\CurrentVersion\\Windows]\n"
        "\"Home\"=sz:\"/opt/pov/\"\n"
        "garbage line\n";
    dir.write("registry", text);
    host::setRegistryFile(dir.path("registry"));
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "Software\\POV-Ray\\CurrentVersion\\Windows", 0, KEY_READ, &k),
              ERROR_SUCCESS);
    char buf[259];
    DWORD size = sizeof buf;
    ASSERT_EQ(RegQueryValueExW(k, "Home", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, "/opt/pov/");
    RegCloseKey(k);
    EXPECT_NE(host::registryError().find("line 3"), std::string::npos);
    EXPECT_EQ(setText(kVariabili, "a", "1"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.read("registry"), text);
}

TEST_F(Registry, deep_key_is_stored_once_and_its_parents_exist_by_implication) {
    std::string deep = "Software\\VelSoftware";
    for (int i = 0; i < 2000; ++i) deep += "\\k" + std::to_string(i % 10);
    ASSERT_EQ(setText(deep.c_str(), "v", "1"), ERROR_SUCCESS);
    // The file holds the deep path once: linear in its length, not a copy
    // of every ancestor's path (2000 levels made that 4 MB).
    const std::string file = dir.read("registry");
    EXPECT_LT(file.size(), 2 * deep.size() + 200);
    host::setRegistryFile(dir.path("registry"));
    // Every key above it opens, and creating one says it already existed.
    HKEY k = nullptr;
    const std::string mid = deep.substr(0, deep.size() / 2);
    const std::string parent = mid.substr(0, mid.find_last_of('\\'));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "SOFTWARE\\velsoftware\\K0", 0, KEY_READ, &k), ERROR_SUCCESS);
    RegCloseKey(k);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(k);
    // A value set on a key that existed only as a parent is kept, spelt as
    // the key below it spells it.
    HKEY implied = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "software\\VELSOFTWARE", 0, KEY_ALL_ACCESS, &implied),
              ERROR_SUCCESS);
    DWORD two = 2;
    ASSERT_EQ(RegSetValueExW(implied, "n", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two), 4), ERROR_SUCCESS);
    RegCloseKey(implied);
    host::setRegistryFile(dir.path("registry"));
    EXPECT_NE(dir.read("registry").find("[HKEY_CURRENT_USER\\Software\\VelSoftware]"), std::string::npos);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    char buf[8];
    DWORD size = sizeof buf;
    EXPECT_EQ(RegQueryValueExW(k, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    RegCloseKey(k);
    // A key beside the deep one is no key at all.
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, "Software\\VelSoftware\\k", 0, KEY_READ, &k),
              ERROR_FILE_NOT_FOUND);
}

namespace {

// The text of a value as this program's registry holds it; empty for none.
std::string textOf(const char* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kVariabili, 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
    char buf[64] = {};
    DWORD size = sizeof buf;
    const LONG rc = RegQueryValueExW(k, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? buf : "";
}

}  // namespace

// Each program read the file once and wrote its whole store back at every
// change, so the later one took back what the other had set.
TEST_F(Registry, two_programs_setting_different_values_keep_both_in_every_round) {
    ASSERT_EQ(setText(kVariabili, "povIntAmbiente", "1.0"), ERROR_SUCCESS);
    for (int round = 0; round < 40; ++round) {
        const StartingGate gate;
        ASSERT_TRUE(gate.made());
        const std::string mine = "A" + std::to_string(round), theirs = "B" + std::to_string(round);
        // Each reads the registry (in an earlier command), waits until the
        // other has too, then sets its own value: the worst order.
        auto child = [&](const char* name, const std::string& text) {
            const pid_t pid = ::fork();
            if (pid != 0) return pid;
            host::setRegistryFile(dir.path("registry"));
            const bool read = textOf("povIntAmbiente") == "1.0";
            host::forgetFilesAsRead();
            const bool started = gate.arrive();
            const LONG rc = setText(kVariabili, name, text.c_str());
            ::_exit(read && started && rc == ERROR_SUCCESS ? 0 : 1);
        };
        const pid_t a = child("povBrightness", mine), b = child("povGrayHold", theirs);
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        ASSERT_TRUE(gate.open(2));
        int sa = 0, sb = 0;
        ASSERT_EQ(::waitpid(a, &sa, 0), a);
        ASSERT_EQ(::waitpid(b, &sb, 0), b);
        EXPECT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0) << "round " << round;
        EXPECT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0) << "round " << round;
        host::setRegistryFile(dir.path("registry"));
        ASSERT_EQ(textOf("povBrightness"), mine) << "round " << round;
        ASSERT_EQ(textOf("povGrayHold"), theirs) << "round " << round;
        ASSERT_EQ(textOf("povIntAmbiente"), "1.0") << "round " << round;
    }
}

TEST_F(Registry, a_change_goes_onto_the_file_as_it_is_now_and_a_file_spoilt_meanwhile_is_kept) {
    ASSERT_EQ(setText(kVariabili, "a", "1"), ERROR_SUCCESS);
    // Another program set a value of its own since.
    dir.write("registry", dir.read("registry") + "\"b\"=sz:\"2\"\n");
    ASSERT_EQ(setText(kVariabili, "a", "3"), ERROR_SUCCESS);
    EXPECT_EQ(textOf("b"), "2");  // taken in by this program too
    host::setRegistryFile(dir.path("registry"));
    EXPECT_EQ(textOf("a"), "3");
    EXPECT_EQ(textOf("b"), "2");
    // A file that no longer reads is not written over, and is named.
    const std::string spoilt = dir.read("registry") + "garbage\n";
    dir.write("registry", spoilt);
    EXPECT_EQ(setText(kVariabili, "a", "4"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(dir.read("registry"), spoilt);
    EXPECT_NE(host::registryError().find(dir.path("registry")), std::string::npos) << host::registryError();
    EXPECT_EQ(textOf("a"), "3");
}
