// The classic entity interface: lists that round-trip through entget,
// entmod and entmake for every entity kind, blocks and complex entities
// made group by group, lists that are refused leaving the drawing as it
// was, the xdata size limit, walking, deleting and tables.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

class AdsEnt : public AdsDrawing {
protected:
    static std::size_t liveEntities() {
        std::size_t n = 0;
        for (ZcDbObjectId id : host::drawingEntities(db()))
            if (!id.isErased()) ++n;
        return n;
    }
};

struct Name {
    ads_name n{0, 0};
    explicit Name(ZcDbObjectId id) { zcdbGetAdsName(n, id); }
    Name() = default;
};

// One line per group; entity names and handles left out when asked.
std::string dump(const resbuf* rb, bool withNames = true) {
    std::string s;
    for (; rb; rb = rb->rbnext) {
        if (!withNames && (rb->restype == -1 || rb->restype == 5 || rb->restype == 330)) continue;
        if (rb->restype == -3) {
            s += "-3\n";
            continue;
        }
        ZcDbDxfItem it;
        zcdbItemFromResbuf(*rb, it);
        s += it.toString() + "\n";
    }
    return s;
}

// The list without -1, 5 and 330, as a maker would give it.
resbuf* withoutNames(resbuf* rb) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    while (rb) {
        resbuf* next = rb->rbnext;
        rb->rbnext = nullptr;
        if (rb->restype == -1 || rb->restype == 5 || rb->restype == 330) {
            zcutRelRb(rb);
        } else {
            *tail = rb;
            tail = &rb->rbnext;
        }
        rb = next;
    }
    return head;
}

std::vector<std::function<ZcDbEntity*()>> simpleKinds() {
    return {
        [] {
            auto* l = new ZcDbLine({1, 2, 3}, {4, 5, 6});
            l->setLayer("Mury");
            l->setColorIndex(3);
            return l;
        },
        [] {
            return new ZcDbCircle({1, 1, 0}, {0, 0, 1}, 2.5);
        },
        [] {
            return new ZcDbArc({1, 1, 0}, 3, 0.25, 2.5);
        },
        [] {
            return new ZcDbPoint({7, 8, 9});
        },
        [] {
            return new ZcDbFace({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, true, false, true, true);
        },
        [] {
            return new ZcDbSolid({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0});
        },
        [] {
            return new ZcDbText({1, 2, 0}, "Ściana łazienki", 2.5, 0.5);
        },
        [] {
            auto* m = new ZcDbMText;
            m->setContents("Pokój\\Pdzienny");
            m->setLocation({3, 4, 0});
            return m;
        },
        [] {
            auto* p = new ZcDbPolyline;
            p->addVertexAt(0, {0, 0}, 0.5);
            p->addVertexAt(1, {10, 0}, 0, 0.2, 0.4);
            p->addVertexAt(2, {10, 5}, -1);
            p->setClosed(true);
            return p;
        },
        [] {
            auto* h = new ZcDbHatch;
            h->setPattern(ZcDbHatch::kPreDefined, "ANSI31");
            h->appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline, {{0, 0}, {4, 0}, {4, 4}}, {0, 0.3, 0});
            return h;
        },
        [] {
            return new ZcDbAlignedDimension({0, 0, 0}, {10, 0, 0}, {5, 3, 0}, "<> cm");
        },
        [] {
            auto* a = new ZcDbAttributeDefinition;
            a->setTag("NUMER");
            a->setPrompt("Numer pokoju");
            a->setTextString("1");
            return a;
        },
    };
}

}  // namespace

TEST_F(AdsEnt, every_kind_survives_entget_entmod_entget_unchanged) {
    db()->setClayer(ZcDbObjectId());
    for (auto& make : simpleKinds()) {
        Name e(add(make()));
        resbuf* first = zcdbEntGetX(e.n, nullptr);
        ASSERT_NE(first, nullptr);
        SCOPED_TRACE(dump(first));
        EXPECT_EQ(zcdbEntMod(first), RTNORM);
        resbuf* second = zcdbEntGet(e.n);
        EXPECT_EQ(dump(first), dump(second));
        zcutRelRb(first);
        zcutRelRb(second);
    }
}

TEST_F(AdsEnt, entmake_rebuilds_every_kind_from_its_own_list) {
    for (auto& make : simpleKinds()) {
        Name e(add(make()));
        resbuf* list = zcdbEntGet(e.n);
        std::string expected = dump(list, false);
        SCOPED_TRACE(expected);
        list = withoutNames(list);
        ads_name made;
        ASSERT_EQ(zcdbEntMakeX(list, made), RTNORM);
        zcutRelRb(list);
        ads_name last;
        ASSERT_EQ(zcdbEntLast(last), RTNORM);
        EXPECT_TRUE(ads_name_equal(made, last));
        EXPECT_FALSE(ads_name_equal(made, e.n));
        resbuf* again = zcdbEntGet(last);
        EXPECT_EQ(expected, dump(again, false));
        zcutRelRb(again);
    }
}

TEST_F(AdsEnt, entmod_changes_the_layer_given_anywhere_in_the_list_and_creates_it) {
    Name e(add(new ZcDbLine({0, 0, 0}, {1, 0, 0})));
    resbuf* list = zcdbEntGet(e.n);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = zcutBuildList(8, "Nowa warstwa", 62, 1, 0);
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);
    ZcDbEntity* ent = nullptr;
    ASSERT_EQ(zcdbOpenObject(ent, idOf(e.n), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ent->layer(), "Nowa warstwa");
    EXPECT_EQ(ent->colorIndex(), 1);
    ent->close();
    EXPECT_FALSE(db()->recordId(db()->layerTableId(), "NOWA WARSTWA").isNull());
}

