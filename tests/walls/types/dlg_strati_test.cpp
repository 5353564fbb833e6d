// The wall types editor driven as a user would, on a data folder of its
// own: the tree it shows, what New, Copy, Delete and label edits do to it,
// and the files OK writes back (Cancel writes none).
#include "walls/types/dlg_strati.h"

#include <filesystem>

#include "tests/walls/wall_types_fixture.h"
#include "walls/types/dlg_muro.h"
#include "walls/types/mxt_file.h"

namespace {

const char* const kTypeA =
    "Typ A\nA\n2\n0\n2DWALLS\n"
    "STRATIFICAZIONE50\nCegła\n0\n1.000000\n$\n2DWALLS\nENDSTRATIFICAZIONE50\n"
    "STRATIFICAZIONE100\nTynk\n0\n1.000000\n1.5\n2DWALLS\nCegła\n0\n1.000000\n$"
    "\n2DWALLS\nENDSTRATIFICAZIONE100\n"
    "STRATIFICAZIONE101\nTynk\n0\n1.000000\n1.5\n2DWALLS\nENDSTRATIFICAZIONE101";
const char* const kTypeB =
    "Typ B\nB\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nBeton\n0\n1.000000\n$\n2DWALLS\nENDSTRATIFICAZIONE100";

// The tree as lines: one per node, indented by depth.
std::string TreeText(const CTreeCtrl& tree, HTREEITEM parent = TVI_ROOT, int depth = 0) {
    std::string out;
    for (HTREEITEM h = tree.GetChildItem(parent); h; h = tree.GetNextSiblingItem(h)) {
        out += std::string(depth * 2, ' ') + tree.GetItemText(h) + "\n";
        out += TreeText(tree, h, depth + 1);
    }
    return out;
}

class DlgStratiTest : public WallTypesTest {
protected:
    // Runs the editor with the driver; the tree as the driver left it before
    // pressing OK or Cancel.
    int runEditor(std::function<void(zcui::DialogUser&, CDlgStrati&)> act) {
        zcui::InstallDialogDriver(IDD_STRATI, [&](zcui::DialogUser& u) {
            auto& dlg = static_cast<CDlgStrati&>(u.Dialog());
            act(u, dlg);
        });
        CDlgStrati dlg;
        return static_cast<int>(dlg.DoModal());
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(data.path() + "/" + name); }
};

TEST_F(DlgStratiTest, new_on_an_empty_tree_makes_a_type_with_build_up_100_and_ok_writes_its_file) {
    zcui::InstallDialogDriver(IDD_MURO, [](zcui::DialogUser& u) {
        u.Edit(1001, "NOWY");
        u.Edit(1005, "Nowa ściana");
        u.Ok();
    });
    std::string tree;
    EXPECT_EQ(runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
                  u.Click(1002);
                  tree = TreeText(dlg.m_tree);
                  u.Ok();
              }),
              IDOK);
    EXPECT_EQ(tree, "Nowa ściana\n  100\n    Ściana\n");
    EXPECT_EQ(
        data.read("NOWY.mxt"),
        "Nowa "
        "ściana\nNOWY\n2\n0\n2DWALLS\nSTRATIFICAZIONE100\nŚciana\n0\n1.000000\n$\n\nENDSTRATIFICAZIONE100\n");
    // The file it writes reads back whole: its one layer is as thick as the
    // wall, not without a thickness.
    CMuro written;
    written.fileName = "NOWY";
    EXPECT_TRUE(ReadWallTypeFile(written));
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Nie znaleziono żadnego pliku MXT"}));
}

