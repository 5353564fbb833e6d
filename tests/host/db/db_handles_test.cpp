// Handles and ids of a database as large as a floor plan: every handle,
// compact or scattered, finds its object; ids never move; a file's repeated
// or bad handles are refused on their own line, whatever the line ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"

namespace {

std::string pairs(std::initializer_list<std::pair<int, std::string>> items) {
    std::string out;
    for (const auto& [code, value] : items) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

std::string lineWithHandle(const std::string& handle) {
    return pairs({{0, "LINE"},
                  {5, handle},
                  {8, "0"},
                  {10, "0"},
                  {20, "0"},
                  {30, "0"},
                  {11, "1"},
                  {21, "1"},
                  {31, "0"}});
}

std::string entitiesFile(const std::vector<std::string>& handles) {
    std::string body;
    for (const std::string& h : handles) body += lineWithHandle(h);
    return pairs({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1027"}, {0, "ENDSEC"}}) +
           pairs({{0, "SECTION"}, {2, "ENTITIES"}}) + body + pairs({{0, "ENDSEC"}, {0, "EOF"}});
}

// The 1-based line at which `what` begins, its last occurrence.
int lineAt(const std::string& text, const std::string& what) {
    std::size_t at = text.rfind(what);
    return at == std::string::npos ? 0
                                   : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

}  // namespace

TEST(DbHandleMap, compact_and_scattered_handles_find_their_objects_and_ids_never_move) {
    ZcDbDatabase db(false);
    // Far handles while the database is small, then enough objects that the
    // compact run grows past the first of them.
    const std::vector<std::uint64_t> far = {0x1800, 0x9000, 0xFFFFFFFFull, 0x7FFFFFFFFFFFFFFFull};
    std::vector<std::pair<std::uint64_t, ZcDbObjectId>> made;
    for (std::uint64_t h : far) {
        auto* line = new ZcDbLine;
        ZcDbObjectId id;
        ASSERT_EQ(db.addZcDbObjectWithHandle(id, line, ZcDbHandle(h)), Zcad::eOk);
        line->close();
        made.push_back({h, id});
    }
    // A handle met before its object: reserved, then filled in place.
    ZcDbObjectId reserved;
    ASSERT_EQ(db.getZcDbObjectId(reserved, true, ZcDbHandle(0x2000)), Zcad::eOk);
    EXPECT_FALSE(reserved.isValid());
    for (std::uint64_t h = 0x100; h < 0x100 + 12000; ++h) {
        if (h == 0x1800 || h == 0x2000) continue;
        auto* line = new ZcDbLine;
        ZcDbObjectId id;
        ASSERT_EQ(db.addZcDbObjectWithHandle(id, line, ZcDbHandle(h)), Zcad::eOk);
        line->close();
        if (h % 97 == 0) made.push_back({h, id});
    }
    auto* filler = new ZcDbLine;
    ZcDbObjectId filled;
    ASSERT_EQ(db.addZcDbObjectWithHandle(filled, filler, ZcDbHandle(0x2000)), Zcad::eOk);
    filler->close();
    EXPECT_EQ(filled, reserved);
    EXPECT_TRUE(reserved.isValid());

    for (const auto& [h, id] : made) {
        EXPECT_EQ(db.objectIdOf(ZcDbHandle(h)), id) << std::hex << h;
        EXPECT_EQ(id.handle().value(), h);
        auto* again = new ZcDbLine;
        ZcDbObjectId none;
        EXPECT_EQ(db.addZcDbObjectWithHandle(none, again, ZcDbHandle(h)), Zcad::eDuplicateKey)
            << std::hex << h;
        delete again;
    }
    // New objects number past the highest handle; unknown handles find nothing.
    EXPECT_EQ(db.handseed().value(), 0x8000000000000000ull);
    auto* next = new ZcDbLine;
    ZcDbObjectId nextId;
    ASSERT_EQ(db.addZcDbObject(nextId, next), Zcad::eOk);
    next->close();
    EXPECT_EQ(nextId.handle().value(), 0x8000000000000000ull);
    EXPECT_EQ(db.objectIdOf(ZcDbHandle(0x8000000000000000ull)), nextId);
    EXPECT_TRUE(db.objectIdOf(ZcDbHandle(0x4000)).isNull());
    EXPECT_TRUE(db.objectIdOf(ZcDbHandle(0x100000000ull)).isNull());
    ZcDbObjectId missing;
    EXPECT_EQ(db.getZcDbObjectId(missing, false, ZcDbHandle(0x100000000ull)), Zcad::eKeyNotFound);
    // Every stub once, in creation order.
    std::vector<ZcDbObjectId> all = db.allObjectIds();
    EXPECT_EQ(all.size(), db.numObjects());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    EXPECT_EQ(std::find(all.begin(), all.end(), made[0].second) - all.begin(),
              std::find(all.begin(), all.end(), made[1].second) - all.begin() - 1);
}

TEST(DbHandleMap, files_with_scattered_or_repeated_handles) {
    // Handles far apart load and keep their numbers.
    {
        host::DxfLoadResult r = host::readDxfText(entitiesFile({"2F", "FFFFFF00", "7000000000000000", "30"}));
        ASSERT_TRUE(r.db) << r.error;
        for (std::uint64_t h : {0x2Full, 0xFFFFFF00ull, 0x7000000000000000ull, 0x30ull})
            EXPECT_TRUE(ZcDbLine::cast(r.db->objectIdOf(ZcDbHandle(h)).stub()->object.get()))
                << std::hex << h;
    }
    // A repeat, compact or scattered, keeps every line: the first of a
    // handle keeps it, each later one gets a fresh handle past all of the
    // file's, named in file order at the line of its handle.
    for (const std::vector<std::string>& handles :
         {std::vector<std::string>{"30", "31", "32", "31", "30"},
          std::vector<std::string>{"FFFFFFFFFFFF", "10", "7000000000000000", "10", "FFFFFFFFFFFF"}}) {
        std::string text = entitiesFile(handles);
        host::DxfLoadResult r = host::readDxfText(text);
        ASSERT_TRUE(r.db) << r.error;
        ZcDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
        std::vector<ZcDbObjectId> ids = ms->entityIds();
        ms->close();
        ASSERT_EQ(ids.size(), 5u);
        std::vector<std::uint64_t> given;
        for (ZcDbObjectId id : ids) given.push_back(id.handle().value());
        EXPECT_EQ(given[0], ZcDbHandle(handles[0]).value());
        EXPECT_EQ(given[1], ZcDbHandle(handles[1]).value());
        EXPECT_EQ(given[2], ZcDbHandle(handles[2]).value());
        std::uint64_t highest = 0;
        for (const std::string& h : handles) highest = std::max(highest, ZcDbHandle(h).value());
        EXPECT_GT(given[3], highest);
        EXPECT_GT(given[4], highest);
        EXPECT_NE(given[3], given[4]);
        ASSERT_EQ(r.repairs.size(), 2u);
        std::size_t second = text.find("5\n" + handles[3] + "\n", text.find("5\n" + handles[1] + "\n") + 1);
        int line = 2 + static_cast<int>(std::count(text.begin(), text.begin() + second, '\n'));
        EXPECT_EQ(r.repairs[0], "DXF: wiersz " + std::to_string(line) + ": powtórzony uchwyt " + handles[3] +
                                    " obiektu LINE: nadano nowy uchwyt " + ZcDbHandle(given[3]).ascii());
    }
}

TEST(DbHandleMap, refusals_name_the_line_with_crlf_ends_and_a_byte_order_mark) {
    std::string text = entitiesFile({"30", "31", "32"});
    text.replace(text.rfind("11\n1\n"), 5, "11\njeden\n");
    const int line = lineAt(text, "jeden\n");
    std::string crlf = "\xEF\xBB\xBF";
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& t : {text, crlf}) {
        host::DxfLoadResult r = host::readDxfText(t);
        EXPECT_FALSE(r.db);
        EXPECT_EQ(r.error.rfind("DXF: wiersz " + std::to_string(line) + ": wartość \"jeden\"", 0), 0u)
            << r.error;
    }
    // Cut after the last entity: the end is missing, named past the last line.
    const std::string whole = entitiesFile({"30", "31", "32"});
    std::string cut = whole.substr(0, whole.rfind("0\nENDSEC\n"));
    host::DxfLoadResult r = host::readDxfText(cut);
    EXPECT_FALSE(r.db);
    EXPECT_EQ(r.error,
              "DXF: wiersz " + std::to_string(lineAt(cut, "31\n0\n") + 1) + ": plik urwany: brak EOF");
}