// Entities are made layer after layer on the one found last: a record
// renamed or erased since, or another drawing's, is not taken for it.
TEST_F(AdsEnt, a_layer_is_made_again_once_its_record_is_renamed_or_erased_or_in_another_drawing) {
    const auto layer = [](ZcDbDatabase* d) { return d->recordId(d->layerTableId(), "Okna"); };
    const auto edit = [](ZcDbObjectId id, const std::function<void(ZcDbLayerTableRecord*)>& change) {
        ZcDbLayerTableRecord* rec = nullptr;
        ASSERT_EQ(zcdbOpenObject(rec, id, ZcDb::kForWrite), Zcad::eOk);
        change(rec);
        rec->close();
    };
    host::ensureLayer(db(), "Okna");
    const ZcDbObjectId first = layer(db());
    ASSERT_FALSE(first.isNull());
    host::ensureLayer(db(), "Okna");
    EXPECT_EQ(layer(db()), first);

    edit(first, [](ZcDbLayerTableRecord* rec) { EXPECT_EQ(rec->setName("Drzwi"), Zcad::eOk); });
    host::ensureLayer(db(), "Okna");
    const ZcDbObjectId second = layer(db());
    ASSERT_FALSE(second.isNull());
    EXPECT_NE(second, first);

    edit(second, [](ZcDbLayerTableRecord* rec) { EXPECT_EQ(rec->erase(), Zcad::eOk); });
    host::ensureLayer(db(), "Okna");
    EXPECT_FALSE(layer(db()).isNull());
    EXPECT_NE(layer(db()), second);

    ZcDbDatabase other;
    host::ensureLayer(&other, "Okna");
    EXPECT_FALSE(layer(&other).isNull());
}

