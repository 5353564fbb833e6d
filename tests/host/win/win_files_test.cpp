// File services: folder search order and wildcards, path splitting with
// either slash, folder creation, copy, rename and delete error codes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/win/files.h"
#include "host/win/process.h"
#include "tests/host/win_testdir.h"

namespace {

std::vector<std::string> find(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileW(h, &fd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    return names;
}

}  // namespace

TEST(Files, folder_search_order_and_wildcards) {
    TestDir dir;
    for (const char* name : {"b.MXT", "Ściana.mxt", "a.mxt", "C.mxt", "d.mxk", "e", "ab.mxt"})
        dir.write(name, "x");
    std::filesystem::create_directory(dir.path("sub"));
    using V = std::vector<std::string>;
    // Written the module's way, with "\".
    EXPECT_EQ(find(dir.path() + "\\*.mxt"), (V{"a.mxt", "ab.mxt", "b.MXT", "C.mxt", "Ściana.mxt"}));
    EXPECT_EQ(find(dir.path() + "/?.mxt"), (V{"a.mxt", "b.MXT", "C.mxt"}));
    EXPECT_EQ(find(dir.path() + "/*.*"),
              (V{".", "..", "a.mxt", "ab.mxt", "b.MXT", "C.mxt", "d.mxk", "e", "sub", "Ściana.mxt"}));
    EXPECT_EQ(find(dir.path() + "/ŚCIANA.MXT"), (V{"Ściana.mxt"}));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir.path() + "/su*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(h);
    EXPECT_EQ(FindFirstFileW((dir.path() + "/*.ua").c_str(), &fd), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileW((dir.path() + "/tab/*.ua").c_str(), &fd), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FindClose(h));
}

TEST(Files, file_name_matching_rules) {
    EXPECT_TRUE(host::matchFileName("readme", "*.*"));
    EXPECT_TRUE(host::matchFileName("a.b.c", "*.c"));
    EXPECT_FALSE(host::matchFileName("a.b.c", "*.b"));
    EXPECT_TRUE(host::matchFileName("ŁÓDŹ.txt", "?ódź.*"));
    EXPECT_FALSE(host::matchFileName("abc", "ab"));
    EXPECT_TRUE(host::matchFileName("abc", "a*c*"));
}

TEST(Files, path_splitting_with_either_slash) {
    host::PathParts p = host::splitPath("C:\\p\\house.dwg");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\p\\");
    EXPECT_EQ(p.fname, "house");
    EXPECT_EQ(p.ext, ".dwg");
    p = host::splitPath("/work/data/walls.type.mxt");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "/work/data/");
    EXPECT_EQ(p.fname, "walls.type");
    EXPECT_EQ(p.ext, ".mxt");
    p = host::splitPath("lib\\doors/DRZWI");
    EXPECT_EQ(p.dir, "lib\\doors/");
    EXPECT_EQ(p.fname, "DRZWI");
    EXPECT_EQ(p.ext, "");
    p = host::splitPath("dir.d\\.hidden");
    EXPECT_EQ(p.dir, "dir.d\\");
    EXPECT_EQ(p.fname, "");
    EXPECT_EQ(p.ext, ".hidden");
    EXPECT_EQ(host::makePath("C:", "\\p", "house", "pov"), "C:\\p\\house.pov");
    EXPECT_EQ(host::makePath("", "/work/data/", "walls", ".mxk"), "/work/data/walls.mxk");
    EXPECT_EQ(host::nativePath("C:\\p\\x.txt"), "C:/p/x.txt");
}

