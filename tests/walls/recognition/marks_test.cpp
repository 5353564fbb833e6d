// Wall-type marks on wall lines: the external-side flag (one face, "Usuń",
// "Obwód"), the type assignment keeping the flag, the display entity, the
// 3D layer name and the picker's results.
#include "host/ed/grdraw.h"
#include "store/velm_layermuri.h"
#include "tests/walls/recognition/recognition_fixture.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_att_cmd.h"

namespace {

struct FreeFaces {
    void operator()(WallFace* list) const { FreeFaceList(list); }
};
using Faces = std::unique_ptr<WallFace, FreeFaces>;

class Marks : public RecognitionTest {
protected:
    // The entity made last.
    static void last(ads_name out) { zcdbEntLast(out); }
    // A face of the line just made.
    static WallFace* faceOfLast() {
        WallFace* f = NewWallFace();
        f->edges = new FaceEdge;
        last(f->edges->entity);
        return f;
    }
    // The square room 0..430 with walls 30 thick: outer lines first (bottom,
    // right, top, left), then inner; `withoutOuterLeft` leaves one out.
    std::vector<std::array<std::int64_t, 2>> room(bool withoutOuterLeft = false) {
        std::vector<std::array<std::int64_t, 2>> lines;
        auto add = [&](Point3 a, Point3 b) {
            MakeWallLine(a, b);
            ads_name e;
            last(e);
            lines.push_back({e[0], e[1]});
        };
        add({0, 0, 0}, {430, 0, 0});
        add({430, 0, 0}, {430, 430, 0});
        add({430, 430, 0}, {0, 430, 0});
        if (!withoutOuterLeft) add({0, 430, 0}, {0, 0, 0});
        add({30, 30, 0}, {400, 30, 0});
        add({400, 30, 0}, {400, 400, 0});
        add({400, 400, 0}, {30, 400, 0});
        add({30, 400, 0}, {30, 30, 0});
        return lines;
    }
    static std::string record(const std::array<std::int64_t, 2>& line) {
        ads_name e = {line[0], line[1]};
        return WallTypeRecord(e);
    }
    int prompt(const std::vector<std::string>& answers) {
        for (const std::string& a : answers) push(a);
        CFACCIATE g;
        g.Build(true, false, nullptr, false);
        return PickExternalSide(&g);
    }
};

}  // namespace

TEST_F(Marks, external_flag_written_into_every_kind_of_line) {
    MakeWallLine({0, 0, 0}, {100, 0, 0});
    Faces bare(faceOfLast());
    ads_name line;
    last(line);
    SetExternalSideFlag(bare.get(), false);
    EXPECT_EQ(WallTypeRecord(line), "");
    SetExternalSideFlag(bare.get(), true);
    EXPECT_EQ(WallTypeRecord(line), "Ściana ogólna 1");

    MakeWallLine({0, 30, 0}, {100, 30, 0}, "Mur");
    Faces noFlag(faceOfLast());
    last(line);
    SetExternalSideFlag(noFlag.get(), true);
    EXPECT_EQ(WallTypeRecord(line), "Mur 1");
    SetExternalSideFlag(noFlag.get(), false);
    EXPECT_EQ(WallTypeRecord(line), "Mur 0");
    std::string name;
    bool external = true;
    ReadWallTypeXData(line, name, external);
    EXPECT_EQ(name, "Mur");
    EXPECT_FALSE(external);
}

