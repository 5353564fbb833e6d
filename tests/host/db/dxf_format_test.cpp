// The text pieces a DXF save is made of: reals exactly as the library's
// shortest form (so files read back to the same doubles and saves repeat
// byte for byte), integers, handles and code lines; and the saved values
// that need escapes, wherever in the value the odd byte stands.
#include <gtest/gtest.h>

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_format.h"
#include "tests/host/db/db_test_util.h"

namespace {

// What the writer gave before it had a faster way: the library's text,
// ".0" after a whole number, 0 for what is not finite.
std::string libraryReal(double v) {
    if (!std::isfinite(v)) v = 0;
    char buf[40];
    char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    std::string s(buf, end);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string real(double v) {
    char buf[host::dxf::kRealRoom];
    return std::string(buf, host::dxf::putReal(buf, v));
}

void addEntity(ZcDbDatabase& db, ZcDbEntity* ent) {
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ms->appendZcDbEntity(ent);
    ent->close();
    ms->close();
}

}  // namespace

TEST(DxfFormat, reals_are_written_as_the_library_writes_them) {
    const double edges[] = {0.0, -0.0, 1.0, 0.5, 0.1, 0.2, 0.3, 1.0 / 3, 2.0 / 3, 14.32394487827058,
                            // where the exponent form starts to win or ties
                            1e-3, 9.99e-4, 0.0001, 0.00015, 1.5e-5, 99999.0, 100000.0, 120000.0, 1000000.0,
                            1200000.0, 2500000.0, 9999999.0, 9999999.5, 1e7, 1e7 + 0.5, 123456789.0,
                            // six decimals and just past them
                            0.123456, 0.1234567, 1234567.123456, 9999999.999999, std::nextafter(1e-3, 0.0),
                            std::nextafter(1e7, 0.0), std::nextafter(0.1, 1.0), 1e300, 5e-324,
                            std::numeric_limits<double>::max(), std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
    for (double v : edges) {
        EXPECT_EQ(real(v), libraryReal(v)) << v;
        EXPECT_EQ(real(-v), libraryReal(-v)) << -v;
    }
    // Drawing-like values (few decimals, whole numbers, angles in degrees)
    // and arbitrary bit patterns.
    std::mt19937_64 random(17);
    int wrong = 0;
    for (int i = 0; i < 200000 && wrong < 5; ++i) {
        double v = 0;
        switch (i % 4) {
            case 0:
                v = static_cast<double>(static_cast<std::int64_t>(random() % 20000000000) - 10000000000) /
                    std::pow(10.0, static_cast<int>(random() % 9));
                break;
            case 1:
                v = static_cast<double>(random() % 100000) * std::pow(10.0, static_cast<int>(random() % 9));
                break;
            case 2:
                v = static_cast<double>(random() % 3600000) / 10000.0 * 3.141592653589793 / 180.0 *
                    57.29577951308232;
                break;
            default: {
                std::uint64_t bits = random();
                std::memcpy(&v, &bits, sizeof v);
            }
        }
        if (real(v) != libraryReal(v)) {
            ++wrong;
            ADD_FAILURE() << real(v) << " instead of " << libraryReal(v);
        }
    }
}

TEST(DxfFormat, integers_handles_and_code_lines_match_printf) {
    char buf[64], want[64];
    for (long long v : {0LL, 7LL, -7LL, 10LL, 99LL, 100LL, -32768LL, 2147483647LL,
                        std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()}) {
        std::snprintf(want, sizeof want, "%lld", v);
        EXPECT_EQ(std::string(buf, host::dxf::putInteger(buf, v)), want);
    }
    for (std::uint64_t h :
         {std::uint64_t{0}, std::uint64_t{0xF}, std::uint64_t{0x10}, std::uint64_t{0xABCDEF},
          std::uint64_t{0x8000000000000000}, std::numeric_limits<std::uint64_t>::max()}) {
        std::snprintf(want, sizeof want, "%" PRIX64, h);
        EXPECT_EQ(std::string(buf, host::dxf::putHandle(buf, h)), want);
    }
    for (int code : {0, 5, 9, 10, 99, 100, 330, 999, 1000, 1071, 1072, 2000, -1, -5, 100000}) {
        std::snprintf(want, sizeof want, "%3d\n", code);
        EXPECT_EQ(std::string(buf, host::dxf::putCodeLine(buf, code)), want);
    }
}

TEST(DxfSave, odd_bytes_anywhere_in_a_value_are_escaped_and_read_back) {
    // A control character, a caret before a letter, the delete byte and a
    // Polish letter, at every place of values shorter and longer than a word.
    const std::string odd[] = {"\t", "\n", "^J", "^ ", "^\n", "\x7F", "\xC5\x81"};
    for (const std::string& o : odd) {
        for (std::size_t at = 0; at <= 17; ++at) {
            std::string value = std::string(at, 'a') + o + std::string(17 - at, 'b');
            ZcDbDatabase db;
            addEntity(db, new ZcDbText({0, 0, 0}, value, 1.0));
            std::string text = host::writeDxfText(&db);
            std::size_t line = text.find("\n  1\n" + std::string(at, 'a'), text.find("\nTEXT\n"));
            ASSERT_NE(line, std::string::npos) << at;
            std::string written = text.substr(line + 5, text.find('\n', line + 5) - line - 5);
            // A control character takes two bytes, a caret "^ " before its own follower.
            // and before an escaped control character.
            std::size_t size = o == "\n" || o == "\t" ? 2 : o == "^\n" ? 4 : o[0] == '^' ? 3 : o.size();
            EXPECT_EQ(written.size(), 17 + size) << written;
            host::DxfLoadResult r = host::readDxfText(text);
            ASSERT_TRUE(r.db) << r.error;
            std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
            ASSERT_EQ(ids.size(), 1u);
            auto* t = ZcDbText::cast(ids[0].stub()->object.get());
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->textString(), value) << at;
        }
    }
}

TEST(DxfSave, handle_seed_written_first_follows_handles_taken_while_saving) {
    // Block markers made at save time take fresh handles: here they carry
    // the seed from three hexadecimal digits to four, which the header,
    // written before them, must show.
    ZcDbDatabase db;
    while (db.handseed().value() < 0xFFF) addEntity(db, new ZcDbLine({0, 0, 0}, {1, 1, 0}));
    ASSERT_EQ(db.handseed().value(), 0xFFFu);
    std::string text = host::writeDxfText(&db);
    ASSERT_GT(db.handseed().value(), 0xFFFu);
    std::size_t at = text.find("$HANDSEED\n  5\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at + 14, text.find('\n', at + 14) - at - 14), db.handseed().ascii());
    EXPECT_EQ(text.find("$HANDSEED"), text.rfind("$HANDSEED"));
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(modelSpaceEntities(r.db.get()).size(), modelSpaceEntities(&db).size());
    // Saved again, the markers keep their handles: the same text.
    EXPECT_EQ(host::writeDxfText(&db), text);
}
