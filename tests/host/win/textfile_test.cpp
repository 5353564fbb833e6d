// Text files: encodings detected and kept, line ends kept, byte-identical
// round trips, and a failed write that leaves the original in place.

#include "host/win/textfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "host/win/files.h"
#include "host/win/textutil.h"
#include "tests/host/win_testdir.h"

using host::LineEnding;
using host::TextEncoding;

TEST(TextFile, utf8_with_and_without_byte_order_mark) {
    TestDir dir;
    dir.write("plain.txt", "Ściana\nzażółć\n");
    dir.write("bom.txt", "\xEF\xBB\xBFŚciana\nzażółć\n");
    auto plain = host::readTextFile(dir.path("plain.txt"));
    auto bom = host::readTextFile(dir.path("bom.txt"));
    ASSERT_TRUE(plain && bom);
    EXPECT_EQ(plain->lines, (std::vector<std::string>{"Ściana", "zażółć"}));
    EXPECT_EQ(bom->lines, plain->lines);
    EXPECT_EQ(plain->encoding, TextEncoding::Utf8);
    EXPECT_FALSE(plain->byteOrderMark);
    EXPECT_TRUE(bom->byteOrderMark);
    ASSERT_TRUE(host::writeTextFile(dir.path("bom2.txt"), *bom));
    EXPECT_EQ(dir.read("bom2.txt"), dir.read("bom.txt"));

    // A doubled mark is still the mark, not text of the first line, and the
    // file is written back with one.
    dir.write("twice.txt", "\xEF\xBB\xBF\xEF\xBB\xBF**Ściany,\nzażółć\n");
    auto twice = host::readTextFile(dir.path("twice.txt"));
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->lines, (std::vector<std::string>{"**Ściany,", "zażółć"}));
    ASSERT_TRUE(host::writeTextFile(dir.path("twice2.txt"), *twice));
    EXPECT_EQ(dir.read("twice2.txt"), "\xEF\xBB\xBF**Ściany,\nzażółć\n");
}

