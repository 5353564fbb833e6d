// The slide menu and its command on scripted answers: how many names the
// command reads, the grid, window and frame the menu shows, the picture
// window on a second click, and what each closing button places.
#include "objects/dialogs/dlg_menu_obj.h"

#include <filesystem>
#include <string>
#include <vector>

#include "core/dialogs/dlg_slide.h"
#include "host/ed/prompts.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/win/files.h"
#include "objects/dialogs/dlg_par_obj.h"
#include "objects/dialogs/dlg_tipologie.h"
#include "objects/placement/library_cmds.h"
#include "resources/velmresources.h"
#include "tests/objects/language/lang_fixture.h"

namespace {

constexpr const char* kSyntax = "Błąd składni w argumentach funkcji ADDS: CMD_ADD_S";

// A free object 100 long placed at one picked point.
constexpr const char* kFreeObject =
    "VAR\n$3= 10\n$40=\"Długość\"01D100\nEND_VAR\n\nFIXP\n(0 0 0 0)\nEND_FIXP\n\nDRAG\n2 1\n(0 0 0)\n"
    "($40 0 0)\n(1 2)\n\nDRAW\n0\nLINE\n0\n(0 0 0)\n($40 0 0)\nEND\n";

class SlideMenu : public ObjLanguage {
protected:
    void SetUp() override {
        ObjLanguage::SetUp();
        std::string bmp;
        ASSERT_TRUE(host::readWholeFile(std::string(VELM_SOURCE_DIR) + "/resources/bitmaps/138.bmp", bmp));
        std::filesystem::create_directories(dir / "velmObjBmp.dll");
        write("velmObjBmp.dll/IDB__T.bmp", bmp);
        write("velmObjBmp.dll/IDB_BORDOSEL.bmp", bmp);
        write("T.txt", kFreeObject);
        write("U.txt", kFreeObject);
    }
    void TearDown() override {
        zcui::ResetUi();
        ObjLanguage::TearDown();
    }
    static std::vector<std::string> words(int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) out.push_back("N" + std::to_string(i));
        return out;
    }
    static int shown(UINT id) {
        int n = 0;
        for (const auto& d : zcui::DialogsShown()) n += d.id == id;
        return n;
    }
    static CRect place(zcui::DialogUser& u, int id) {
        CRect r;
        CWnd* w = u.Dialog().GetDlgItem(id);
        if (!w) return r;
        w->GetWindowRect(&r);
        u.Dialog().ScreenToClient(&r);
        return r;
    }
    static int inserts() { return count("0=INSERT -3=VELM5$_$PARAMETRI-"); }
    // The command with its arguments, the menu answered by `act`.
    void runMenu(std::vector<std::string> answers, const std::function<void(zcui::DialogUser&)>& act) {
        zcui::InstallDialogDriver(IDD_MENUOBJ, act);
        for (const std::string& a : answers) push(a);
        CmdSlideMenu();
        zcui::RemoveDialogDriver(IDD_MENUOBJ);
    }
};

}  // namespace

TEST_F(SlideMenu, the_command_reads_a_full_grid_and_refuses_a_larger_one_before_its_names) {
    std::vector<std::string> answers = {"4", "5"};
    for (const std::string& w : words(20)) answers.push_back(w);
    answers.push_back("Okna i drzwi");
    int slides = 0;
    std::string caption, last;
    runMenu(answers, [&](zcui::DialogUser& u) {
        for (int i = 0; i < menuobj::kMaxSlides; ++i)
            slides += u.Dialog().GetDlgItem(menuobj::SlideId(i)) != nullptr;
        EXPECT_EQ(u.Dialog().GetDlgItem(120), nullptr);
        ASSERT_NE(u.Dialog().GetDlgItem(121), nullptr);
        EXPECT_EQ(place(u, 121).left, 10 + 4 * 236);
        EXPECT_EQ(place(u, 121).top, 10 + 3 * 146);
        caption = u.Dialog().GetWindowText();
        u.Cancel();
    });
    EXPECT_EQ(slides, 20);
    EXPECT_EQ(caption, "Okna i drzwi");
    EXPECT_EQ(transcript().find(kSyntax), std::string::npos);

    // 21 slides do not fit: nothing after the column count is read.
    push({"3", "7", "T"});
    CmdSlideMenu();
    EXPECT_NE(transcript().find(kSyntax), std::string::npos);
    char next[64] = {};
    ASSERT_EQ(zcedGetString(0, "", next), RTNORM);
    EXPECT_STREQ(next, "T");
    // A missing column count, a missing title, a negative count.
    for (std::initializer_list<std::string> bad :
         {std::initializer_list<std::string>{"1", ""}, {"1", "1", "T"}, {"-2", "-3"}}) {
        const std::size_t before = transcript().size();
        push(bad);
        CmdSlideMenu();
        EXPECT_NE(transcript().find(kSyntax, before), std::string::npos);
    }
    EXPECT_EQ(shown(IDD_MENUOBJ), 1);
}

