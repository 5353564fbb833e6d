// Loading and saving on several threads against one: the same pairs, the
// same refusal with the same line, the same saved bytes, whatever the
// file's size and wherever its text is cut into stretches.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_pool.h"

namespace {

// The thread cap for the life of the object; what was set before comes back.
class ThreadCap {
public:
    explicit ThreadCap(const char* cap) {
        if (const char* was = std::getenv("VELM_DXF_THREADS")) m_was = was;
        if (cap)
            setenv("VELM_DXF_THREADS", cap, 1);
        else
            unsetenv("VELM_DXF_THREADS");
    }
    ~ThreadCap() {
        if (m_was)
            setenv("VELM_DXF_THREADS", m_was->c_str(), 1);
        else
            unsetenv("VELM_DXF_THREADS");
    }

private:
    std::optional<std::string> m_was;
};

struct Outcome {
    std::string error, saved;
    std::vector<std::string> notes, repairs;
};

// Loaded and, when it went in, saved, all with the given cap (null: every core).
Outcome loadAndSave(const std::string& text, const char* cap) {
    ThreadCap threads(cap);
    host::DxfLoadResult r = host::readDxfText(text);
    Outcome o{r.error, {}, r.notes, r.repairs};
    if (r.db) o.saved = host::writeDxfText(r.db.get(), r.vars.get());
    return o;
}

void expectSame(const Outcome& serial, const Outcome& parallel, const std::string& what) {
    EXPECT_EQ(serial.error, parallel.error) << what;
    EXPECT_EQ(serial.notes, parallel.notes) << what;
    EXPECT_EQ(serial.repairs, parallel.repairs) << what;
    EXPECT_TRUE(serial.saved == parallel.saved) << what << ": the saved texts differ";
}

std::string group(int code, const std::string& value) {
    char c[16];
    std::snprintf(c, sizeof c, "%3d\n", code);
    return c + value + "\n";
}

// A drawing of `n` entities written as other programs do: lines, circles,
// texts with escapes, light polylines, old polylines with their vertices,
// a kind the host keeps as it is (with followers that give no handle of
// their own), comments here and there.
std::string drawing(int n) {
    std::string t = group(0, "SECTION") + group(2, "ENTITIES");
    t.reserve(static_cast<std::size_t>(n) * 190);
    unsigned handle = 0x100;
    auto head = [&](const char* kind) {
        t += group(0, kind) +
             group(5,
                   [&] {
                       char h[17];
                       std::snprintf(h, sizeof h, "%X", handle++);
                       return std::string(h);
                   }()) +
             group(100, "AcDbEntity") + group(8, "W" + std::to_string(handle % 7));
    };
    for (int i = 0; i < n; ++i) {
        const std::string x = std::to_string(i) + ".25";
        switch (i % 8) {
            case 0:
            case 4:
                head("LINE");
                t += group(100, "AcDbLine") + group(10, x) + group(20, "0.5") + group(30, "0.0") +
                     group(11, x) + group(21, "3.0") + group(31, "0.0");
                break;
            case 1:
                head("CIRCLE");
                t += group(100, "AcDbCircle") + group(10, x) + group(20, "1.0") + group(30, "0.0") +
                     group(40, "1.5");
                break;
            case 2:
                head("TEXT");
                t += group(100, "AcDbText") + group(10, x) + group(20, "2.0") + group(30, "0.0") +
                     group(40, "0.25") + group(1, "pok\\U+00F3j ^I " + std::to_string(i)) +
                     group(100, "AcDbText");
                break;
            case 3:
                head("LWPOLYLINE");
                t += group(100, "AcDbPolyline") + group(90, "3") + group(70, "1") + group(10, x) +
                     group(20, "0") + group(10, "1e3") + group(20, "2") + group(10, x) + group(20, "4");
                break;
            case 5:
                head("POLYLINE");
                t += group(100, "AcDb2dPolyline") + group(66, "1") + group(10, "0") + group(20, "0") +
                     group(30, "0") + group(70, "0");
                for (int v = 0; v < 2; ++v) {
                    head("VERTEX");
                    t += group(100, "AcDbVertex") + group(100, "AcDb2dVertex") + group(10, x) +
                         group(20, std::to_string(v)) + group(30, "0");
                }
                head("SEQEND");
                break;
            case 6:
                if (i % 64 == 6) {
                    head("SHAPEX");
                    t += group(66, "1") + group(10, x) + group(20, "0") + group(0, "VERTEX") + group(8, "0") +
                         group(10, x) + group(20, "1") + group(0, "SEQEND") + group(8, "0");
                    break;
                }
                [[fallthrough]];
            default:
                t += group(999, "a comment between records");
                head("POINT");
                t += group(100, "AcDbPoint") + group(10, x) + group(20, "7") + group(30, "0");
                break;
        }
    }
    return t + group(0, "ENDSEC") + group(0, "EOF");
}

// The line (counted from 1) where `needle` starts in `text`.
int lineAt(const std::string& text, std::size_t at) {
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

TEST(DxfThreads, every_task_runs_once_and_the_cap_is_kept) {
    for (const char* cap : std::vector<const char*>{"1", "3", nullptr}) {
        ThreadCap threads(cap);
        EXPECT_GE(host::dxf::threadCount(), 1u);
        if (cap) {
            EXPECT_LE(host::dxf::threadCount(), static_cast<unsigned>(std::atoi(cap)));
        }
        std::vector<std::atomic<int>> runs(1000);
        host::dxf::runTasks(runs.size(), [&](std::size_t k) { ++runs[k]; });
        for (std::size_t k = 0; k < runs.size(); ++k) ASSERT_EQ(runs[k].load(), 1) << k;
    }
    ThreadCap junk("many");
    EXPECT_GE(host::dxf::threadCount(), 1u);
}

TEST(DxfThreads, generated_drawings_load_and_save_the_same_bytes_on_every_core_and_on_one) {
    for (int n : {20000, 100000}) {
        const std::string text = drawing(n);
        Outcome serial = loadAndSave(text, "1");
        ASSERT_EQ(serial.error, "") << n;
        expectSame(serial, loadAndSave(text, nullptr), std::to_string(n) + " entities");
        expectSame(serial, loadAndSave(text, "3"), std::to_string(n) + " entities, three threads");
        // Saved and loaded again: the host's own text cut the same way.
        expectSame(loadAndSave(serial.saved, "1"), loadAndSave(serial.saved, nullptr),
                   std::to_string(n) + " entities, the host's text");
    }
}

TEST(DxfThreads, a_million_entities_load_and_save_the_same_bytes_on_every_core_and_on_one) {
    const std::string text = drawing(1000000);
    Outcome serial = loadAndSave(text, "1");
    ASSERT_EQ(serial.error, "");
    Outcome parallel = loadAndSave(text, nullptr);
    expectSame(serial, parallel, "a million entities");
}

TEST(DxfThreads, the_corpus_of_other_programs_reads_and_saves_the_same_on_every_core) {
    const std::filesystem::path dir = std::filesystem::path(VELM_SOURCE_DIR) / "tests/data/dxf";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".dxf") continue;
        ++files;
        ThreadCap one("1");
        host::DxfLoadResult serial = host::loadDxf(entry.path().string());
        std::string serialText = serial.db ? host::writeDxfText(serial.db.get(), serial.vars.get()) : "";
        ThreadCap all(nullptr);
        host::DxfLoadResult parallel = host::loadDxf(entry.path().string());
        std::string parallelText =
            parallel.db ? host::writeDxfText(parallel.db.get(), parallel.vars.get()) : "";
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(serial.error, parallel.error) << name;
        EXPECT_EQ(serial.repairs, parallel.repairs) << name;
        EXPECT_EQ(serial.notes, parallel.notes) << name;
        EXPECT_TRUE(serialText == parallelText) << name << ": the saved texts differ";
    }
    EXPECT_GT(files, 10);
}