TEST_F(DlgStratiTest, deleting_the_last_layer_takes_its_build_up_and_the_last_build_up_its_type) {
    data.write("A.mxt", kTypeA);
    data.write("B.mxt", kTypeB);
    std::string afterLayer, afterScale;
    runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
        u.Select(1021, zcui::Row{"Cegła"});  // the only layer of 50
        u.Click(1007);
        afterLayer = TreeText(dlg.m_tree);
        u.Select(1021, zcui::Row{"Beton"});  // B's only layer
        u.Click(1007);
        u.Select(1021, zcui::Row{"100"});  // now A's first build-up
        u.Click(1007);
        u.Select(1021, zcui::Row{"101"});
        u.Click(1007);
        afterScale = TreeText(dlg.m_tree);
        u.Ok();
    });
    EXPECT_EQ(afterLayer, "Typ A\n  100\n    Tynk\n    Cegła\n  101\n    Tynk\nTyp B\n  100\n    Beton\n");
    // B keeps its header without build-ups; A went with its last build-up.
    EXPECT_EQ(afterScale, "Typ B\n");
    EXPECT_FALSE(exists("A.mxt"));
    EXPECT_TRUE(exists("A.mxk"));
    EXPECT_EQ(data.read("B.mxt"), "Typ B\nB\n3\n1\n2DWALLS\n");
}

TEST_F(DlgStratiTest, labels_taken_by_another_type_or_build_up_are_refused_and_kept) {
    data.write("A.mxt", kTypeA);
    data.write("B.mxt", kTypeB);
    std::string tree;
    runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
        u.EditLabel(1021, zcui::Row{"50"}, std::string("101"));
        u.EditLabel(1021, zcui::Row{"Typ A"}, std::string("Typ B"));
        u.EditLabel(1021, zcui::Row{"Typ B"}, std::string("Typ C"));
        tree = TreeText(dlg.m_tree);
        u.Ok();
    });
    EXPECT_EQ(messageBoxes(),
              (std::vector<std::string>{"Skala 101 już istnieje", "Ściana Typ B już istnieje"}));
    EXPECT_EQ(tree.substr(0, 12), "Typ A\n  50\n ");
    EXPECT_NE(tree.find("Typ C\n"), std::string::npos);
    EXPECT_EQ(data.read("B.mxt").substr(0, 8), "Typ C\nB\n");
}

TEST_F(DlgStratiTest, a_build_up_label_that_is_no_whole_number_from_1_is_refused_and_put_back) {
    data.write("A.mxt", kTypeA);
    std::string tree;
    runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
        for (const char* typed : {"abc", "12abc", "1,5", " ", "--5", "0x10", "0"})
            u.EditLabel(1021, zcui::Row{"50"}, std::string(typed));
        u.Select(1021, zcui::Row{"100"});
        u.Click(1002);  // a new build-up waiting for its label: dropped
        u.EditLabel(1021, zcui::Row{std::string()}, std::string("12abc"));
        tree = TreeText(dlg.m_tree);
        u.Ok();
    });
    EXPECT_EQ(messageBoxes(), std::vector<std::string>(8, kInvalidValueMessage));
    EXPECT_EQ(tree.substr(0, tree.find("  100")), "Typ A\n  50\n    Cegła\n");
    EXPECT_EQ(tree.find("  12\n"), std::string::npos);
    EXPECT_EQ(data.read("A.mxt"), kTypeA);
}

TEST_F(DlgStratiTest, a_copied_build_up_takes_the_next_free_number_and_a_new_one_waits_for_its_label) {
    data.write("A.mxt", kTypeA);
    std::string tree;
    runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
        u.Select(1021, zcui::Row{"100"});
        u.Click(1006);  // 101 is taken: the copy is 102
        u.Click(1002);  // a new build-up, numbered by its label
        u.EditLabel(1021, zcui::Row{std::string()}, std::string("200"));
        u.Select(1021, zcui::Row{"200"});
        u.Click(1002);
        u.EditLabel(1021, zcui::Row{std::string()}, std::string("50"));  // taken: dropped
        tree = TreeText(dlg.m_tree);
        u.Ok();
    });
    EXPECT_EQ(
        tree,
        "Typ A\n  50\n    Cegła\n  100\n    Tynk\n    Cegła\n  101\n    Tynk\n  102\n    Tynk\n    Cegła\n"
        "  200\n    Ściana\n");
    const std::string file = data.read("A.mxt");
    EXPECT_NE(file.find("STRATIFICAZIONE102\nTynk\n0\n1.000000\n1.5\n2DWALLS\nCegła\n"), std::string::npos);
    EXPECT_NE(file.find("STRATIFICAZIONE200\nŚciana\n"), std::string::npos);
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Skala 50 już istnieje"}));
}

