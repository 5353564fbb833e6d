// The geometry and data sections of a definition read into the context:
// list orders, scaling, counts and their limits, and the messages.
#include <gtest/gtest.h>

#include "lang_fixture.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_geometry.h"

namespace {

class Sections : public ObjLanguage {
protected:
    // The definition "T": `vars` as its VAR section, then `body`.
    ObjContext& def(const std::string& body, const std::string& vars = "") {
        write("T.txt", "VAR\n" + vars + "END_VAR\n" + body);
        ObjContext& c = load("T");
        EXPECT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        return c;
    }
    static std::vector<Point3> points(const VertexNode* v, std::vector<int>* flags = nullptr) {
        std::vector<Point3> out;
        for (; v; v = v->next) {
            out.push_back(v->pt());
            if (flags) flags->push_back(v->edgeFlag);
        }
        return out;
    }
    static void setReal(int slot, double value) { SetVarReal(&slot, &value); }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

#define EXPECT_PT(p, X, Y, Z)        \
    do {                             \
        EXPECT_NEAR((p).x, X, 1e-9); \
        EXPECT_NEAR((p).y, Y, 1e-9); \
        EXPECT_NEAR((p).z, Z, 1e-9); \
    } while (0)

}  // namespace

TEST_F(Sections, fixed_points_default_order_scale_and_errors) {
    setUnit(1.0);
    ObjContext& none = def("DRAW\n");
    none.fixedPointIndex = 3;
    ASSERT_EQ(ReadFixpSection(none, false), 1);
    ASSERT_EQ(points(none.fixedPoints.get()).size(), 1u);
    EXPECT_PT(none.fixedPoints->pt(), 0, 0, 0);
    EXPECT_EQ(none.fixedPointIndex, 1);

    ObjContext& c = def("FIXP\n(1 2 0 3)\n($5 0 7)\nEND_FIXP\n", "$5=\"A\"01D4\n");
    c.scale[0] = -1.0;
    c.fixedPointIndex = 2;
    ASSERT_EQ(ReadFixpSection(c, true), 1);
    std::vector<int> kinds;
    std::vector<Point3> p = points(c.fixedPoints.get(), &kinds);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_PT(p[0], -1, 2, 0);
    EXPECT_PT(p[1], -4, 0, 7);
    EXPECT_EQ(kinds, (std::vector<int>{3, 0}));
    EXPECT_EQ(c.fixedPointIndex, 1);

    EXPECT_EQ(ReadFixpSection(def("FIXP\nEND_FIXP\n"), true), -1);
    ObjContext& bad = def("FIXP\n(1 0 0 $9)\nEND_FIXP\n");
    EXPECT_EQ(ReadFixpSection(bad, true), -1);
    EXPECT_FALSE(bad.fixedPoints);
}

TEST_F(Sections, drag_holds_segment_ends_newest_first_up_to_seventy_points) {
    ObjContext& c = def("DRAG\n3 2\n(0 0 0)\n(10 0 0)\n(10 5 0)\n(1 2)\n(2 3)\n");
    c.scale[1] = 2.0;
    ASSERT_EQ(ReadDragSection(c), 1);
    std::vector<Point3> got;
    for (const resbuf* rb = c.dragSegments.get(); rb; rb = rb->rbnext) {
        EXPECT_EQ(rb->restype, RT3DPOINT);
        got.push_back({rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]});
    }
    ASSERT_EQ(got.size(), 4u);
    EXPECT_PT(got[0], 10, 10, 0);  // j of the last segment
    EXPECT_PT(got[1], 10, 0, 0);
    EXPECT_PT(got[2], 10, 0, 0);
    EXPECT_PT(got[3], 0, 0, 0);

    auto drag = [](int n) {
        std::string s = "DRAG\n" + std::to_string(n) + " 1\n";
        for (int i = 0; i < n; ++i) s += "(" + std::to_string(i) + " 0 0)\n";
        return s + "(1 2)\n";
    };
    EXPECT_EQ(ReadDragSection(def(drag(70))), 1);
    const std::size_t before = transcript().size();
    EXPECT_EQ(ReadDragSection(def(drag(71))), -1);
    EXPECT_TRUE(
        has(transcript().substr(before), "Zbyt wiele punktów w sekcji WYCIĄGANIE (maks. dopuszczalne 70)"));
    ObjContext& outside = def("DRAG\n2 1\n(0 0 0)\n(1 0 0)\n(1 3)\n");
    EXPECT_EQ(ReadDragSection(outside), -1);
    EXPECT_FALSE(outside.dragSegments);
}

