// Whose a file is decides what the one reader reads: the user's own files
// (a pipe, /dev/null, a link anywhere) are read as they are within the size
// bound, while a file from someone else's folder is read only when it is a
// plain file; the support search follows links in the user's folders and
// refuses those leading out of any other.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "host/util/findfile.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/read_file.h"
#include "tests/host/win_testdir.h"

namespace fs = std::filesystem;

namespace {

// A FIFO whose writer hands over `bytes` and ends, from its own thread.
class FedFifo {
public:
    FedFifo(const std::string& path, std::string bytes) : m_path(path) {
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        m_writer = std::thread([this, bytes = std::move(bytes)] {
            const int fd = ::open(m_path.c_str(), O_WRONLY);
            if (fd < 0) return;
            for (std::size_t at = 0; at < bytes.size();) {
                const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
                if (n <= 0) break;
                at += static_cast<std::size_t>(n);
            }
            ::close(fd);
        });
    }
    ~FedFifo() {
        // A reader that gave up early leaves the writer blocked: a reader
        // of its own lets it go.
        const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (fd >= 0) ::close(fd);
    }
    FedFifo(const FedFifo&) = delete;
    FedFifo& operator=(const FedFifo&) = delete;

private:
    std::string m_path;
    std::thread m_writer;
};

}  // namespace

TEST(ReadFileOrigin, the_users_pipe_and_null_device_are_read_as_they_are_within_the_bound) {
    TestDir dir;
    std::string bytes, error;
    {
        FedFifo fifo(dir.path("script.scr"), "_LINE\n0,0\n1,1\n\n");
        ASSERT_TRUE(host::readWholeFile(dir.path("script.scr"), bytes, &error, host::kMaxSupportFileBytes,
                                        host::FileOrigin::User))
            << error;
        EXPECT_EQ(bytes, "_LINE\n0,0\n1,1\n\n");
    }
    bytes = "left over";
    ASSERT_TRUE(
        host::readWholeFile("/dev/null", bytes, &error, host::kMaxSupportFileBytes, host::FileOrigin::User))
        << error;
    EXPECT_TRUE(bytes.empty());
    // A device that never ends stops at the bound, named.
    EXPECT_FALSE(
        host::readWholeFile("/dev/zero", bytes, &error, std::size_t{1} << 20, host::FileOrigin::User));
    EXPECT_EQ(error, "nie można odczytać /dev/zero: plik jest większy niż 1 MB");
    {
        FedFifo fifo(dir.path("big.scr"), std::string(3000, 'x'));
        EXPECT_FALSE(host::readWholeFile(dir.path("big.scr"), bytes, &error, 2048, host::FileOrigin::User));
        EXPECT_EQ(error, "nie można odczytać " + dir.path("big.scr") + ": plik jest większy niż 2048 B");
    }
    // A folder is no file, whoever names it.
    EXPECT_FALSE(
        host::readWholeFile(dir.path(), bytes, &error, host::kMaxSupportFileBytes, host::FileOrigin::User));
}

TEST(ReadFileOrigin, a_foreign_pipe_or_device_is_refused_before_any_read) {
    TestDir dir;
    std::string bytes, error;
    // No writer: a foreign FIFO must not hold the reader at its open.
    ASSERT_EQ(::mkfifo(dir.path("plan.dxf").c_str(), 0600), 0);
    EXPECT_FALSE(host::readWholeFile(dir.path("plan.dxf"), bytes, &error));
    EXPECT_EQ(error, "nie można odczytać " + dir.path("plan.dxf") + ": to nie jest zwykły plik");
    EXPECT_FALSE(host::readWholeFile("/dev/null", bytes, &error));
    EXPECT_EQ(error, "nie można odczytać /dev/null: to nie jest zwykły plik");
}

namespace {

class UserFolderSearch : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path("user"));
        fs::create_directories(dir.path("drawing"));
        fs::create_directories(dir.path("elsewhere"));
        dir.write("elsewhere/LAYERPOV.DEF", "**Ściany,\n3DWALLS,Cegla,1.000000,0\n");
        fs::create_symlink(dir.path("elsewhere/LAYERPOV.DEF"), dir.path("user/LAYERPOV.DEF"));
        fs::create_symlink(dir.path("elsewhere/LAYERPOV.DEF"), dir.path("drawing/LAYERC.DEF"));
        host::setSupportFolders({dir.path("user"), dir.path("drawing")});
        host::setUserFolders({dir.path("user") + "/"});
        host::takeNotesForCommandLine();
    }
    void TearDown() override {
        host::setSupportFolders({});
        host::setUserFolders({});
        host::takeNotesForCommandLine();
    }
    TestDir dir;
};

}  // namespace

TEST_F(UserFolderSearch, a_link_in_the_users_folder_is_followed_and_one_beside_a_drawing_refused) {
    EXPECT_EQ(host::findOnSupportPath("LAYERPOV.DEF"), dir.path("user/LAYERPOV.DEF"));
    EXPECT_EQ(host::originOf(dir.path("user/LAYERPOV.DEF")), host::FileOrigin::User);
    EXPECT_TRUE(host::takeNotesForCommandLine().empty());
    EXPECT_FALSE(host::findOnSupportPath("LAYERC.DEF"));
    EXPECT_EQ(host::originOf(dir.path("drawing/LAYERC.DEF")), host::FileOrigin::Foreign);
    const std::vector<std::string> notes = host::takeNotesForCommandLine();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("dowiązanie prowadzi poza folder"), std::string::npos) << notes[0];
}

TEST(BareFileName, a_stored_name_keeps_only_its_file_name) {
    EXPECT_EQ(host::bareFileName("IP1"), "IP1");
    EXPECT_EQ(host::bareFileName("/home/ktoś/tajne/SECRET"), "SECRET");
    EXPECT_EQ(host::bareFileName("C:\\Bloki\\Drzwi"), "Drzwi");
    EXPECT_EQ(host::bareFileName("C:Drzwi"), "Drzwi");
    EXPECT_EQ(host::bareFileName("../.."), "");
    EXPECT_EQ(host::bareFileName("bloki/"), "");
}
