// The face graph kept from one room command to the next, against a graph
// built afresh from the drawing, after each kind of change a floor goes
// through between two commands: walls drawn, moved, erased, unerased and
// taken back, openings set in and changed, function lines and curved walls
// added, and the changes that must leave the kept graph as it is.
#include "rooms/room_graph.h"

#include <array>
#include <sstream>
#include <string>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "rooms/room_calc.h"
#include "rooms/room_records.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/rooms_fixture.h"
#include "walls/graph/outline_record.h"

namespace {

// What the room walk reads of a graph: every face in list order with its
// ends, direction, edges (by entity) and the openings linked to it.
std::string Signature(const CFACCIATE& g) {
    std::ostringstream out;
    out.precision(17);
    for (const WallFace* f = g.faces; f; f = f->next) {
        out << f->isArc() << ' ' << f->start.x << ',' << f->start.y << ' ' << f->end.x << ',' << f->end.y
            << " r" << f->reversed << " fl" << f->isFunctionLine << " e";
        for (const FaceEdge* e = f->isArc() ? f->arcEdges : f->edges; e; e = e->next)
            out << ' ' << e->entity[1] << '/' << e->topZ;
        out << " o";
        for (const OutlineLink* l = f->outlineLinks; l; l = l->next)
            if (l->outline) out << ' ' << l->outline->openingArea;
        out << '\n';
    }
    return out.str();
}

class RoomGraphTest : public RoomsTest {
protected:
    static CFACCIATE& Kept() { return KeptRoomGraph(0.0, GetFloorHeightAt(0.0)); }
    static std::string Fresh() {
        CFACCIATE g;
        PrepareRoomGraph(g, 0.0);
        return Signature(g);
    }
    // The wall LINEs of the floor, in drawing order.
    static std::vector<host::ResbufList> WallLines() {
        std::vector<host::ResbufList> lines;
        host::ResbufList filter(zcutBuildList(RTDXF0, "LINE", 8, "*WALL*", 0));
        host::SelectionSet set;
        if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return lines;
        for (std::int32_t i = 0; i < set.size(); ++i) {
            ads_name e;
            if (set.name(i, e)) lines.emplace_back(zcdbEntGet(e));
        }
        return lines;
    }
    static void Name(const host::ResbufList& list, ads_name out) {
        const resbuf* rb = list.get();
        out[0] = rb->resval.rlname[0];
        out[1] = rb->resval.rlname[1];
    }
    // An opening through the bottom wall from x1 to x2, its jambs from the
    // inner face (y 15) to the outer (y -15); the record of the room marks
    // written beside it when `mark` is given.
    static void Opening(double x1, double x2, double area, const char* mark, ads_name made) {
        zcdbRegApp(kTag3DiStrApp);
        zcdbRegApp("VELM6$_$ABINFISSI_OBJ-");
        resbuf* xdata = zcutBuildList(1001, kTag3DiStrApp, 1070, 11, 1070, 1, 1040, area, 1040, 0.0, 1040,
                                      0.0, 1070, 0, 1040, 30.0, 1040, 0.0, 0);
        auto add = [&xdata](resbuf* rb) {
            resbuf* tail = xdata;
            while (tail->rbnext) tail = tail->rbnext;
            tail->rbnext = rb;
        };
        auto pt = [&add](double x, double y) {
            ads_point q{x, y, 0};
            add(zcutBuildList(1011, q, 0));
        };
        pt(x1, 15);
        pt(x1, 15);
        for (double x : {x1, x2}) {
            add(zcutBuildList(1002, "{", 0));
            pt(x, 15);
            pt(x, -15);
            add(zcutBuildList(1002, "}", 0));
        }
        for (int i = 0; i < 4; ++i) add(zcutBuildList(1002, "{", 1002, "}", 0));
        if (mark) add(zcutBuildList(1001, "VELM6$_$ABINFISSI_OBJ-", 1000, mark, 0));
        ads_point mid{(x1 + x2) / 2, 0, 0};
        MakeEntity(zcutBuildList(RTDXF0, "POINT", 8, "VELM2DOBJ$0", 10, mid, 0), xdata, made);
    }
    void ExpectKeptIsFresh(const char* step) { EXPECT_EQ(Signature(Kept()), Fresh()) << step; }
};

TEST_F(RoomGraphTest, kept_graph_reads_as_a_fresh_build_after_every_change_between_commands) {
    run({"VELMWALLD", "0,0", "800,0", "800,300", "0,300", "Zamknij"});
    run({"VELMWALLD", "400,15", "400,285", ""});
    ExpectKeptIsFresh("first build");

    run({"VELMWALLD", "15,150", "385,150", ""});
    ExpectKeptIsFresh("a wall drawn");

    std::vector<host::ResbufList> lines = WallLines();
    ASSERT_GE(lines.size(), 10u);
    ads_name moved;
    Name(lines[5], moved);
    for (resbuf* rb = lines[5].get(); rb; rb = rb->rbnext)
        if (rb->restype == 10) rb->resval.rpoint[0] += 5.0;
    ASSERT_EQ(zcdbEntMod(lines[5].get()), RTNORM);
    ExpectKeptIsFresh("a wall line moved");

    ads_name erased;
    Name(lines[2], erased);
    ASSERT_EQ(zcdbEntDel(erased), RTNORM);
    ExpectKeptIsFresh("a wall line erased");
    ASSERT_EQ(zcdbEntDel(erased), RTNORM);
    ExpectKeptIsFresh("the wall line unerased");

    run({"U"});
    ExpectKeptIsFresh("the last wall taken back");

    ads_name door;
    Opening(150, 240, 1.89, nullptr, door);
    ExpectKeptIsFresh("an opening set in");
    host::ResbufList apps(zcutBuildList(RTSTR, kTag3DiStrApp, 0));
    host::ResbufList record(zcdbEntGetX(door, apps.get()));
    for (resbuf* rb = record.get(); rb; rb = rb->rbnext)
        if (rb->restype == 1040 && rb->resval.rreal == 1.89) rb->resval.rreal = 2.5;
    ASSERT_EQ(zcdbEntMod(record.get()), RTNORM);
    ExpectKeptIsFresh("the opening's record changed");

    ads_name window;
    Opening(500, 600, 1.2, "P1", window);
    ExpectKeptIsFresh("an opening with room marks");
    // The room marks of an opening are rewritten by every room measured:
    // that alone keeps the graph.
    const CFACCIATE* before = &Kept();
    zcdbRegApp("VELM6$_$ABINFISSI_OBJ-");
    host::ResbufList marks(zcutBuildList(RTSTR, "VELM6$_$ABINFISSI_OBJ-", 0));
    host::ResbufList marked(zcdbEntGetX(window, marks.get()));
    for (resbuf* rb = marked.get(); rb; rb = rb->rbnext)
        if (rb->restype == 1000) host::rbSetString(rb, "P2");
    ASSERT_EQ(zcdbEntMod(marked.get()), RTNORM);
    SetSettingInt(SetupVar::ULTIMORIFRIGA, 7);
    ads_point at{200, 100, 0};
    ads_name label;
    MakeEntity(zcutBuildList(RTDXF0, "POINT", 8, "0", 10, at, 0), nullptr, label);
    EXPECT_EQ(&Kept(), before);
    ExpectKeptIsFresh("room marks rewritten");
    // Written as a room's measuring writes them, the marks are not read
    // again; a change the opening had before them still is.
    const auto rewriteMarks = [&](const char* text) {
        ChangeUnreadByRoomGraph(window, [&] {
            for (resbuf* rb = marked.get(); rb; rb = rb->rbnext)
                if (rb->restype == 1000) host::rbSetString(rb, text);
            ASSERT_EQ(zcdbEntMod(marked.get()), RTNORM);
        });
    };
    rewriteMarks("P3");
    EXPECT_EQ(&Kept(), before);
    host::ResbufList windowRecord(zcdbEntGetX(window, apps.get()));
    for (resbuf* rb = windowRecord.get(); rb; rb = rb->rbnext)
        if (rb->restype == 1040 && rb->resval.rreal == 1.2) rb->resval.rreal = 3.0;
    ASSERT_EQ(zcdbEntMod(windowRecord.get()), RTNORM);
    rewriteMarks("P4");
    ExpectKeptIsFresh("an opening changed before its marks were rewritten");
    ASSERT_EQ(zcdbEntDel(window), RTNORM);
    ExpectKeptIsFresh("an opening erased");

    std::string funLayer = "2DFUNL";
    MakeLevelLayerName(funLayer, 0.0);
    ads_point f1{400, 150, 0}, f2{785, 150, 0};
    ads_name fun;
    MakeEntity(zcutBuildList(RTDXF0, "LINE", 8, funLayer.c_str(), 10, f1, 11, f2, 0), nullptr, fun);
    ExpectKeptIsFresh("a function line drawn");

    // A curved wall in the second room; the walk flips the direction of
    // arc faces, which the next command must not see.
    const resbuf* layer = lines[0].get();
    while (layer && layer->restype != 8) layer = layer->rbnext;
    ASSERT_NE(layer, nullptr);
    ads_point centre{600, 150, 0};
    ads_name arc;
    MakeEntity(
        zcutBuildList(RTDXF0, "ARC", 8, layer->resval.rstring, 10, centre, 40, 80.0, 50, 0.0, 51, 3.0, 0),
        nullptr, arc);
    const std::string fresh = Fresh();
    int arcs = 0;
    for (WallFace* f = Kept().faces; f; f = f->next)
        if (f->isArc()) f->reversed = !f->reversed, ++arcs;
    EXPECT_GT(arcs, 0);
    EXPECT_EQ(Signature(Kept()), fresh);
}

// The card rows of one number as an "X" selection of the records finds
// them, against the kept index.
std::string FreshRows(int number) {
    std::string out;
    host::ResbufList filter(zcutBuildList(-3, 1001, kRoomRowApp, 0));
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return out;
    for (std::int32_t i = 0; i < set.size(); ++i) {
        ads_name e;
        if (!set.name(i, e)) continue;
        host::ResbufList apps(zcutBuildList(RTSTR, kRoomRowApp, 0));
        host::ResbufList list(zcdbEntGetX(e, apps.get()));
        const resbuf* app = FindXDataApp(list.get(), kRoomRowApp);
        const resbuf* name = app ? app->rbnext : nullptr;
        const resbuf* no = name ? name->rbnext : nullptr;
        if (no && no->restype == 1070 && no->resval.rint == number)
            out += std::to_string(e[1]) + ":" + name->resval.rstring + " ";
    }
    return out;
}

std::string KeptRows(int number) {
    std::string out;
    for (const KeptCardRow& r : KeptCardRowsNumbered(number))
        out += std::to_string(r.handle) + ":" + r.card + " ";
    return out;
}

// A block "WIERSZ" of one point carrying a row record numbered 4, and
// its reference in model space with a record of the same number.
int MakeBlockWith(const char* app, const ads_point at) {
    const auto make = [](resbuf* list) {
        const host::ResbufList owned(list);
        return zcdbEntMake(owned.get());
    };
    int rc = make(zcutBuildList(RTDXF0, "BLOCK", 2, "WIERSZ", 8, "0", 70, 0, 10, at, 0));
    if (rc == RTNORM)
        rc = make(zcutBuildList(RTDXF0, "POINT", 8, "0", 10, at, -3, 1001, app, 1000, "W bloku", 1070, 4, 0));
    if (rc == RTNORM) rc = make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (rc == RTNORM)
        rc = make(zcutBuildList(RTDXF0, "INSERT", 2, "WIERSZ", 8, "0", 10, at, -3, 1001, app, 1000, "Blok",
                                1070, 4, 0));
    return rc;
}

TEST_F(RoomGraphTest, kept_card_rows_follow_rows_made_renumbered_erased_unerased_and_taken_back) {
    zcdbRegApp(kRoomRowApp);
    auto row = [](const char* card, int number, double x) {
        ads_point at{x, 0, 0};
        ads_name made;
        MakeEntity(zcutBuildList(RTDXF0, "POINT", 8, "0", 10, at, 0),
                   zcutBuildList(1001, kRoomRowApp, 1000, card, 1070, number, 0), made);
        return std::array<std::int64_t, 2>{made[0], made[1]};
    };
    auto expectSame = [](const char* step) {
        for (int n : {1, 2, 3, 4}) EXPECT_EQ(KeptRows(n), FreshRows(n)) << step << ", row " << n;
    };
    row("Karta", 1, 0);
    row("Karta", 2, 10);
    auto third = row("Inna", 1, 20);
    expectSame("first read");
    EXPECT_NE(KeptRows(1), "");

    row("Karta", 3, 30);
    expectSame("a row made");

    ads_name e{third[0], third[1]};
    ASSERT_EQ(zcdbEntDel(e), RTNORM);
    expectSame("a row erased");
    ASSERT_EQ(zcdbEntDel(e), RTNORM);
    expectSame("the row unerased");

    host::ResbufList apps(zcutBuildList(RTSTR, kRoomRowApp, 0));
    host::ResbufList record(zcdbEntGetX(e, apps.get()));
    for (resbuf* rb = record.get(); rb; rb = rb->rbnext)
        if (rb->restype == 1070) rb->resval.rint = 2;
    ASSERT_EQ(zcdbEntMod(record.get()), RTNORM);
    expectSame("a row renumbered");

    // A copy of the last row (number 3) made by a command, then taken back.
    run({"_COPY", "_L", "", "0,0", "0,50"});
    expectSame("a row copied");
    EXPECT_EQ(KeptCardRowsNumbered(3).size(), 2u);
    run({"U"});
    expectSame("the copy taken back");
    EXPECT_EQ(KeptCardRowsNumbered(3).size(), 1u);

    // A row record on an entity of a block's definition is no row; the
    // block's reference carrying one in model space is.
    ads_point origin{0, 0, 0};
    ASSERT_EQ(MakeBlockWith(kRoomRowApp, origin), RTNORM);
    expectSame("a block holding a row record");
    EXPECT_EQ(KeptCardRowsNumbered(4).size(), 1u);
}

}  // namespace