TEST_F(Marks, assignment_writes_wall_lines_of_the_floor_only_and_keeps_their_flags) {
    MakeWallLine({0, 0, 0}, {100, 0, 0}, "Stara", 1);
    ads_name marked, plain, other;
    last(marked);
    MakeWallLine({0, 30, 0}, {100, 30, 0});
    last(plain);
    const ads_point a{0, 60, 0}, b{100, 60, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(list);
    zcutRelRb(list);
    last(other);
    set->assignTypeName = "Nowa ściana o bardzo długiej nazwie, dłuższej niż sześćdziesiąt trzy znaki";
    push({"W", "-10,-10", "110,70", ""});
    EXPECT_TRUE(set->AssignWallTypeToLines());
    EXPECT_EQ(WallTypeRecord(marked), set->assignTypeName + " 1");
    EXPECT_EQ(WallTypeRecord(plain), set->assignTypeName + " 0");
    EXPECT_EQ(WallTypeRecord(other), "");
    EXPECT_NE(lastMessage().find("Wybierz wszystkie linie"), std::string::npos);

    push({"W", "-10,50", "110,70", ""});
    EXPECT_FALSE(set->AssignWallTypeToLines());
}

TEST_F(Marks, one_face_then_remove_clears_every_line_of_the_floor) {
    auto lines = room();
    EXPECT_EQ(prompt({"!pick 200,0"}), 1);
    EXPECT_EQ(record(lines[0]), "Ściana ogólna 1");
    EXPECT_EQ(record(lines[1]), "");
    EXPECT_EQ(prompt({"!pick 30,200"}), 1);
    EXPECT_EQ(record(lines[7]), "Ściana ogólna 1");

    EXPECT_EQ(prompt({"usuń"}), -1);
    EXPECT_EQ(record(lines[0]), "Ściana ogólna 0");
    EXPECT_EQ(record(lines[7]), "Ściana ogólna 0");
    EXPECT_EQ(record(lines[1]), "");

    const ads_point a{1000, 0, 0}, b{1100, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(list);
    zcutRelRb(list);
    EXPECT_EQ(prompt({"!pick 1050,0"}), 0);
    EXPECT_NE(transcript().find("nie jest linią odpowiadającą ścianie bieżącej podłogi"), std::string::npos);
}

TEST_F(Marks, perimeter_marks_the_outer_contour_and_an_open_one_says_so) {
    auto lines = room();
    EXPECT_EQ(prompt({"Obwód", "!pick 200,0"}), -1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(record(lines[i]), "Ściana ogólna 1") << i;
    for (int i = 4; i < 8; ++i) EXPECT_EQ(record(lines[i]), "") << i;
    EXPECT_EQ(transcript().find("nie jest zamknięty"), std::string::npos);
}

TEST_F(Marks, an_open_perimeter_is_shown_open_and_its_faces_still_marked) {
    auto lines = room(true);
    EXPECT_EQ(prompt({"Obwód", "!pick 200,0"}), -1);
    EXPECT_NE(transcript().find("Wybrany kontur nie jest zamknięty"), std::string::npos);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record(lines[i]), "Ściana ogólna 1") << i;
    EXPECT_EQ(record(lines[3]), "");
}

TEST_F(Marks, display_entity_draws_marked_faces_grey_and_segments_and_pairs_in_their_colours) {
    WallFace* marked = TypedFace({0, 0, 0}, {100, 0, 0}, kDefaultWallTypeName, true);
    marked->next = TypedFace({0, 30, 0}, {100, 30, 0});
    Faces faces(marked);
    addType("Mur", 1, 3);
    segment({0, 60, 0}, {100, 60, 0}, "Mur");
    WallSegment* a = segment({0, 90, 0}, {100, 90, 0});
    WallSegment* b = segment({0, 120, 0}, {100, 120, 0}, "Mur");
    set->MakeWallPair(a, b);
    VELM_MUROESTERNO display;
    display.faces = faces.get();
    display.segments = set->segments;
    display.pairs = set->pairs;
    std::vector<std::pair<int, double>> drawn;
    for (const ZcGiPrimitive& p : host::recordWorldDraw(&display))
        drawn.push_back({p.color, p.points.at(0).y});
    EXPECT_EQ(drawn, (std::vector<std::pair<int, double>>{{8, 0}, {3, 60}, {7, 90}, {3, 120}}));
}

TEST(WallLayerNames, three_d_names_of_wall_layers) {
    VELM_LAYERMURI layers;
    layers.entries = {"2DWALLS", "2dx", "MURY"};
    EXPECT_EQ(layers.Get3DLayerName(0), "3DWALLS");
    EXPECT_EQ(layers.Get3DLayerName(1), "3Dx");
    EXPECT_EQ(layers.Get3DLayerName(2), "3DMURY");
    EXPECT_EQ(layers.Get3DLayerName(3), "3DWALLS");
    EXPECT_EQ(layers.Get3DLayerName(-1), "3DWALLS");
}

TEST(WallLinePicker, results_of_the_line_picker_in_the_toolkit_terms) {
    EXPECT_EQ(WallLineResult(1), 1);
    EXPECT_EQ(WallLineResult(0), 0);
    EXPECT_EQ(WallLineResult(-2), -1);
    EXPECT_LT(WallLineResult(-1), -1);
    EXPECT_LT(WallLineResult(-3), -1);
}