// Faults in the middle of a long file, where the text is cut into
// stretches: the refusal is the one a single pass gives, naming its line.
TEST(DxfThreads, a_fault_mid_file_is_refused_at_its_own_line_on_every_core) {
    const std::string text = drawing(20000);
    const std::size_t middle = text.find("\n  0\nCIRCLE\n", text.size() / 2) + 1;
    const std::size_t late = text.find("\n  0\nTEXT\n", text.size() * 3 / 4) + 1;
    struct Broken {
        std::string name, text;
        int line;  // 0: the file may go in, its repairs must agree; -1: it must go in
    };
    std::vector<Broken> cases;
    cases.push_back(
        {"a bad group code", text.substr(0, middle) + "x1\nA\n" + text.substr(middle), lineAt(text, middle)});
    // The value of a radius gone: every line after it shifts by one.
    const std::size_t radius = text.find("\n 40\n", middle) + 1;
    const std::size_t radiusValue = text.find('\n', radius) + 1;
    cases.push_back({"a value line gone",
                     text.substr(0, radiusValue) + text.substr(text.find('\n', radiusValue) + 1), 0});
    cases.push_back({"a number that is none",
                     text.substr(0, radiusValue) + "1.5x\n" + text.substr(text.find('\n', radiusValue) + 1),
                     lineAt(text, radiusValue)});
    cases.push_back({"cut inside a pair", text.substr(0, late + 8), lineAt(text, late + 4)});
    cases.push_back({"cut after a code", text.substr(0, late + 4), lineAt(text, late)});
    cases.push_back({"cut before EOF", text.substr(0, late), 0});
    cases.push_back({"two faults",
                     text.substr(0, middle) + "7x\nA\n" + text.substr(middle, late - middle) + "8y\nB\n" +
                         text.substr(late),
                     lineAt(text, middle)});
    cases.push_back({"a comment without its text", text.substr(0, middle) + "999\n", 0});
    // Not faults: what follows the end marker, however long, is not read;
    // CR LF line ends cut the same way.
    std::string junk;
    for (int i = 0; i < 4000; ++i) junk += "  0\nLINE\nno code\n";
    cases.push_back({"text after the end marker", text + junk, -1});
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cases.push_back({"CR LF line ends", crlf, -1});
    // A value line gone just before the record where two threads cut the
    // text (the first record past its middle): the pair before takes that
    // record's "0" as its value, so the stretch after the cut must be split
    // again from where the one before stopped. The bytes are made up after
    // the end marker, so the text keeps its size and its cuts.
    std::size_t cut = text.find("\n  0\n", text.size() / 8 * 4);
    while (cut != std::string::npos && !(text[cut + 5] >= 'A' && text[cut + 5] <= 'Z'))
        cut = text.find("\n  0\n", cut + 1);
    ASSERT_NE(cut, std::string::npos);
    const std::size_t value = text.rfind('\n', cut - 1) + 1;
    const std::string shifted =
        text.substr(0, value) + text.substr(cut + 1) + std::string(cut + 1 - value, '\n');
    cases.push_back({"a value line gone before a cut", shifted, lineAt(shifted, value + 4)});
    for (const Broken& b : cases) {
        Outcome serial = loadAndSave(b.text, "1");
        expectSame(serial, loadAndSave(b.text, nullptr), b.name);
        expectSame(serial, loadAndSave(b.text, "2"), b.name + ", two threads");
        if (b.line > 0) {
            EXPECT_EQ(serial.error.rfind("DXF: wiersz " + std::to_string(b.line) + ": ", 0), 0u)
                << b.name << ": " << serial.error;
        } else if (b.line < 0) {
            EXPECT_EQ(serial.error, "") << b.name;
            EXPECT_FALSE(serial.saved.empty()) << b.name;
        } else {
            EXPECT_FALSE(serial.error.empty() && serial.saved.empty()) << b.name;
        }
    }
}