TEST_F(Sections, cut_outlines_reverse_order_flags_and_pilasters) {
    const std::string cuts =
        "CUT2D\n2\n(0 0 0)\n(90 0 0)\n2\n(90 30 0)\n(0 30 0)\n"
        "CUT3DE\n2\n+(0 0 0)\n-(90 0 0)\n1\n+(5 5 5)\nENDCUT3DE\n"
        "CUT3DI\n1\n-(0 30 0)\nENDCUT3DI\n";
    ObjContext& c = def(cuts);
    ASSERT_EQ(ReadCutSection(c), 1);
    std::vector<Point3> first = points(c.cut2d[0].get());
    ASSERT_EQ(first.size(), 2u);
    EXPECT_PT(first[0], 90, 0, 0);
    EXPECT_EQ(points(c.cut2d[1].get()).size(), 2u);
    std::vector<int> flags;
    points(c.cut3dOuter[0].get(), &flags);
    EXPECT_EQ(flags, (std::vector<int>{0, 1}));
    EXPECT_EQ(points(c.cut3dOuter[1].get()).size(), 1u);
    ASSERT_EQ(points(c.cut3dInner[0].get()).size(), 1u);
    EXPECT_EQ(c.cut3dInner[0]->edgeFlag, 0);
    EXPECT_FALSE(c.cut3dInner[1]);

    ObjContext& pilaster = def(
        "CUT2D\n4\n(0 0 0)\n(30 0 0)\n(30 30 0)\n(0 30 0)\n" + cuts.substr(cuts.find("CUT3DE")), "$3= 17\n");
    ASSERT_EQ(pilaster.insertionType, InsertionType::Pilaster);
    ASSERT_EQ(ReadCutSection(pilaster), 1);
    EXPECT_EQ(points(pilaster.cut2d[0].get()).size(), 4u);
    EXPECT_FALSE(pilaster.cut2d[1]);
    EXPECT_FALSE(pilaster.cut3dOuter[0]);

    EXPECT_EQ(ReadCutSection(def("CUT3DE\n1\n+(0 0 0)\nENDCUT3DE\n")), -1);
}

TEST_F(Sections, slab_outlines_deduction_and_islands) {
    ObjContext& c = def("POLIG\n-4\n(0 0 0)\n(10 0 0)\n(10 10 0)\n(0 10 0)\nPOLIGDED\n2\n(1 1 0)\n(2 2 0)\n");
    c.scale[0] = 2.0;
    ASSERT_EQ(ReadPoligSection(c), 1);
    std::vector<int> flags;
    std::vector<Point3> p = points(c.polig.get(), &flags);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(flags, (std::vector<int>(4, -2)));
    EXPECT_PT(p[0], 0, 10, 0);
    EXPECT_PT(p[1], 20, 10, 0);
    ASSERT_EQ(ReadPoligDedSection(c), 1);
    EXPECT_PT(c.poligDed->pt(), 4, 2, 0);

    ObjContext& arc =
        def("POLIGARC\n($7)\n(0 0 0)\n(10 0 1.5707963267948966)\n(0 0 0)\n(20 0 1.5707963267948966)\n",
            "$7=\"n\"01I4\n");
    ASSERT_EQ(ReadPoligSection(arc), 1);
    p = points(arc.polig.get(), &flags);
    ASSERT_EQ(p.size(), 10u);
    EXPECT_PT(p[0], 20, 0, 0);  // the second arc ends at its start angle, last put at the head
    EXPECT_PT(p[9], 10, 0, 0);
    EXPECT_PT(p[4], 0, 20, 0);
    EXPECT_PT(p[5], 0, 10, 0);
    EXPECT_EQ(ReadPoligSection(def("POLIGARC\n(0)\n(0 0 0)\n(10 0 1)\n(0 0 0)\n(20 0 1)\n")), -1);

    ObjContext& islands = def("ISLANDH\n(0 0 0)\n(5 0 0)\n(5 5 0)\nEND_ISLANDH\n");
    ASSERT_EQ(ReadIslandHSection(islands), 1);
    p = points(islands.islandH.get());
    ASSERT_EQ(p.size(), 3u);
    EXPECT_PT(p[2], 5, 5, 0);
    ObjContext& empty = def("ISLANDH\nEND_ISLANDH\n");
    EXPECT_EQ(ReadIslandHSection(empty), -1);
    EXPECT_FALSE(empty.islandH);
}

