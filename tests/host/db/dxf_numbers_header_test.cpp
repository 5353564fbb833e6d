// Numbers and header variables through a save and a load: every double a
// file gives (angles in degrees included) comes back as it was and is
// written again the same, and each header variable stands under the group
// the format gives it, while the forms older saves wrote still read.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_format.h"
#include "tests/host/db/db_test_util.h"

namespace {

// Every real the model space's entities file, in order.
std::vector<double> realsOf(ZcDbDatabase* db) {
    std::vector<double> all;
    for (ZcDbObjectId id : modelSpaceEntities(db)) {
        ZcDbMemDxfFiler f;
        EXPECT_EQ(id.stub()->object->dxfOut(&f), Zcad::eOk);
        for (const ZcDbDxfItem& it : f.items()) {
            if (it.kind == ZcDbDxfItem::kReal) all.push_back(it.real[0]);
            if (it.kind == ZcDbDxfItem::kPoint) all.insert(all.end(), it.real, it.real + it.dim);
        }
    }
    return all;
}

std::string withoutHeader(const std::string& text) {
    return text.substr(text.find("ENDSEC"));
}

std::string entity(const char* kind, const std::string& handle, const std::string& groups) {
    return std::string("0\n") + kind + "\n5\n" + handle + "\n8\n0\n" + groups;
}

}  // namespace

TEST(DxfNumbers, angles_written_in_degrees_read_back_to_the_same_radians) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> wide(-720.0, 720.0), narrow(-1e-3, 1e-3);
    for (int i = 0; i < 200000; ++i) {
        const double degrees = i % 4 == 0 ? narrow(rng) : wide(rng);
        const double radians = host::dxf::radiansOf(degrees);
        const double written = host::dxf::degreesOf(radians);
        ASSERT_EQ(host::dxf::radiansOf(written), radians) << degrees;
        ASSERT_EQ(host::dxf::degreesOf(host::dxf::radiansOf(written)), written) << degrees;
    }
    // Where each degree value has radians of its own, the value itself.
    for (double degrees : {90.00000000000189, 45.00000000000001, 1.0000000000000002, 30.0, 0.1})
        EXPECT_EQ(host::dxf::degreesOf(host::dxf::radiansOf(degrees)), degrees);
}