TEST(TextFile, windows_1250_polish_letters_round_trip_byte_identical) {
    TestDir dir;
    // "Łódź żółć ĄĘŚŹŻ" in the Polish Windows code page, CR LF line ends.
    std::string bytes = "\xA3\xF3\x64\x9F \xBF\xF3\xB3\xE6\r\n\xA5\xCA\x8C\x8F\xAF\r\n";
    dir.write("cp.txt", bytes);
    auto file = host::readTextFile(dir.path("cp.txt"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->encoding, TextEncoding::Windows1250);
    EXPECT_EQ(file->lineEnding, LineEnding::CrLf);
    EXPECT_EQ(file->lines, (std::vector<std::string>{"Łódź żółć", "ĄĘŚŹŻ"}));
    ASSERT_TRUE(host::writeTextFile(dir.path("cp.txt"), *file));
    EXPECT_EQ(dir.read("cp.txt"), bytes);
}

TEST(TextFile, every_upper_half_byte_survives_a_round_trip) {
    std::string all;
    for (int b = 0x80; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
    std::string text = host::decodeWindows1250(all);
    EXPECT_TRUE(host::isValidUtf8(text));
    EXPECT_EQ(host::encodeWindows1250(text), all);
    EXPECT_EQ(host::decodeWindows1250("\x80\xB9\xEA"), "€ąę");
}

TEST(TextFile, edited_lines_are_written_in_the_files_own_code_page) {
    TestDir dir;
    dir.write("cp.txt", "\xB3\x61\x77\x61\n");  // "ława"
    auto file = host::readTextFile(dir.path("cp.txt"));
    ASSERT_TRUE(file);
    file->lines.push_back("więźba è ü");  // è has no Windows-1250 form
    ASSERT_TRUE(host::writeTextFile(dir.path("cp.txt"), *file));
    EXPECT_EQ(dir.read("cp.txt"), "\xB3\x61\x77\x61\nwi\xEA\x9F\x62\x61 ? \xFC\n");
}

TEST(TextFile, line_ends_and_the_last_line) {
    host::TextFile lf = host::decodeText("a\nb");
    EXPECT_EQ(lf.lines, (std::vector<std::string>{"a", "b"}));  // last line keeps its last character
    EXPECT_FALSE(lf.finalLineEnd);
    EXPECT_EQ(host::encodeText(lf), "a\nb");
    host::TextFile crlf = host::decodeText("x\r\n\r\ny\r\n");
    EXPECT_EQ(crlf.lines, (std::vector<std::string>{"x", "", "y"}));
    EXPECT_EQ(crlf.lineEnding, LineEnding::CrLf);
    EXPECT_EQ(host::encodeText(crlf), "x\r\n\r\ny\r\n");
    // Only the line end goes: a CR inside a line and trailing blanks stay.
    host::TextFile inner = host::decodeText("a\rb  \n");
    EXPECT_EQ(inner.lines, (std::vector<std::string>{"a\rb  "}));
    EXPECT_TRUE(host::decodeText("").lines.empty());
    EXPECT_EQ(host::encodeText(host::decodeText("")), "");
}

TEST(TextFile, long_lines_are_read_whole) {
    std::string longLine(100000, 'x');
    host::TextFile f = host::decodeText(longLine + "\nshort\n");
    ASSERT_EQ(f.lines.size(), 2u);
    EXPECT_EQ(f.lines[0].size(), 100000u);
}

TEST(TextFile, new_files_are_utf8_with_lf) {
    TestDir dir;
    host::TextFile f;
    f.lines = {"Ściana", "koniec"};
    ASSERT_TRUE(host::writeTextFile(dir.path("new.txt"), f));
    EXPECT_EQ(dir.read("new.txt"), "Ściana\nkoniec\n");
}

TEST(TextFile, failed_write_leaves_the_original_and_no_temporary) {
    TestDir dir;
    dir.write("keep.txt", "original\n");
    // A folder no write may go into: the write must fail.
    host::setProtectedFolders({dir.path()});
    host::TextFile f;
    f.lines = {"replacement"};
    std::string error;
    EXPECT_FALSE(host::writeTextFile(dir.path("keep.txt"), f, &error));
    host::setProtectedFolders({});
    EXPECT_NE(error.find("keep.txt"), std::string::npos);
    EXPECT_EQ(dir.read("keep.txt"), "original\n");
    EXPECT_TRUE(temporaryFilesBeside(dir.path("keep.txt")).empty());
    // Missing file: a message, no result.
    EXPECT_FALSE(host::readTextFile(dir.path("missing.txt"), &error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos);
}

TEST(TextFile, backslash_paths_reach_the_same_file) {
    TestDir dir;
    std::filesystem::create_directory(dir.path("sub"));
    dir.write("sub/a.txt", "1\n");
    auto f = host::readTextFile(dir.path() + "\\sub\\a.txt");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->lines, (std::vector<std::string>{"1"}));
}

TEST(TextFile, any_bytes_with_one_kind_of_line_end_come_back_unchanged) {
    std::mt19937 rng(1250);
    std::uniform_int_distribution<int> len(0, 200), byte(0, 255), pick(0, 9);
    for (int i = 0; i < 2000; ++i) {
        bool crlf = i % 2 == 1;
        std::string bytes;
        int n = len(rng);
        for (int k = 0; k < n; ++k) {
            if (pick(rng) == 0) {
                bytes += crlf ? "\r\n" : "\n";
                continue;
            }
            char c = static_cast<char>(byte(rng));
            if (c != '\r' && c != '\n') bytes += c;
        }
        ASSERT_EQ(host::encodeText(host::decodeText(bytes)), bytes) << "case " << i;
    }
}

// One byte that is not UTF-8 used to turn a whole UTF-8 file into
// Windows-1250; it spoils only its own line now, and that line is written
// back with the bytes it had until it is edited.
TEST(TextFile, a_stray_byte_in_a_utf8_file_spoils_only_its_own_line) {
    const std::string bytes = "Ściana z cegły pełnej\r\nCeg\xB3\x61\r\nzaprawa\r\n";
    host::TextFile f = host::decodeText(bytes);
    EXPECT_EQ(f.encoding, TextEncoding::Utf8);
    EXPECT_EQ(f.lines, (std::vector<std::string>{"Ściana z cegły pełnej", "Cegła", "zaprawa"}));
    EXPECT_EQ(host::encodeText(f), bytes);
    f.lines[1] = "Cegła pełna";
    EXPECT_EQ(host::encodeText(f), "Ściana z cegły pełnej\r\nCegła pełna\r\nzaprawa\r\n");
    // A file of the Polish code page stays one, whatever a line may look like.
    host::TextFile cp = host::decodeText("\xA3\xF3\x64\x9F\n\xD3\xA3\n");
    EXPECT_EQ(cp.encoding, TextEncoding::Windows1250);
    EXPECT_EQ(cp.lines, (std::vector<std::string>{"Łódź", "ÓŁ"}));
}