TEST_F(Sections, planes_and_series_copies_in_place) {
    ObjContext& c =
        def("ST3DPLANE\n"
            "BEGIN\n3\n(0 0 0)\n(10 0 0)\n(10 0 10)\n"
            "SERIES\n($9)\n(100 0 0)\n(0 0 0)\n(0)\n"
            "CONTORNO\n(1)\n2\n(0 0 0)\n(5 0 0)\n"
            "CONTORNO\n(0)\n1\n(7 7 7)\n"
            "END_ARRAY\n"
            "END_ST3DPLANE\n",
            "$9=\"copies\"01I3\n");
    c.scale[0] = 2.0;
    ASSERT_EQ(ReadSt3dPlaneSection(c), 1);
    ASSERT_EQ(c.planes.size(), 4u);
    // Newest first: copies 2, 1, 0 of the series, then the BEGIN plane.
    for (int i = 0; i < 3; ++i) {
        std::vector<Point3> p = points(c.planes[static_cast<std::size_t>(i)].get());
        ASSERT_EQ(p.size(), 2u);
        EXPECT_PT(p[0], 100.0 * (2 - i), 0, 0);  // unscaled
        EXPECT_PT(p[1], 100.0 * (2 - i) + 5, 0, 0);
    }
    std::vector<Point3> first = points(c.planes[3].get());
    ASSERT_EQ(first.size(), 3u);
    EXPECT_PT(first[1], 20, 0, 0);

    EXPECT_EQ(ReadSt3dPlaneSection(def("ST3DPLANE\nEND_ST3DPLANE\n")), -1);
    std::string big = "ST3DPLANE\nSERIES\n(1)\n(0 0 0)\n(0 0 0)\n(0)\nCONTORNO\n(1)\n51\n";
    for (int i = 0; i < 51; ++i) big += "(" + std::to_string(i) + " 0 0)\n";
    ObjContext& tooMany = def(big + "END_ARRAY\nEND_ST3DPLANE\n");
    EXPECT_EQ(ReadSt3dPlaneSection(tooMany), -1);
    EXPECT_TRUE(tooMany.planes.empty());
}

TEST_F(Sections, parameter_sets_values_and_their_messages) {
    setUnit(10.0);
    const std::string vars = "$8=\"Szerokość\"01D90\n$11=\"Opis\"02S\"x\"\n$12= $8*2\n";
    ObjContext& c = def(
        "TYPO\nBEGIN\nWąskie\n$8=90\n$11=\"Lewe\"\nBEGIN\nSzerokie\n$8=120\n$11=\"Prawe\"\nEND_TYPO\n", vars);
    ASSERT_EQ(ReadTypoSection(c), 1);
    ASSERT_EQ(c.paramSets.size(), 2u);
    EXPECT_EQ(c.paramSets[0].name, "Wąskie");
    EXPECT_EQ(FindObjVar(8, c.paramSets[0].vars)->value, 900.0);
    EXPECT_EQ(FindObjVar(11, c.paramSets[1].vars)->text, "Prawe");

    std::size_t before = transcript().size();
    ObjContext& missing = def("TYPO\nBEGIN\nA\n$8=1\n$11=\"a\"\nBEGIN\nB\n$8=2\nEND_TYPO\n", vars);
    EXPECT_EQ(ReadTypoSection(missing), -1);
    EXPECT_EQ(missing.paramSets.size(), 1u);  // the set before the faulty one stays
    EXPECT_TRUE(has(transcript().substr(before), "\nUstawione parametry B brakuje parametru: 11"));

    before = transcript().size();
    EXPECT_EQ(ReadTypoSection(def("TYPO\nBEGIN\nA\n$12=1\nEND_TYPO\n", vars)), -1);
    EXPECT_TRUE(has(transcript().substr(before), "\nParametr 12 nie jest przypisany do użytkownika"));
    before = transcript().size();
    EXPECT_EQ(ReadTypoSection(def("TYPO\nBEGIN\nA\n$8=x\nEND_TYPO\n", vars)), -1);
    EXPECT_TRUE(has(transcript().substr(before),
                    "\nParametr 8 nie jest poprawną wartością numeryczną dla określonych parametrów:A"));

    setInt(SetupVar::SCALADINTER, 0);
    ObjContext& slab = def("TYPO\nBEGIN\nA\n$4=7\n$8=1\n$11=\"a\"\nEND_TYPO\n", "$3= 15\n" + vars);
    ASSERT_EQ(slab.insertionType, InsertionType::SlabCutPartGiven);
    EXPECT_EQ(ReadTypoSection(slab), 1);
}