namespace {

// The degree search as it was first written, with the library's nextafter
// and every neighbour's text: the fast one must pick the same value.
double degreesBySearch(double radians) {
    using host::dxf::radiansOf;
    const double plain = radians * 180.0 / std::numbers::pi;
    if (!std::isfinite(plain) || plain == 0.0) return plain;
    if (radiansOf(plain) == radians && radiansOf(std::nextafter(plain, -HUGE_VAL)) != radians &&
        radiansOf(std::nextafter(plain, HUGE_VAL)) != radians)
        return plain;
    double v = plain;
    for (int k = 0; k < 8; ++k) v = std::nextafter(v, -HUGE_VAL);
    double best = plain, bestDistance = 0;
    std::ptrdiff_t bestLength = 0;
    for (int k = 0; k <= 16; ++k, v = std::nextafter(v, HUGE_VAL)) {
        if (radiansOf(v) != radians) continue;
        char text[host::dxf::kRealRoom];
        const std::ptrdiff_t length = std::to_chars(text, text + sizeof text, v).ptr - text;
        const double distance = std::fabs(v - plain);
        if (bestLength == 0 || length < bestLength || (length == bestLength && distance < bestDistance)) {
            best = v;
            bestLength = length;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

TEST(DxfNumbers, degree_search_by_the_bits_picks_what_the_library_search_picks) {
    std::mt19937_64 rng(23);
    std::uniform_real_distribution<double> wide(-10.0, 10.0);
    for (int i = 0; i < 400000; ++i) {
        double radians = 0;
        switch (i % 5) {
            case 0:  // any bits: subnormals, huge values, infinities, NaNs
                radians = std::bit_cast<double>(static_cast<std::uint64_t>(rng()));
                break;
            case 1:  // near zero, where the neighbours cross it
                radians = std::ldexp(wide(rng), -1074 + static_cast<int>(rng() % 64));
                break;
            case 2:  // near the largest degrees
                radians = std::ldexp(wide(rng), 1014 + static_cast<int>(rng() % 10));
                break;
            case 3:  // what files hold: short degree values
                radians = host::dxf::radiansOf(std::round(wide(rng) * 3600.0) / 100.0);
                break;
            default:
                radians = wide(rng);
                break;
        }
        const double fast = host::dxf::degreesOf(radians), slow = degreesBySearch(radians);
        ASSERT_TRUE(std::bit_cast<std::uint64_t>(fast) == std::bit_cast<std::uint64_t>(slow) ||
                    (std::isnan(fast) && std::isnan(slow)))
            << std::hexfloat << radians;
    }
}

TEST(DxfNumbers, a_drawing_of_awkward_numbers_loads_and_saves_the_same) {
    std::string text = "0\nSECTION\n2\nENTITIES\n";
    text += entity("LINE", "20",
                   "10\n0.30000000000000004\n20\n-1234.5678901234567\n30\n0.0\n11\n1e-"
                   "300\n21\n9007199254740993.0\n31\n0.1\n");
    text += entity(
        "ARC", "21",
        "10\n1.0\n20\n2.0\n30\n0.0\n40\n3.0000000000000004\n50\n90.00000000000189\n51\n359.99999999999994\n");
    text += entity("TEXT", "22", "10\n5.0\n20\n5.0\n30\n0.0\n40\n2.5\n1\nt\n50\n33.33333333333333\n");
    text += entity("CIRCLE", "23", "10\n-0.0\n20\n1e22\n30\n0.0\n40\n2.220446049250313e-16\n");
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> any(-1000.0, 1000.0), turn(0.0, 360.0);
    for (int i = 0; i < 200; ++i) {
        char handle[16];
        std::snprintf(handle, sizeof handle, "%X", 0x100 + i);
        char groups[256];
        std::snprintf(groups, sizeof groups,
                      "10\n%.17g\n20\n%.17g\n30\n0.0\n40\n%.17g\n50\n%.17g\n51\n%.17g\n", any(rng), any(rng),
                      std::fabs(any(rng)) + 1, turn(rng), turn(rng));
        text += entity("ARC", handle, groups);
    }
    text += "0\nENDSEC\n0\nEOF\n";

    host::DxfLoadResult first = host::readDxfText(text);
    ASSERT_TRUE(first.db) << first.error;
    const std::string saved = host::writeDxfText(first.db.get(), first.vars.get());
    for (const char* kept : {"\n0.30000000000000004\n", "\n-1234.5678901234567\n", "\n90.00000000000189\n",
                             "\n359.99999999999994\n", "\n33.33333333333333\n", "\n3.0000000000000004\n",
                             "\n2.220446049250313e-16\n", "\n1e+22\n", "\n1e-300\n"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    host::DxfLoadResult second = host::readDxfText(saved);
    ASSERT_TRUE(second.db) << second.error;
    const std::vector<double> before = realsOf(first.db.get()), after = realsOf(second.db.get());
    EXPECT_GT(before.size(), 1000u);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_TRUE(std::bit_cast<std::uint64_t>(after[i]) == std::bit_cast<std::uint64_t>(before[i]))
            << i << ": " << before[i] << " became " << after[i];
    const std::string again = host::writeDxfText(second.db.get(), second.vars.get());
    EXPECT_EQ(withoutHeader(again), withoutHeader(saved));
}

TEST(DxfHeader, variables_stand_under_the_groups_of_the_format_and_older_forms_still_read) {
    ZcDbDatabase db;
    host::MemorySysVarStore vars;
    vars.store("CECOLOR", std::string("BYBLOCK"));
    vars.store("ANGBASE", std::numbers::pi / 2);
    vars.store("SNAPANG", 0.5);
    vars.store("VIEWCTR", ZcGePoint3d(10, 20, 0));
    const std::string text = host::writeDxfText(&db, &vars);
    EXPECT_NE(text.find("$CECOLOR\n 62\n0\n"), std::string::npos);
    EXPECT_NE(text.find("$ANGBASE\n 50\n90.0\n"), std::string::npos);
    EXPECT_NE(text.find("$SNAPANG\n 50\n"), std::string::npos);
    EXPECT_NE(text.find("$VIEWCTR\n 10\n10.0\n 20\n20.0\n  9\n"), std::string::npos);
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(std::get<std::string>(*r.vars->find("CECOLOR")), "BYBLOCK");
    EXPECT_EQ(std::get<double>(*r.vars->find("ANGBASE")), std::numbers::pi / 2);
    EXPECT_EQ(std::get<double>(*r.vars->find("SNAPANG")), 0.5);

    // The colour by its number, whatever way it was set.
    for (auto [set, number, back] : {std::tuple{"BYLAYER", "256", "BYLAYER"},
                                     {"bylayer", "256", "BYLAYER"},
                                     {"red", "1", "1"},
                                     {"7", "7", "7"},
                                     {"nonsense", "256", "BYLAYER"}}) {
        vars.store("CECOLOR", std::string(set));
        const std::string t = host::writeDxfText(&db, &vars);
        EXPECT_NE(t.find(std::string("$CECOLOR\n 62\n") + number + "\n"), std::string::npos) << set;
        host::DxfLoadResult again = host::readDxfText(t);
        ASSERT_TRUE(again.db) << again.error;
        EXPECT_EQ(std::get<std::string>(*again.vars->find("CECOLOR")), back) << set;
    }

    // What older saves here wrote: the colour as text, angles as radians under 40.
    host::DxfLoadResult old = host::readDxfText(
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$CECOLOR\n1\nBYBLOCK\n9\n$ANGBASE\n40\n0.25\n"
        "9\n$VIEWCTR\n10\n1.0\n20\n2.0\n30\n3.0\n0\nENDSEC\n0\nEOF\n");
    ASSERT_TRUE(old.db) << old.error;
    EXPECT_EQ(std::get<std::string>(*old.vars->find("CECOLOR")), "BYBLOCK");
    EXPECT_EQ(std::get<double>(*old.vars->find("ANGBASE")), 0.25);
    EXPECT_EQ(std::get<ZcGePoint3d>(*old.vars->find("VIEWCTR")).y, 2.0);
}