// A text's style is asked for again and again: the record found last is
// taken only while it is still that drawing's record of that very name,
// and never while it is open for write (a read of it would fail).
TEST_F(AdsEnt, the_text_style_found_last_follows_renames_erasures_writers_and_drawings) {
    const auto addStyle = [](ZcDbDatabase* d, const char* name, double width) {
        ZcDbTextStyleTable* t = nullptr;
        EXPECT_EQ(d->getTextStyleTable(t, ZcDb::kForWrite), Zcad::eOk);
        auto* rec = new ZcDbTextStyleTableRecord;
        rec->setName(name);
        rec->setXScale(width);
        ZcDbObjectId id;
        EXPECT_EQ(t->add(id, rec), Zcad::eOk);
        rec->close();
        t->close();
        return id;
    };
    const auto edit = [](ZcDbObjectId id, const std::function<void(ZcDbTextStyleTableRecord*)>& change) {
        ZcDbTextStyleTableRecord* rec = nullptr;
        ASSERT_EQ(zcdbOpenObject(rec, id, ZcDb::kForWrite), Zcad::eOk);
        change(rec);
        rec->close();
    };
    const auto width = [](const char* name) {
        const ZcDbTextStyleTableRecord* rec = host::readableTextStyle(name);
        return rec ? rec->xScale() : -1.0;
    };
    const ZcDbObjectId first = addStyle(db(), "Opis", 0.8);
    EXPECT_EQ(width("Opis"), 0.8);
    EXPECT_EQ(width("OPIS"), 0.8);  // names are found whatever their case
    edit(first, [](ZcDbTextStyleTableRecord* rec) { rec->setXScale(0.7); });
    EXPECT_EQ(width("Opis"), 0.7);

    ZcDbTextStyleTableRecord* writing = nullptr;
    ASSERT_EQ(zcdbOpenObject(writing, first, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(host::readableTextStyle("Opis"), nullptr);
    writing->close();

    edit(first, [](ZcDbTextStyleTableRecord* rec) { EXPECT_EQ(rec->setName("Stary"), Zcad::eOk); });
    EXPECT_EQ(width("Opis"), -1.0);
    const ZcDbObjectId second = addStyle(db(), "Opis", 1.2);
    EXPECT_EQ(width("Opis"), 1.2);
    edit(second, [](ZcDbTextStyleTableRecord* rec) { EXPECT_EQ(rec->erase(), Zcad::eOk); });
    EXPECT_EQ(width("Opis"), -1.0);

    ZcDbDatabase* const mine = db();
    ZcDbDatabase other;
    addStyle(&other, "Opis", 1.5);
    zcdbSetCurDwg(&other);
    EXPECT_EQ(width("Opis"), 1.5);
    zcdbSetCurDwg(mine);
    EXPECT_EQ(width("Opis"), -1.0);
    EXPECT_EQ(width("Stary"), 0.7);
}

TEST_F(AdsEnt, entmod_with_a_bad_value_leaves_the_entity_as_it_was) {
    Name e(add(new ZcDbLine({0, 0, 0}, {1, 0, 0})));
    resbuf* before = zcdbEntGet(e.n);
    resbuf* list =
        zcutBuildList(-1, e.n, RTDXF0, "LINE", 10, std::vector<double>{5, 5, 5}.data(), 62, 999, 0);
    EXPECT_EQ(zcdbEntMod(list), RTERROR);
    resbuf* after = zcdbEntGet(e.n);
    EXPECT_EQ(dump(before), dump(after));
    resbuf* wrongType = zcutBuildList(-1, e.n, RTDXF0, "CIRCLE", 40, 2.0, 0);
    EXPECT_EQ(zcdbEntMod(wrongType), RTERROR);
    for (resbuf* r : {before, list, after, wrongType}) zcutRelRb(r);
}

TEST_F(AdsEnt, xdata_is_written_checked_and_returned_as_written) {
    ASSERT_EQ(zcdbRegApp("VELM5$_$PARAMETRI-"), RTNORM);
    EXPECT_EQ(zcdbRegApp("VELM5$_$PARAMETRI-"), RTERROR);  // once only
    ads_point p{1, 2, 3};
    resbuf* list =
        zcutBuildList(RTDXF0, "LINE", 10, p, 11, p, -3, 1001, "VELM5$_$PARAMETRI-", 1000, "Ściana", 1002, "{",
                      1070, 7, 1071, 70000, 1040, 2.5, 1010, p, 1005, "1F", 1002, "}", 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    ads_name e;
    zcdbEntLast(e);
    resbuf* apps = zcutBuildList(RTSTR, "velm5*", 0);
    resbuf* got = zcdbEntGetX(e, apps);
    std::string text = dump(got);
    EXPECT_NE(
        text.find(
            "-3\n1001 \"VELM5$_$PARAMETRI-\"\n1000 \"Ściana\"\n1002 \"{\"\n1070 7\n1071 70000\n1040 2.5"),
        std::string::npos)
        << text;
    // A plain name asked for is the application's in any case; another
    // plain name is not it.
    for (const char* asked : {"velm5$_$parametri-", "VELM5$_$PARAMETRI-", "VELM5$_$PARAMETRI"}) {
        resbuf* one = zcutBuildList(RTSTR, asked, 0);
        resbuf* with = zcdbEntGetX(e, one);
        EXPECT_EQ(dump(with).find("1001 \"VELM5$_$PARAMETRI-\"") != std::string::npos,
                  std::string(asked).back() == '-')
            << asked;
        zcutRelRb(one);
        zcutRelRb(with);
    }
    // Without applications asked for there is no xdata in the list.
    resbuf* plain = zcdbEntGet(e);
    EXPECT_EQ(dump(plain).find("-3"), std::string::npos);
    for (resbuf* r : {apps, got, plain}) zcutRelRb(r);

    std::size_t before = liveEntities();
    resbuf* unregistered = zcutBuildList(RTDXF0, "LINE", 10, p, 11, p, -3, 1001, "NIEZNANA", 1000, "x", 0);
    EXPECT_EQ(zcdbEntMake(unregistered), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EREGAPP);
    resbuf* unbalanced =
        zcutBuildList(RTDXF0, "LINE", 10, p, 11, p, -3, 1001, "VELM5$_$PARAMETRI-", 1002, "{", 0);
    EXPECT_EQ(zcdbEntMake(unbalanced), RTERROR);
    EXPECT_EQ(liveEntities(), before);
    zcutRelRb(unregistered);
    zcutRelRb(unbalanced);
}

TEST_F(AdsEnt, xdata_over_sixteen_kilobytes_fails_the_call) {
    zcdbRegApp("DUZE");
    ads_point p{0, 0, 0};
    std::string chunk(250, 'x');
    auto listWith = [&](int strings) {
        resbuf* list = zcutBuildList(RTDXF0, "POINT", 10, p, -3, 1001, "DUZE", 0);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        for (int i = 0; i < strings; ++i) {
            tail->rbnext = zcutBuildList(1000, chunk.c_str(), 0);
            tail = tail->rbnext;
        }
        return list;
    };
    // 254 bytes a string: 64 strings fit in 16383 bytes, 65 do not.
    resbuf* fits = listWith(64);
    resbuf* tooBig = listWith(65);
    std::size_t before = liveEntities();
    EXPECT_EQ(zcdbEntMake(tooBig), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EXDATASIZE);
    EXPECT_EQ(liveEntities(), before);
    ASSERT_EQ(zcdbEntMake(fits), RTNORM);
    // Adding to what is there counts the whole.
    ads_name e;
    zcdbEntLast(e);
    resbuf* more = zcutBuildList(-1, e, -3, 1001, "DUZE", 0);
    resbuf* tail = more->rbnext->rbnext;
    for (int i = 0; i < 65; ++i) {
        tail->rbnext = zcutBuildList(1000, chunk.c_str(), 0);
        tail = tail->rbnext;
    }
    EXPECT_EQ(zcdbEntMod(more), RTERROR);
    for (resbuf* r : {fits, tooBig, more}) zcutRelRb(r);
}

TEST_F(AdsEnt, refused_lists_add_nothing_and_set_errno) {
    ads_point p{0, 0, 0};
    std::size_t before = liveEntities();
    resbuf* noEnd = zcutBuildList(RTDXF0, "LINE", 10, p, 0);
    EXPECT_EQ(zcdbEntMake(noEnd), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EMKMANDF);
    resbuf* unknown = zcutBuildList(RTDXF0, "NIEBYT", 10, p, 0);
    EXPECT_EQ(zcdbEntMake(unknown), RTERROR);
    resbuf* noBlock = zcutBuildList(RTDXF0, "INSERT", 2, "BRAK", 10, p, 0);
    EXPECT_EQ(zcdbEntMake(noBlock), RTERROR);
    resbuf* vertexAlone = zcutBuildList(RTDXF0, "VERTEX", 10, p, 0);
    EXPECT_EQ(zcdbEntMake(vertexAlone), RTERROR);
    resbuf* badLayer = zcutBuildList(RTDXF0, "POINT", 8, "zła*warstwa", 10, p, 0);
    EXPECT_EQ(zcdbEntMake(badLayer), RTERROR);
    EXPECT_TRUE(db()->recordId(db()->layerTableId(), "zła*warstwa").isNull());
    EXPECT_EQ(liveEntities(), before);
    for (resbuf* r : {noEnd, unknown, noBlock, vertexAlone, badLayer}) zcutRelRb(r);
}

TEST_F(AdsEnt, blocks_are_made_between_block_and_endblk_and_referenced_with_attributes) {
    ads_point o{0, 0, 0}, a{1, 0, 0}, b{2, 2, 0};
    resbuf* parts[] = {
        zcutBuildList(RTDXF0, "BLOCK", 2, "OKNO", 70, 2, 10, o, 0),
        zcutBuildList(RTDXF0, "LINE", 8, "Okna", 10, o, 11, a, 0),
        zcutBuildList(RTDXF0, "ATTDEF", 10, o, 40, 1.0, 1, "", 2, "TYP", 3, "Typ okna", 0),
        zcutBuildList(RTDXF0, "ENDBLK", 0),
        zcutBuildList(RTDXF0, "INSERT", 2, "OKNO", 10, b, 66, 1, 0),
        zcutBuildList(RTDXF0, "ATTRIB", 10, b, 40, 1.0, 1, "O1", 2, "TYP", 0),
        zcutBuildList(RTDXF0, "SEQEND", 0),
    };
    std::size_t before = liveEntities();
    for (resbuf* rb : parts) {
        EXPECT_EQ(zcdbEntMake(rb), RTNORM) << dump(rb);
        zcutRelRb(rb);
    }
    EXPECT_EQ(liveEntities(), before + 1);  // the block's entities are not in the drawing
    ZcDbObjectId blockId = db()->recordId(db()->blockTableId(), "okno");
    ASSERT_FALSE(blockId.isNull());
    ZcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(zcdbOpenObject(block, blockId, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(block->entityIds().size(), 2u);
    block->close();
    EXPECT_FALSE(db()->recordId(db()->layerTableId(), "Okna").isNull());

    // The last entity is the INSERT; walking goes through its ATTRIB and SEQEND.
    ads_name ins, next, after;
    ASSERT_EQ(zcdbEntLast(ins), RTNORM);
    resbuf* l = zcdbEntGet(ins);
    EXPECT_NE(dump(l).find("0 \"INSERT\""), std::string::npos);
    zcutRelRb(l);
    ASSERT_EQ(zcdbEntNext(ins, next), RTNORM);
    l = zcdbEntGet(next);
    EXPECT_NE(dump(l).find("1 \"O1\""), std::string::npos) << dump(l);
    zcutRelRb(l);
    ASSERT_EQ(zcdbEntNext(next, after), RTNORM);
    l = zcdbEntGet(after);
    EXPECT_NE(dump(l).find("0 \"SEQEND\""), std::string::npos);
    zcutRelRb(l);
    EXPECT_EQ(zcdbEntNext(after, next), RTERROR);
    // One name for both the entity and the answer walks the same way and ends.
    int steps = 0;
    for (ads_name walk{ins[0], ins[1]}; zcdbEntNext(walk, walk) == RTNORM && steps < 10;) ++steps;
    EXPECT_EQ(steps, 2);
}

TEST_F(AdsEnt, anonymous_blocks_take_the_next_u_name_which_getinput_reports) {
    ads_point o{0, 0, 0}, a{1, 0, 0};
    std::string names[2];
    for (std::string& name : names) {
        resbuf* begin = zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 70, 1 | 64, 10, o, 0);
        resbuf* line = zcutBuildList(RTDXF0, "LINE", 10, o, 11, a, 0);
        resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
        EXPECT_EQ(zcdbEntMake(begin), RTNORM);
        EXPECT_EQ(zcdbEntMake(line), RTNORM);
        EXPECT_EQ(zcdbEntMake(end), RTNORM);
        char buf[64];
        ASSERT_EQ(zcedGetInput(buf), RTNORM);
        name = buf;
        for (resbuf* r : {begin, line, end}) zcutRelRb(r);
    }
    EXPECT_EQ(names[0].rfind("*U", 0), 0u);
    EXPECT_NE(names[0], names[1]);
    EXPECT_FALSE(db()->recordId(db()->blockTableId(), names[1]).isNull());
}

TEST_F(AdsEnt, an_abandoned_block_leaves_no_trace) {
    ads_point o{0, 0, 0}, a{1, 0, 0};
    std::size_t blocks = 0;
    {
        ZcDbBlockTable* t = nullptr;
        db()->getBlockTable(t);
        blocks = t->recordIds().size();
        t->close();
    }
    resbuf* begin = zcutBuildList(RTDXF0, "BLOCK", 2, "PORZUCONY", 10, o, 0);
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 10, o, 11, a, 0);
    resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
    EXPECT_EQ(zcdbEntMake(begin), RTNORM);
    EXPECT_EQ(zcdbEntMake(line), RTNORM);
    EXPECT_EQ(zcdbEntMake(nullptr), RTNORM);
    EXPECT_EQ(zcdbEntMake(end), RTERROR);  // nothing is open any more
    EXPECT_TRUE(db()->recordId(db()->blockTableId(), "PORZUCONY").isNull());
    ZcDbBlockTable* t = nullptr;
    db()->getBlockTable(t);
    EXPECT_EQ(t->recordIds().size(), blocks);
    t->close();
    // The line made after is an ordinary drawing entity again.
    std::size_t before = liveEntities();
    EXPECT_EQ(zcdbEntMake(line), RTNORM);
    EXPECT_EQ(liveEntities(), before + 1);
    for (resbuf* r : {begin, line, end}) zcutRelRb(r);
}

TEST_F(AdsEnt, polylines_are_made_from_their_vertices) {
    ads_point o{0, 0, 0}, a{4, 0, 0}, b{4, 3, 0};
    resbuf* parts[] = {
        zcutBuildList(RTDXF0, "POLYLINE", 70, 1, 0), zcutBuildList(RTDXF0, "VERTEX", 10, o, 42, 0.5, 0),
        zcutBuildList(RTDXF0, "VERTEX", 10, a, 0),   zcutBuildList(RTDXF0, "VERTEX", 10, b, 0),
        zcutBuildList(RTDXF0, "SEQEND", 0),
    };
    for (resbuf* rb : parts) {
        EXPECT_EQ(zcdbEntMake(rb), RTNORM);
        zcutRelRb(rb);
    }
    ads_name e;
    ASSERT_EQ(zcdbEntLast(e), RTNORM);
    ZcDb2dPolyline* poly = nullptr;
    ASSERT_EQ(zcdbOpenObject(poly, idOf(e), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(poly->vertexIds().size(), 3u);
    EXPECT_TRUE(poly->isClosed());
    poly->close();
    // A stray entity inside the sequence abandons the polyline.
    resbuf* start = zcutBuildList(RTDXF0, "POLYLINE", 70, 0, 0);
    resbuf* stray = zcutBuildList(RTDXF0, "LINE", 10, o, 11, a, 0);
    std::size_t before = liveEntities();
    EXPECT_EQ(zcdbEntMake(start), RTNORM);
    EXPECT_EQ(zcdbEntMake(stray), RTERROR);
    EXPECT_EQ(liveEntities(), before);
    zcutRelRb(start);
    zcutRelRb(stray);
}

TEST_F(AdsEnt, entities_go_to_paper_space_when_it_is_current) {
    ads_point o{0, 0, 0}, a{1, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 10, o, 11, a, 0);
    host::setSysVar("TILEMODE", short(0));
    host::setSysVar("CVPORT", short(1));
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    ads_name e;
    zcdbEntLast(e);
    ZcDbEntity* ent = nullptr;
    ASSERT_EQ(zcdbOpenObject(ent, idOf(e), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ent->ownerId(), db()->paperSpaceId());
    ent->close();
    host::setSysVar("CVPORT", short(2));
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcdbEntLast(e);
    ASSERT_EQ(zcdbOpenObject(ent, idOf(e), ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(ent->ownerId(), db()->modelSpaceId());
    ent->close();
    zcutRelRb(line);
}

TEST_F(AdsEnt, entdel_erases_and_a_second_call_restores) {
    Name first(add(new ZcDbLine({0, 0, 0}, {1, 0, 0})));
    Name second(add(new ZcDbCircle({0, 0, 0}, {0, 0, 1}, 1)));
    ASSERT_EQ(zcdbEntDel(second.n), RTNORM);
    EXPECT_TRUE(idOf(second.n).isErased());
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    EXPECT_TRUE(ads_name_equal(last, first.n));
    ads_name next;
    EXPECT_EQ(zcdbEntNext(first.n, next), RTERROR);  // the erased circle is skipped
    ASSERT_EQ(zcdbEntDel(second.n), RTNORM);
    EXPECT_FALSE(idOf(second.n).isErased());
    ASSERT_EQ(zcdbEntNext(first.n, next), RTNORM);
    EXPECT_TRUE(ads_name_equal(next, second.n));
    ads_name bad{12345, 678};
    EXPECT_EQ(zcdbEntDel(bad), RTERROR);
    EXPECT_EQ(zcdbEntGet(bad), nullptr);
}

TEST_F(AdsEnt, entlast_is_the_highest_live_handle_of_both_spaces_as_entities_come_and_go) {
    auto last = [] {
        ads_name e{0, 0};
        return zcdbEntLast(e) == RTNORM ? idOf(e) : ZcDbObjectId();
    };
    const ZcDbObjectId a = add(new ZcDbLine({0, 0, 0}, {1, 0, 0}));
    const ZcDbObjectId b = add(new ZcDbCircle({0, 0, 0}, {0, 0, 1}, 1), db()->paperSpaceId());
    EXPECT_EQ(last(), b);
    const ZcDbObjectId c = add(new ZcDbLine({0, 0, 0}, {2, 0, 0}));
    EXPECT_EQ(last(), c);
    // Erased: the other space's last comes first; restored: back again.
    Name cn(c);
    ASSERT_EQ(zcdbEntDel(cn.n), RTNORM);
    EXPECT_EQ(last(), b);
    Name bn(b);
    ASSERT_EQ(zcdbEntDel(bn.n), RTNORM);
    EXPECT_EQ(last(), a);
    ASSERT_EQ(zcdbEntDel(cn.n), RTNORM);
    EXPECT_EQ(last(), c);
    ASSERT_EQ(zcdbEntDel(bn.n), RTNORM);
    const ZcDbObjectId d = add(new ZcDbLine({0, 0, 0}, {3, 0, 0}), db()->paperSpaceId());
    EXPECT_EQ(last(), d);
    // A space whose list is out of handle order (as a file may give it)
    // still answers by handle.
    const ZcDbObjectId older = add(new ZcDbLine({0, 0, 0}, {4, 0, 0}), block("ELSEWHERE"));
    const ZcDbObjectId e = add(new ZcDbLine({0, 0, 0}, {5, 0, 0}));
    ZcDbBlockTableRecord* model = nullptr;
    ASSERT_EQ(zcdbOpenObject(model, db()->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    model->adoptEntityId(older);
    model->close();
    EXPECT_EQ(last(), e);
}

TEST_F(AdsEnt, handles_and_tables_are_looked_up) {
    Name line(add(new ZcDbLine({0, 0, 0}, {1, 0, 0})));
    ads_name byHandle;
    ASSERT_EQ(zcdbHandEnt(idOf(line.n).handle().ascii().c_str(), byHandle), RTNORM);
    EXPECT_TRUE(ads_name_equal(byHandle, line.n));
    EXPECT_EQ(zcdbHandEnt("FFFFFF", byHandle), RTERROR);

    host::ensureLayer(db(), "Ściany$0");
    resbuf* found = zcdbTblSearch("layer", "ŚCIANY$0", 0);
    ASSERT_NE(found, nullptr);
    EXPECT_NE(dump(found).find("0 \"LAYER\"\n2 \"Ściany$0\"\n70 0"), std::string::npos) << dump(found);
    zcutRelRb(found);
    EXPECT_EQ(zcdbTblSearch("LAYER", "brak", 0), nullptr);

    // tblnext walks every record once, then gives null; rewind starts over.
    std::vector<std::string> names;
    for (resbuf* r = zcdbTblNext("LAYER", 1); r; r = zcdbTblNext("LAYER", 0)) {
        for (resbuf* g = r; g; g = g->rbnext)
            if (g->restype == 2) names.push_back(g->resval.rstring);
        zcutRelRb(r);
    }
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(names.back(), "Ściany$0");
    // setnext: the walk goes on after the record found.
    zcutRelRb(zcdbTblSearch("LAYER", "0", 1));
    resbuf* after = zcdbTblNext("LAYER", 0);
    ASSERT_NE(after, nullptr);
    EXPECT_NE(dump(after).find("2 \"Ściany$0\""), std::string::npos);
    zcutRelRb(after);

    ads_name rec;
    ASSERT_EQ(zcdbTblObjName("LAYER", "ściany$0", rec), RTNORM);
    EXPECT_EQ(idOf(rec), db()->recordId(db()->layerTableId(), "Ściany$0"));
    zcdbRegApp("MOJA");
    resbuf* app = zcdbTblSearch("APPID", "moja", 0);
    EXPECT_NE(app, nullptr);
    zcutRelRb(app);
}

// The object runs ask whether a layer or style is there without the record's
// list: the answer is the one zcdbTblSearch gives, erased records, records
// open for write and unknown tables included.
TEST_F(AdsEnt, a_record_is_there_exactly_when_tblsearch_gives_its_list) {
    host::ensureLayer(db(), "Ściany$0");
    host::ensureLayer(db(), "Stare");
    auto agree = [](const char* table, const char* name) {
        resbuf* list = zcdbTblSearch(table, name, 0);
        const bool listed = list != nullptr;
        zcutRelRb(list);
        EXPECT_EQ(host::tableHasRecord(table, name), listed) << table << " " << name;
        return listed;
    };
    EXPECT_TRUE(agree("layer", "ŚCIANY$0"));
    EXPECT_TRUE(agree("STYLE", "Standard"));
    EXPECT_FALSE(agree("LAYER", "brak"));
    EXPECT_FALSE(agree("TABELA", "0"));
    EXPECT_FALSE(host::tableHasRecord(nullptr, "0"));
    EXPECT_FALSE(host::tableHasRecord("LAYER", nullptr));
    const ZcDbObjectId old = db()->recordId(db()->layerTableId(), "Stare");
    {
        ZcDbObjectPointer<ZcDbLayerTableRecord> open(old, ZcDb::kForWrite);
        ASSERT_EQ(open.openStatus(), Zcad::eOk);
        EXPECT_FALSE(agree("LAYER", "Stare"));
        open->erase();
    }
    EXPECT_FALSE(agree("LAYER", "Stare"));
}

TEST(AdsNames, symbol_names_refuse_the_reserved_characters) {
    EXPECT_EQ(zcdbSNValid("Ściany$0-parter", 0), RTNORM);
    EXPECT_EQ(zcdbSNValid("a|b", 0), RTNORM);
    EXPECT_EQ(zcdbSNValid("a|b", 1), RTERROR);
    for (const char* bad :
         {"", "a<b", "a>b", "a/b", "a\\b", "a\"b", "a:b", "a;b", "a?b", "a*b", "a,b", "a=b", "a`b"})
        EXPECT_EQ(zcdbSNValid(bad, 0), RTERROR) << bad;
    EXPECT_EQ(zcdbSNValid(std::string(256, 'a').c_str(), 0), RTERROR);
}

TEST(AdsInters, lines_and_segments_meet_where_both_run) {
    ads_point a{0, 0, 0}, b{10, 10, 0}, c{0, 10, 0}, d{10, 0, 0}, r;
    ASSERT_EQ(zcdbInters(a, b, c, d, 1, r), RTNORM);
    EXPECT_NEAR(r[0], 5, 1e-12);
    EXPECT_NEAR(r[1], 5, 1e-12);
    // Segments that stop short meet only as lines.
    ads_point e{0, 0, 0}, f{1, 1, 0};
    EXPECT_EQ(zcdbInters(e, f, c, d, 1, r), RTNONE);
    ASSERT_EQ(zcdbInters(e, f, c, d, 0, r), RTNORM);
    EXPECT_NEAR(r[0], 5, 1e-12);
    // Parallel lines and skew lines in 3D do not meet.
    ads_point g{0, 1, 0}, h{10, 11, 0};
    EXPECT_EQ(zcdbInters(a, b, g, h, 0, r), RTNONE);
    ads_point i{0, 10, 5}, j{10, 0, 5};
    EXPECT_EQ(zcdbInters(a, b, i, j, 0, r), RTNONE);
}

TEST_F(AdsEnt, extents_follow_the_drawing_when_read) {
    add(new ZcDbCircle({10, 10, 0}, {0, 0, 1}, 5));
    Name line(add(new ZcDbLine({-3, 0, 1}, {0, 2, 4})));
    resbuf rb;
    ASSERT_EQ(zcedGetVar("EXTMIN", &rb), RTNORM);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[0], -3);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[1], 0);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[2], 0);
    ASSERT_EQ(zcedGetVar("EXTMAX", &rb), RTNORM);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[0], 15);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[1], 15);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[2], 4);
    zcdbEntDel(line.n);
    EXPECT_DOUBLE_EQ(host::sysVarPoint("EXTMIN").x, 5);
}

TEST_F(AdsEnt, complex_entities_and_their_parts_survive_entmod) {
    ads_point o{0, 0, 0}, a{4, 0, 0};
    resbuf* parts[] = {
        zcutBuildList(RTDXF0, "BLOCK", 2, "DRZWI", 10, o, 0),
        zcutBuildList(RTDXF0, "LINE", 10, o, 11, a, 0),
        zcutBuildList(RTDXF0, "ENDBLK", 0),
        zcutBuildList(RTDXF0, "INSERT", 2, "DRZWI", 10, a, 66, 1, 50, 0.5, 0),
        zcutBuildList(RTDXF0, "ATTRIB", 10, a, 40, 1.0, 1, "D1", 2, "NR", 0),
        zcutBuildList(RTDXF0, "SEQEND", 0),
        zcutBuildList(RTDXF0, "POLYLINE", 70, 8, 0),
        zcutBuildList(RTDXF0, "VERTEX", 10, o, 70, 32, 0),
        zcutBuildList(RTDXF0, "VERTEX", 10, a, 70, 32, 0),
        zcutBuildList(RTDXF0, "SEQEND", 0),
    };
    for (resbuf* rb : parts) {
        ASSERT_EQ(zcdbEntMake(rb), RTNORM) << dump(rb);
        zcutRelRb(rb);
    }
    // Walk everything: INSERT, ATTRIB, SEQEND, POLYLINE, VERTEX, VERTEX, SEQEND.
    int seen = 0;
    ads_name e, next;
    for (int rc = zcdbEntNext(nullptr, e); rc == RTNORM; rc = zcdbEntNext(e, next), ads_name_set(next, e)) {
        resbuf* first = zcdbEntGet(e);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(zcdbEntMod(first), RTNORM) << dump(first);
        resbuf* second = zcdbEntGet(e);
        EXPECT_EQ(dump(first), dump(second));
        zcutRelRb(first);
        zcutRelRb(second);
        ++seen;
    }
    EXPECT_EQ(seen, 7);
}

// An application's groups edited in place come out as the same edit made
// through entget and entmod would leave them, with the other applications
// and the entity's own groups untouched, undone whole by the group, within
// the same size limit; an entity without the application keeps its data.
TEST_F(AdsEnt, xdata_edited_in_place_is_what_entmod_of_the_edited_list_makes) {
    zcdbRegApp("PIERWSZA");
    zcdbRegApp("DRUGA");
    ads_point p{1, 2, 0}, q{4, 6, 0};
    auto make = [&] {
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, p, 11, q, -3, 1001, "PIERWSZA", 1000, "a",
                                     1001, "DRUGA", 1000, "Łódź", 1070, 3, 1040, 1.5, 1000, "b", 0);
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
        Name n;
        zcdbEntLast(n.n);
        return n;
    };
    const Name viaList = make(), inPlace = make();
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    // The same edit both ways: a text longer than it was, a short, a real.
    {
        host::ResbufList list(zcdbEntGetX(viaList.n, apps.get()));
        resbuf* rb = list.get();
        while (rb && !(rb->restype == 1001 && std::strcmp(rb->resval.rstring, "DRUGA") == 0)) rb = rb->rbnext;
        ASSERT_NE(rb, nullptr);
        resbuf* app = rb;
        host::rbSetString(app->rbnext, "Kraków i okolice");
        app->rbnext->rbnext->resval.rint = 12;
        app->rbnext->rbnext->rbnext->resval.rreal = -2.25;
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
    }
    db()->beginUndoGroup();
    ASSERT_EQ(host::modifyXDataApp(inPlace.n, "druga",
                                   [](std::vector<ZcDbDxfItem>& items) {
                                       ASSERT_EQ(items.size(), 4u);
                                       items[0].text = "Kraków i okolice";
                                       items[1].integer = 12;
                                       items[2].real[0] = -2.25;
                                   }),
              RTNORM);
    db()->endUndoGroup();
    auto data = [&](const Name& n) {
        const host::ResbufList list(zcdbEntGetX(n.n, apps.get()));
        return dump(list.get(), false);
    };
    EXPECT_EQ(data(inPlace), data(viaList));
    EXPECT_NE(data(inPlace).find("1000 \"Kraków i okolice\""), std::string::npos) << data(inPlace);
    EXPECT_NE(data(inPlace).find("1001 \"PIERWSZA\"\n1000 \"a\""), std::string::npos) << data(inPlace);

    ASSERT_TRUE(db()->undoGroup());
    EXPECT_NE(data(inPlace).find("1000 \"Łódź\"\n1070 3\n1040 1.5"), std::string::npos) << data(inPlace);

    // Over the limit: refused, nothing changed.
    const std::string kept = data(inPlace);
    EXPECT_EQ(host::modifyXDataApp(inPlace.n, "DRUGA",
                                   [](std::vector<ZcDbDxfItem>& items) { items[0].text.assign(16400, 'x'); }),
              RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EXDATASIZE);
    EXPECT_EQ(data(inPlace), kept);
    // No such application: nothing asked of the edit, nothing changed.
    bool asked = false;
    EXPECT_EQ(host::modifyXDataApp(inPlace.n, "TRZECIA", [&](std::vector<ZcDbDxfItem>&) { asked = true; }),
              RTNONE);
    EXPECT_FALSE(asked);
    EXPECT_EQ(data(inPlace), kept);
}

// An entity made from its type and groups as items is the one entmake
// makes from the list of them: every kind, a block, and an INSERT with
// attributes gathered until its SEQEND. Items a list could not hold, or
// with a kind their code does not have, are refused and add nothing.
TEST_F(AdsEnt, entities_made_from_items_are_those_made_from_their_lists) {
    auto itemsOf = [](const resbuf* list) {
        std::vector<ZcDbDxfItem> items;
        for (const resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == 0) continue;
            ZcDbDxfItem it;
            EXPECT_TRUE(zcdbItemFromResbuf(*rb, it));
            items.push_back(it);
        }
        return items;
    };
    auto lastData = [] {
        ads_name last;
        EXPECT_EQ(zcdbEntLast(last), RTNORM);
        const host::ResbufList list(zcdbEntGet(last));
        return dump(list.get(), false);
    };
    for (auto& make : simpleKinds()) {
        const Name e(add(make()));
        const host::ResbufList list(withoutNames(zcdbEntGet(e.n)));
        ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
        const std::string fromList = lastData();
        ads_name made;
        ASSERT_EQ(host::makeEntity(list->resval.rstring, itemsOf(list.get()), made), RTNORM) << fromList;
        ads_name last;
        zcdbEntLast(last);
        EXPECT_TRUE(ads_name_equal(made, last));
        EXPECT_EQ(lastData(), fromList);
    }

    using Item = ZcDbDxfItem;
    ASSERT_EQ(
        host::makeEntity("block", {Item::ofText(2, "*U"), Item::ofInt(70, 1), Item::ofPoint(10, 0, 0, 0)}),
        RTNORM);
    ASSERT_EQ(
        host::makeEntity("ATTDEF", {Item::ofText(8, "0"), Item::ofPoint(10, 1, 2, 0), Item::ofReal(40, 2.5),
                                    Item::ofText(1, "1"), Item::ofText(3, "Numer"), Item::ofText(2, "NR"),
                                    Item::ofInt(70, 0)}),
        RTNORM);
    ASSERT_EQ(host::makeEntity("ENDBLK", {}), RTNORM);
    char name[64] = "";
    zcedGetInput(name);
    EXPECT_EQ(std::string(name).substr(0, 2), "*U");
    const std::vector<Item> insert = {Item::ofText(2, name), Item::ofPoint(10, 5, 5, 0), Item::ofInt(66, 1)};
    const std::vector<Item> attrib = {Item::ofText(8, "0"),  Item::ofPoint(10, 6, 7, 0),
                                      Item::ofReal(40, 2.5), Item::ofText(1, "Łazienka"),
                                      Item::ofText(2, "NR"), Item::ofInt(70, 70000)};
    ASSERT_EQ(host::makeEntity("INSERT", insert), RTNORM);
    ASSERT_EQ(host::makeEntity("ATTRIB", attrib), RTNORM);
    ASSERT_EQ(host::makeEntity("SEQEND", {}), RTNORM);
    const std::string fromItems = lastData();
    ads_point p{5, 5, 0}, q{6, 7, 0};
    for (const host::ResbufList& list :
         {host::ResbufList(zcutBuildList(RTDXF0, "INSERT", 2, name, 10, p, 66, 1, 0)),
          host::ResbufList(
              zcutBuildList(RTDXF0, "ATTRIB", 8, "0", 10, q, 40, 2.5, 1, "Łazienka", 2, "NR", 70, 70000, 0)),
          host::ResbufList(zcutBuildList(RTDXF0, "SEQEND", 0))})
        ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
    EXPECT_EQ(lastData(), fromItems);

    const std::size_t before = liveEntities();
    Item wrongKind = Item::ofReal(40, 1.0);
    wrongKind.code = 8;
    for (const std::vector<Item>& bad :
         {std::vector<Item>{Item::ofText(0, "LINE"), Item::ofPoint(10, 0, 0, 0), Item::ofPoint(11, 1, 0, 0)},
          std::vector<Item>{Item::ofPoint(10, 0, 0, 0), Item::ofPoint(11, 1, 0, 0), Item::ofText(1000, "x")},
          std::vector<Item>{wrongKind, Item::ofPoint(10, 0, 0, 0), Item::ofPoint(11, 1, 0, 0)}}) {
        EXPECT_EQ(host::makeEntity("LINE", bad), RTERROR);
        EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EMKINVVALUE);
    }
    EXPECT_EQ(host::makeEntity("LINE", {Item::ofPoint(10, 0, 0, 0)}), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_EMKMANDF);
    EXPECT_EQ(liveEntities(), before);
}

// The common groups (layer, colour, ...) are read wherever a list gives
// them: first, after the entity's marker, before it, or among the others;
// made from items or from the list of them, the entity is the same.
TEST_F(AdsEnt, common_groups_anywhere_in_a_list_make_the_same_entity) {
    using Item = ZcDbDxfItem;
    const Item layer = Item::ofText(8, "Ściany"), colour = Item::ofInt(62, 3), weight = Item::ofInt(370, 35);
    const Item from = Item::ofPoint(10, 1, 2, 0), to = Item::ofPoint(11, 4, 6, 0);
    const Item entity = Item::ofText(100, "AcDbEntity"), line = Item::ofText(100, "AcDbLine");
    const std::vector<std::vector<Item>> orders = {
        {layer, colour, weight, from, to},
        {from, layer, to, colour, weight},
        {entity, layer, colour, weight, line, from, to},
        {layer, entity, colour, line, from, weight, to},
        {entity, line, from, to, layer, colour, weight},
        {from, to, layer, colour, weight},
    };
    auto lastData = [] {
        ads_name last;
        EXPECT_EQ(zcdbEntLast(last), RTNORM);
        const host::ResbufList list(zcdbEntGet(last));
        return dump(list.get(), false);
    };
    std::string first;
    for (const std::vector<Item>& items : orders) {
        ASSERT_EQ(host::makeEntity("LINE", items), RTNORM);
        const std::string fromItems = lastData();
        if (first.empty()) first = fromItems;
        EXPECT_EQ(fromItems, first);
        resbuf* list = zcutNewRb(0);
        list->resval.rstring = new char[5];
        std::memcpy(list->resval.rstring, "LINE", 5);
        resbuf* tail = list;
        for (const Item& it : items) tail = tail->rbnext = zcdbNewResbufFromItem(it);
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
        EXPECT_EQ(lastData(), first);
    }
    EXPECT_NE(first.find("8 \"Ściany\""), std::string::npos) << first;
    EXPECT_NE(first.find("62 3"), std::string::npos) << first;
}

// Wildcards asked for in turn, each read against several applications:
// the one kept from the read before must not answer for the next.
TEST_F(AdsEnt, wildcard_applications_asked_in_turn_each_match_their_own) {
    for (const char* app : {"VELM_A", "VELM_B", "Ściana"}) ASSERT_EQ(zcdbRegApp(app), RTNORM);
    ads_point p{1, 2, 3};
    host::ResbufList made(zcutBuildList(RTDXF0, "LINE", 10, p, 11, p, -3, 1001, "VELM_A", 1000, "a", 1001,
                                        "VELM_B", 1000, "b", 1001, "Ściana", 1000, "ś", 0));
    ASSERT_EQ(zcdbEntMake(made.get()), RTNORM);
    ads_name e;
    zcdbEntLast(e);
    auto appsFor = [&](const char* pattern) {
        const host::ResbufList asked(zcutBuildList(RTSTR, pattern, 0));
        const host::ResbufList got(zcdbEntGetX(e, asked.get()));
        std::string apps;
        for (const resbuf* rb = got.get(); rb; rb = rb->rbnext)
            if (rb->restype == 1001) apps += std::string(rb->resval.rstring) + ";";
        return apps;
    };
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(appsFor("velm_*"), "VELM_A;VELM_B;");
        EXPECT_EQ(appsFor("*_B"), "VELM_B;");
        EXPECT_EQ(appsFor("ś*"), "Ściana;");
        EXPECT_EQ(appsFor("*"), "VELM_A;VELM_B;Ściana;");
        EXPECT_EQ(appsFor("ŚCIANA"), "Ściana;");
        EXPECT_EQ(appsFor("velm_b"), "VELM_B;");
        EXPECT_EQ(appsFor("~VELM_A"), "VELM_B;Ściana;");
    }
}