TEST_F(SlideMenu, the_window_and_buttons_follow_the_grid_and_a_single_slide_is_440_wide) {
    struct Case {
        int rows, columns, width, height;
    };
    for (const Case& c : {Case{1, 1, 440, 218}, Case{2, 3, 728, 364}}) {
        CDlgMenuObj menu;
        const std::vector<std::string> names = words(c.rows * c.columns);
        menu.SetContent("Menu", c.rows, c.columns, names);
        CZcModuleResourceOverride use(VelmResourceHandle());
        zcui::InstallDialogDriver(IDD_MENUOBJ, [&](zcui::DialogUser& u) {
            CRect window;
            u.Dialog().GetClientRect(&window);
            EXPECT_EQ(window.Width(), c.width) << c.columns;
            EXPECT_EQ(window.Height(), c.height) << c.rows;
            const int half = c.width / 2;
            const std::pair<int, int> buttons[] = {{menuobj::kReplace, half - 218},
                                                   {menuobj::kInsert, half - 130},
                                                   {menuobj::kParameters, half - 42},
                                                   {menuobj::kEditSets, half + 46},
                                                   {IDCANCEL, half + 134}};
            for (const auto& [id, left] : buttons) {
                EXPECT_EQ(place(u, id).left, left) << id;
                EXPECT_EQ(place(u, id).top, c.height - 55) << id;
            }
            u.Cancel();
        });
        EXPECT_EQ(menu.DoModal(), IDCANCEL);
        EXPECT_EQ(menu.GetResultCode(), 0);
    }
}

TEST_F(SlideMenu, a_second_click_shows_the_picture_and_another_slide_moves_the_frame) {
    CDlgMenuObj menu;
    menu.SetContent("Menu", 1, 3, {"T", "U", "V"});
    bool framed = false;
    CRect first, moved;
    std::string picture;
    zcui::InstallDialogDriver(IDD_SLIDE, [&](zcui::DialogUser& u) {
        picture = dynamic_cast<CDlgSlide&>(u.Dialog()).ImageName();
        u.Ok();
    });
    CZcModuleResourceOverride use(VelmResourceHandle());
    zcui::InstallDialogDriver(IDD_MENUOBJ, [&](zcui::DialogUser& u) {
        auto* frame = u.Get<CStatic>(menuobj::kFrame);
        ASSERT_NE(frame, nullptr);
        framed = frame->GetBitmap() != nullptr;
        first = place(u, menuobj::kFrame);
        EXPECT_TRUE(u.Get<CStatic>(101)->GetBitmap());
        EXPECT_FALSE(u.Get<CStatic>(102)->GetBitmap());  // no picture for U
        u.Click(102);
        moved = place(u, menuobj::kFrame);
        EXPECT_EQ(shown(IDD_SLIDE), 0);
        u.Click(102);
        EXPECT_EQ(shown(IDD_SLIDE), 1);
        u.Click(menuobj::kInsert);
    });
    EXPECT_EQ(menu.DoModal(), IDOK);
    EXPECT_TRUE(framed);
    EXPECT_EQ(first.left, 10 - 4);
    EXPECT_EQ(first.top, 10);
    EXPECT_EQ(moved.left, 10 + 236 - 4);
    EXPECT_EQ(picture, "U");
    EXPECT_EQ(menu.GetResultCode(), menuobj::kResultInsert);
    EXPECT_EQ(menu.GetSelectedName(), "U");
}

TEST_F(SlideMenu, each_button_places_or_replaces_and_enter_places_the_last_definition) {
    // "Wstaw": placed without the parameter dialog, remembered as the last one.
    runMenu({"1", "2", "T", "U", "Obiekty", "100,50", ""}, [](zcui::DialogUser& u) {
        u.Click(102);
        u.Click(menuobj::kInsert);
    });
    EXPECT_EQ(inserts(), 1);
    EXPECT_EQ(shown(IDD_PAROBJ), 0);
    EXPECT_EQ(SettingString(SetupVar::ULTIMO_FMASTER, ""), "U");

    // "&Parametry": the parameter dialog first.
    runMenu({"1", "1", "T", "Obiekty", "200,50", ""},
            [](zcui::DialogUser& u) { u.Click(menuobj::kParameters); });
    EXPECT_EQ(inserts(), 2);
    EXPECT_EQ(shown(IDD_PAROBJ), 1);
    EXPECT_EQ(SettingString(SetupVar::ULTIMO_FMASTER, ""), "T");

    // "Anuluj", and a menu without names, place nothing.
    runMenu({"1", "1", "T", "Obiekty"}, [](zcui::DialogUser& u) { u.Cancel(); });
    runMenu({"0", "3", "Pusto"}, [](zcui::DialogUser& u) { u.Click(menuobj::kInsert); });
    EXPECT_EQ(inserts(), 2);

    // Enter at the first prompt: the last definition, no menu.
    const int menus = shown(IDD_MENUOBJ);
    push({"", "300,50", ""});
    CmdSlideMenu();
    EXPECT_EQ(inserts(), 3);
    EXPECT_EQ(shown(IDD_MENUOBJ), menus);

    // "Zastąp": the replace run asks for the objects to replace.
    const std::size_t before = transcript().size();
    runMenu({"1", "1", "U", "Obiekty", ""}, [](zcui::DialogUser& u) { u.Click(menuobj::kReplace); });
    EXPECT_EQ(inserts(), 3);
    EXPECT_NE(transcript().find("Wybierz obiekty do zastąpienia", before), std::string::npos);

    // "Ustaw. &param.": the set editor; cancelled, nothing is placed.
    zcui::InstallDialogDriver(IDD_TIPOLOGIE, [](zcui::DialogUser& u) { u.Cancel(); });
    runMenu({"1", "1", "T", "Obiekty"}, [](zcui::DialogUser& u) { u.Click(menuobj::kEditSets); });
    zcui::RemoveDialogDriver(IDD_TIPOLOGIE);
    EXPECT_EQ(shown(IDD_TIPOLOGIE), 1);
    EXPECT_EQ(inserts(), 3);
}