TEST_F(DlgStratiTest, a_new_layer_goes_before_the_selected_one_or_after_it_with_insert_after) {
    data.write("A.mxt", kTypeA);
    int made = 0;
    zcui::InstallDialogDriver(IDD_STRATO, [&](zcui::DialogUser& u) {
        u.Edit(1022, made++ == 0 ? "Izolacja" : "Folia");
        u.Edit(1030, "2");
        u.Ok();
    });
    std::string tree;
    runEditor([&](zcui::DialogUser& u, CDlgStrati& dlg) {
        u.Select(1021, zcui::Row{"Tynk"});  // 100's outer layer
        u.Check(1012);
        u.Click(1002);
        u.Select(1021, zcui::Row{"Tynk"});
        u.Check(1012, 0);
        u.Click(1002);
        tree = TreeText(dlg.m_tree);
        u.Ok();
    });
    EXPECT_EQ(tree.substr(0, tree.find("  101")),
              "Typ A\n  50\n    Cegła\n  100\n    Folia\n    Tynk\n    Izolacja\n    Cegła\n");
    const std::string file = data.read("A.mxt");
    EXPECT_LT(file.find("Folia"), file.find("Tynk"));
    EXPECT_LT(file.find("Izolacja"), file.find("Cegła\n0\n1.000000\n$\n2DWALLS\nENDSTRATIFICAZIONE100"));
}

TEST_F(DlgStratiTest, cancel_leaves_every_file_byte_identical) {
    data.write("A.mxt", kTypeA);
    data.write("B.mxt", kTypeB);
    zcui::InstallDialogDriver(IDD_MURO, [](zcui::DialogUser& u) {
        u.Edit(1001, "C");
        u.Ok();
    });
    EXPECT_EQ(runEditor([](zcui::DialogUser& u, CDlgStrati&) {
                  u.Select(1021, zcui::Row{"Typ B"});
                  u.Click(1006);  // a copy named "Typ BKopia", file C
                  u.Select(1021, zcui::Row{"Typ A"});
                  u.Click(1007);
                  u.Cancel();
              }),
              IDCANCEL);
    EXPECT_EQ(data.read("A.mxt"), kTypeA);
    EXPECT_EQ(data.read("B.mxt"), kTypeB);
    EXPECT_FALSE(exists("C.mxt"));
    EXPECT_FALSE(exists("A.mxk"));
}

TEST_F(DlgStratiTest, a_copied_type_gets_its_own_build_ups) {
    data.write("B.mxt", kTypeB);
    std::string shownName;
    zcui::InstallDialogDriver(IDD_MURO, [&](zcui::DialogUser& u) {
        shownName = u.Text(1005);
        u.Edit(1001, "C");
        u.Ok();
    });
    runEditor([](zcui::DialogUser& u, CDlgStrati& dlg) {
        u.Select(1021, zcui::Row{"Typ B"});
        u.Click(1006);
        // Editing the original's layer leaves the copy's alone.
        u.EditLabel(1021, zcui::Row{"Beton"}, std::string("Żelbet"));
        EXPECT_EQ(TreeText(dlg.m_tree), "Typ B\n  100\n    Żelbet\nTyp BKopia\n  100\n    Beton\n");
        u.Ok();
    });
    EXPECT_EQ(shownName, "Typ BKopia");
    EXPECT_NE(data.read("C.mxt").find("Typ BKopia\nC\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nBeton\n"),
              std::string::npos);
    EXPECT_NE(data.read("B.mxt").find("Żelbet"), std::string::npos);
}

}  // namespace