// Entities that take fresh handles while they are written (followers of a
// kept kind that gave none) get the same numbers however the list is cut.
TEST(DxfThreads, followers_without_handles_are_numbered_as_in_one_pass) {
    const std::string text = drawing(5000);
    Outcome serial = loadAndSave(text, "1");
    ASSERT_EQ(serial.error, "");
    ASSERT_NE(serial.saved.find("SHAPEX"), std::string::npos);
    expectSame(serial, loadAndSave(text, nullptr), "followers without handles");
    // And again from the saved text, which gave them their handles.
    expectSame(loadAndSave(serial.saved, "1"), loadAndSave(serial.saved, nullptr), "saved once");
}

}  // namespace

// The model's extents in the header, measured in runs side by side: lines,
// arcs, circles and texts alone (signed zeros where the smallest and the
// largest values tie) and one run with an old polyline, which the calling
// thread measures in its turn, give the header of one pass.
TEST(DxfThreads, the_header_extents_measured_in_runs_are_those_of_one_pass) {
    std::string t = group(0, "SECTION") + group(2, "ENTITIES");
    unsigned handle = 0x100;
    auto head = [&](const char* kind) {
        char h[17];
        std::snprintf(h, sizeof h, "%X", handle++);
        t += group(0, kind) + group(5, h) + group(100, "AcDbEntity") + group(8, "0");
    };
    const int n = 30000;
    for (int i = 0; i < n; ++i) {
        const std::string x = i % 5 == 0 ? (i % 10 == 0 ? "-0.0" : "0.0") : std::to_string(i % 977) + ".5";
        const std::string y = i % 3 == 0 ? "-0.0" : "-" + std::to_string(i % 611) + ".125";
        if (i == n / 2) {
            head("POLYLINE");
            t += group(100, "AcDb2dPolyline") + group(66, "1") + group(10, "0") + group(20, "0") +
                 group(30, "0") + group(70, "0");
            for (int v = 0; v < 2; ++v) {
                head("VERTEX");
                t += group(100, "AcDbVertex") + group(100, "AcDb2dVertex") + group(10, "-2000.5") +
                     group(20, std::to_string(v * 3000)) + group(30, "0");
            }
            head("SEQEND");
            continue;
        }
        switch (i % 4) {
            case 0:
                head("LINE");
                t += group(100, "AcDbLine") + group(10, x) + group(20, y) + group(30, "0.0") + group(11, y) +
                     group(21, x) + group(31, "-0.0");
                break;
            case 1:
                head("ARC");
                t += group(100, "AcDbCircle") + group(10, x) + group(20, y) + group(30, "0.0") +
                     group(40, "2.5") + group(100, "AcDbArc") + group(50, std::to_string(i % 360)) +
                     group(51, "271.5");
                break;
            case 2:
                head("CIRCLE");
                t += group(100, "AcDbCircle") + group(10, y) + group(20, x) + group(30, "0.0") +
                     group(40, "0.75");
                break;
            default:
                head("TEXT");
                t += group(100, "AcDbText") + group(10, x) + group(20, y) + group(30, "0.0") +
                     group(40, "0.25") + group(1, "pokój") + group(50, std::to_string(i % 90)) +
                     group(100, "AcDbText");
                break;
        }
    }
    t += group(0, "ENDSEC") + group(0, "EOF");
    const Outcome serial = loadAndSave(t, "1");
    ASSERT_EQ(serial.error, "");
    ASSERT_NE(serial.saved.find("$EXTMIN"), std::string::npos);
    expectSame(serial, loadAndSave(t, nullptr), "every core");
    expectSame(serial, loadAndSave(t, "3"), "three threads");
}