TEST_F(Sections, bill_of_quantities_and_schedule_variables) {
    setUnit(1.0);
    setReal(SetupVar::SRAPPORTO_UM, 0.01);
    setInt(SetupVar::CIFRE_COMPUTO, 3);
    ObjContext& c = def("COM\nOkno\nIlość $20 szt.\nPow. $21 m2\nDrzwi\n$22 cokolwiek\n$20\nEND_COM\n",
                        "$20=\"n\"01I3\n$21=\"a\"02R250\n$22=\"opis\"03S\"Dąb\"\n");
    ASSERT_EQ(ReadComSection(c), 1);
    ASSERT_EQ(c.comEntries.size(), 2u);
    EXPECT_EQ(c.comEntries[0].label, "Drzwi");  // newest first
    EXPECT_EQ(c.comEntries[0].second, "*Dąb");
    EXPECT_EQ(c.comEntries[1].second, "Ilość 3 szt.");
    EXPECT_EQ(c.comEntries[1].third, "Pow. 2.500 m2");
    EXPECT_EQ(ReadComSection(def("COM\nA\n$99\nx\nEND_COM\n")), -1);

    const std::size_t before = transcript().size();
    ObjContext& t = def("TABELLE\n$20\n$77\nEND_TABELLE\n", "$20=\"n\"01I3\n");
    ASSERT_EQ(ReadTabelleSection(t), 1);
    EXPECT_EQ(t.tabelle, (std::vector<std::int32_t>{77, 20}));
    EXPECT_TRUE(
        has(transcript().substr(before), "\nUżywasz zmiennej w sekcji TABELI, nie występuje w sekcji VAR"));
    EXPECT_EQ(ReadTabelleSection(def("TABELLE\nx\nEND_TABELLE\n")), -1);
}

TEST_F(Sections, handrail_records_and_the_variables_they_define) {
    EXPECT_EQ(ReadHandRailSection(def("DCHANDRAIL\n$51\n$52\n$53\n$54\n$55\n")), 0);
    ObjContext& c =
        def("DCHANDSTAIR\nBEGIN\n(1 2 3)\n(4 5 6)\n(0.5 8 9)\n(10 11 12)\n(13 14 15)\n(16 17 18)\n"
            "BEGIN\n(21 22 23)\n(24 25 26)\n(27 28 29)\n(0 0 0)\n(0 0 0)\n(0 0 0)\nEND_DCHAND\n"
            "DCHANDRAIL\n$51\n$52\n$53\n$54\n$55\n");
    ASSERT_EQ(ReadHandStairSection(c), 1);
    ASSERT_EQ(c.handrails.size(), 2u);
    EXPECT_EQ(c.handrails[0].a[0], 21.0);  // the last block is the head
    c.handrails.erase(c.handrails.begin());
    ASSERT_EQ(ReadHandRailSection(c), 1);
    const double want[5] = {1, 2, 3, 8, 6};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(FindObjVar(51 + i, c.vars)->value, want[i]) << i;
    EXPECT_EQ(c.rotation, 0.5);
    EXPECT_EQ(c.insertionPoint[1], 5.0);
    EXPECT_EQ(ReadHandStairSection(def("DCHANDSTAIR\nBEGIN\n(1 2 3)\n(4 5 6)\nEND_DCHAND\n")), -1);
}