TEST(Files, folder_creation_one_level) {
    TestDir dir;
    std::string preview = dir.path() + "\\velmAnteprime";
    EXPECT_TRUE(CreateDirectoryW(preview.c_str(), nullptr));
    EXPECT_TRUE(host::folderExists(preview));
    SetLastError(0);
    EXPECT_TRUE(CreateDirectoryW(preview.c_str(), nullptr));  // already there
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW((dir.path() + "/a/b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    dir.write("plik", "x");
    EXPECT_FALSE(CreateDirectoryW(dir.path("plik").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileAttributesW(preview.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(dir.path("nic").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Files, copy_overwrites_unless_told_not_to) {
    TestDir dir;
    dir.write("velmak.inc", "new include\n");
    dir.write("target.inc", "old include\n");
    EXPECT_TRUE(CopyFileW(dir.path("velmak.inc").c_str(), dir.path("target.inc").c_str(), FALSE));
    EXPECT_EQ(dir.read("target.inc"), "new include\n");
    dir.write("velmak.inc", "newer\n");
    EXPECT_FALSE(CopyFileW(dir.path("velmak.inc").c_str(), dir.path("target.inc").c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(dir.read("target.inc"), "new include\n");
    EXPECT_FALSE(CopyFileW(dir.path("missing").c_str(), dir.path("x").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(CopyFileW(dir.path("velmak.inc").c_str(), dir.path("velmak.inc").c_str(), FALSE));
    EXPECT_EQ(dir.read("velmak.inc"), "newer\n");
}

TEST(Files, backup_by_delete_and_rename) {
    TestDir dir;
    dir.write("mur.mxt", "current\n");
    dir.write("mur.mxk", "older backup\n");
    EXPECT_FALSE(MoveFileW(dir.path("mur.mxt").c_str(), dir.path("mur.mxk").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(DeleteFileW(dir.path("mur.mxk").c_str()));
    EXPECT_TRUE(MoveFileW(dir.path("mur.mxt").c_str(), dir.path("mur.mxk").c_str()));
    EXPECT_EQ(dir.read("mur.mxk"), "current\n");
    EXPECT_FALSE(host::fileExists(dir.path("mur.mxt")));
    EXPECT_FALSE(DeleteFileW(dir.path("mur.mxt").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(MoveFileW(dir.path("mur.mxt").c_str(), dir.path("x").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    std::filesystem::create_directory(dir.path("sub"));
    EXPECT_FALSE(DeleteFileW(dir.path("sub").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Files, atomic_write_follows_links_and_refuses_what_is_no_regular_file) {
    TestDir dir;
    namespace fs = std::filesystem;
    std::string error;
    // Through a link: the file it names is written, the link stays a link.
    dir.write("real.dxf", "old");
    fs::create_symlink("real.dxf", dir.path("link.dxf"));
    ASSERT_TRUE(host::writeFileAtomically(dir.path("link.dxf"), "new", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.path("link.dxf")));
    EXPECT_EQ(dir.read("real.dxf"), "new");
    // A chain of links, the last one dangling: refused, nothing is made
    // where it points.
    fs::create_directories(dir.path("sub"));
    fs::create_symlink("sub/made.dxf", dir.path("dangling.dxf"));
    fs::create_symlink(dir.path("dangling.dxf"), dir.path("chain.dxf"));
    EXPECT_FALSE(host::writeFileAtomically(dir.path("chain.dxf"), "made", &error));
    EXPECT_FALSE(fs::exists(dir.path("sub/made.dxf")));
    EXPECT_TRUE(fs::is_symlink(dir.path("chain.dxf")));
    // A FIFO would hang a reader and a rename over it would lose it: refused.
    ASSERT_EQ(::mkfifo(dir.path("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(host::writeFileAtomically(dir.path("pipe"), "x", &error));
    EXPECT_NE(error.find("to nie jest zwykły plik"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_fifo(dir.path("pipe")));
    EXPECT_FALSE(host::writeFileAtomically(dir.path("sub"), "x", &error));
    EXPECT_TRUE(fs::is_directory(dir.path("sub")));
    EXPECT_FALSE(host::writeFileAtomically("", "x", &error));
    // A folder that does not exist: the message is the host's language.
    EXPECT_FALSE(host::writeFileAtomically(dir.path("none/x.dxf"), "x", &error));
    EXPECT_NE(error.find("nie można zapisać"), std::string::npos) << error;
    EXPECT_TRUE(temporaryFilesBeside(dir.path("pipe")).empty());
    EXPECT_TRUE(temporaryFilesBeside(dir.path("none/x.dxf")).empty());
}

// The documents folder is where the module keeps per-user files: a home
// without one gets it, and a folder named by the environment is made too.
TEST(Files, documents_folder_is_made_when_missing) {
    TestDir dir;
    const char* oldHome = std::getenv("HOME");
    const char* oldXdg = std::getenv("XDG_DOCUMENTS_DIR");
    const std::string home = oldHome ? oldHome : "", xdg = oldXdg ? oldXdg : "";
    ::setenv("HOME", (dir.path() + "/").c_str(), 1);
    ::unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(host::documentsFolder(), dir.path() + "/Documents");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("Documents")));
    ::setenv("XDG_DOCUMENTS_DIR", dir.path("my/docs/").c_str(), 1);
    EXPECT_EQ(host::documentsFolder(), dir.path("my/docs"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("my/docs")));
    oldHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
    oldXdg ? ::setenv("XDG_DOCUMENTS_DIR", xdg.c_str(), 1) : ::unsetenv("XDG_DOCUMENTS_DIR");
}

TEST(Files, search_path_finds_files_not_folders_on_the_path_given_or_path) {
    TestDir dir;
    std::filesystem::create_directories(dir.path("a/tool"));
    std::filesystem::create_directories(dir.path("b"));
    dir.write("b/tool", "x");
    dir.write("b/note.txt", "x");
    char found[512];
    char* name = nullptr;
    const std::string list = dir.path("a") + ";" + dir.path("b");
    const std::string expected = std::filesystem::canonical(dir.path("b/tool")).string();
    EXPECT_EQ(SearchPathW(list.c_str(), "tool", nullptr, sizeof found, found, &name), expected.size());
    EXPECT_EQ(std::string(found), expected);
    EXPECT_STREQ(name, "tool");
    EXPECT_EQ(SearchPathW(list.c_str(), "note", ".txt", sizeof found, found, nullptr),
              std::filesystem::canonical(dir.path("b/note.txt")).string().size());
    // A short buffer is told the size it needs, terminator included.
    EXPECT_EQ(SearchPathW(list.c_str(), "tool", nullptr, 4, found, nullptr), expected.size() + 1);
    const char* oldPath = std::getenv("PATH");
    const std::string path = oldPath ? oldPath : "";
    ::setenv("PATH", list.c_str(), 1);
    EXPECT_EQ(SearchPathW(nullptr, "tool", nullptr, sizeof found, found, nullptr), expected.size());
    EXPECT_EQ(SearchPathW(nullptr, "missing", nullptr, sizeof found, found, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    oldPath ? ::setenv("PATH", path.c_str(), 1) : ::unsetenv("PATH");
}
