// Property sheets (apply order, refusal, siblings, the active page at OK),
// modeless dialogs kept open across drives, resource files and handles, and
// the file dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "host/ads/rbutil.h"
#include "host/ui/hostdialogs.h"
#include "host/win/kept_files.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

class Page : public CPropertyPage {
public:
    Page(UINT id, int index, std::vector<std::string>& log) : CPropertyPage(id), index_(index), log_(log) {
        HandleCommand(EN_CHANGE, 1001, [this] { SetModified(TRUE); });
    }
    BOOL OnApply() override {
        log_.push_back("apply" + std::to_string(index_));
        if (value == "bad") return FALSE;
        return CPropertyPage::OnApply();
    }
    void OnOK() override {
        CPropertyPage::OnOK();
        activeAtOk = GetSheet()->GetActiveIndex();
    }
    void OnReset() override { log_.push_back("reset" + std::to_string(index_)); }
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 1001, value); }
    LRESULT OnQuerySiblings(WPARAM wp, LPARAM) override { return wp == 7 && index_ == 0 ? 42 : 0; }
    std::string value;
    int activeAtOk = -1;

private:
    int index_;
    std::vector<std::string>& log_;
};

class Sheet : public CPropertySheet {
public:
    Sheet() : CPropertySheet("Opcje"), first(520, 0, log), second(521, 1, log) {
        AddPage(&first);
        AddPage(&second);
        m_psh.dwFlags |= PSH_HASHELP;
        HandleCommand(BN_CLICKED, ID_HELP, [this] { ++help; });
    }
    std::vector<std::string> log;
    Page first, second;
    int help = 0;
};

TEST_F(UiTest, apply_runs_every_created_page_in_order_and_ok_applies_again) {
    Queue(R"(520 edit 1001 "a" page 1 edit 1001 "b" apply help ok)");
    Sheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(sheet.log, (std::vector<std::string>{"apply0", "apply1", "apply0", "apply1"}));
    EXPECT_EQ(sheet.first.value, "a");
    EXPECT_EQ(sheet.second.value, "b");
    EXPECT_EQ(sheet.second.activeAtOk, 1);
    EXPECT_EQ(sheet.help, 1);
}

TEST_F(UiTest, pages_never_shown_are_not_applied_and_apply_needs_a_change) {
    Queue(R"(520 apply)");
    Sheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);  // the Apply button was disabled: the driver failed
    EXPECT_NE(zcui::DriverErrors().at(0).find("disabled"), std::string::npos);

    Sheet plain;
    EXPECT_EQ(plain.DoModal(), IDOK);
    EXPECT_EQ(plain.log, (std::vector<std::string>{"apply0"}));
}

TEST_F(UiTest, a_page_refusing_apply_becomes_active_and_the_sheet_stays_open) {
    int activeAfterRefusal = -1;
    zcui::InstallDialogDriver(520, [&](zcui::DialogUser& u) {
        u.Page(1);
        u.Edit(1001, "bad");
        u.Page(0);
        u.Ok();
        activeAfterRefusal = u.Ended() ? -2 : static_cast<CPropertySheet&>(u.Dialog()).GetActiveIndex();
        u.Cancel();
    });
    Sheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(activeAfterRefusal, 1);
    EXPECT_EQ(sheet.log, (std::vector<std::string>{"apply0", "apply1", "reset0", "reset1"}));
}

TEST_F(UiTest, query_siblings_takes_the_first_non_zero_answer_of_created_pages) {
    LRESULT beforeFirstShown = -1, answer = -1, unknown = -1;
    zcui::InstallDialogDriver(520, [&](zcui::DialogUser& u) {
        auto& sheet = static_cast<Sheet&>(u.Dialog());
        u.Page(1);
        answer = sheet.second.QuerySiblings(7, 0);
        unknown = sheet.second.QuerySiblings(8, 0);
        u.Cancel();
    });
    Sheet sheet;
    beforeFirstShown = sheet.second.QuerySiblings(7, 0);  // no sheet window yet
    sheet.DoModal();
    EXPECT_EQ(beforeFirstShown, 0);
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(unknown, 0);
}

TEST_F(UiTest, sheet_opens_on_the_requested_page) {
    Sheet sheet;
    sheet.SetActivePage(1);
    int active = -1;
    zcui::InstallDialogDriver(520, [&](zcui::DialogUser& u) {
        active = static_cast<CPropertySheet&>(u.Dialog()).GetActiveIndex();
        u.Ok();
    });
    sheet.DoModal();
    EXPECT_EQ(active, 1);
    EXPECT_EQ(sheet.log, (std::vector<std::string>{"apply1"}));
}

// A palette that applies its fields on "Zastosuj" and goes away on "Zamknij",
// deleting itself as modeless windows do.
class Palette : public CDialog {
public:
    explicit Palette(std::vector<std::string>& applied) : applied_(applied) {
        HandleCommand(BN_CLICKED, 1230, [this] {
            UpdateData(TRUE);
            applied_.push_back(height + "/" + std::to_string(keep));
        });
        HandleCommand(BN_CLICKED, 1229, [this] { OnCancel(); });
        HandleMessage(WM_APP + 0x101, [](WPARAM, LPARAM) -> LRESULT { return TRUE; });
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, 1036, height);
        DDX_Check(dx, 1201, keep);
    }
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }
    std::string height;
    int keep = 2;

private:
    std::vector<std::string>& applied_;
};

TEST_F(UiTest, modeless_dialog_stays_open_across_drives_until_closed) {
    std::vector<std::string> applied;
    auto* palette = new Palette(applied);
    ASSERT_TRUE(palette->Create(530));
    EXPECT_EQ(zcui::FindModeless(530), palette);

    std::string error;
    ASSERT_TRUE(zcui::RunDialogScript(R"(530 edit 1036 "300" click 1230)", &error)) << error;
    EXPECT_EQ(zcui::FindModeless(530), palette);
    ASSERT_TRUE(zcui::RunDialogScript(R"(530 check 1201 1 click 1230 message 33025)", &error)) << error;
    EXPECT_EQ(applied, (std::vector<std::string>{"300/2", "300/1"}));
    EXPECT_TRUE(zcui::DriveModeless(530, [](zcui::DialogUser& u) {
        u.Message(WM_APP + 0x101);
        EXPECT_EQ(u.LastResult(), TRUE);
    }));

    ASSERT_TRUE(zcui::RunDialogScript(R"(530 click 1229)", &error)) << error;
    EXPECT_EQ(zcui::FindModeless(530), nullptr);  // closed and deleted
    EXPECT_TRUE(zcui::DriverErrors().empty());
    // With no palette open, a line waits for the next opening.
    EXPECT_FALSE(zcui::DriveModeless(530, nullptr));
}

TEST_F(UiTest, the_module_resource_files_read_cleanly) {
    std::string error;
    HINSTANCE module = zcuiRegisterResourceFolder(VELM_SOURCE_DIR "/resources", &error);
    ASSERT_NE(module, nullptr) << error;
    {
        CZcModuleResourceOverride use(module);
        EXPECT_EQ(AfxGetResourceHandle(), module);
        EXPECT_EQ(ResourceString(1040), "\nNie można zdefiniować %s");
        const DialogTemplate* t = FindDialogTemplate(176);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->caption, "Warstwy ścian");
        EXPECT_EQ(t->width, 212);
        EXPECT_EQ(t->height, 111);
        auto list =
            std::find_if(t->controls.begin(), t->controls.end(), [](auto& c) { return c.id == 1034; });
        ASSERT_NE(list, t->controls.end());
        EXPECT_EQ(list->kind, ControlKind::ListBox);
        EXPECT_EQ(list->style & (LBS_SORT | LBS_EXTENDEDSEL | LBS_WANTKEYBOARDINPUT),
                  LBS_SORT | LBS_EXTENDEDSEL | LBS_WANTKEYBOARDINPUT);
        CImageList images;
        ASSERT_TRUE(images.Create(138u, 16, 0, RGB(255, 0, 255)));
        EXPECT_EQ(images.GetImageCount(), 6);
        EXPECT_EQ(images.GetMaskColor(), RGB(255, 0, 255));
    }
    EXPECT_EQ(AfxGetResourceHandle(), templates_.handle());  // put back
    EXPECT_TRUE(ResourceString(1040).empty());
    zcuiUnregisterResources(module);
}

TEST_F(UiTest, a_bad_resource_file_registers_nothing_and_names_the_line) {
    std::string error;
    const char* text = "string 1 \"a\"\ndialog 2 \"x\" 10 10\n  edittext 5 \"\" 0 0 5 5 sideways\nend\n";
    EXPECT_EQ(zcuiRegisterResources("bad", {{"bad.txt", text}}, &error), nullptr);
    EXPECT_EQ(error, "bad.txt:3: unknown style word 'sideways' for edittext");
    EXPECT_EQ(zcuiRegisterResources("bad", {{"b.txt", "string 1 \"a\"\nstring 1 \"b\"\n"}}, &error), nullptr);
    EXPECT_EQ(error, "b.txt:2: string 1 given twice");
    EXPECT_EQ(zcuiRegisterResources("bad", {{"c.txt", "dialog 3 \"x\" 10 10\n"}}, &error), nullptr);
    EXPECT_NE(error.find("missing \"end\""), std::string::npos);
    EXPECT_EQ(zcuiRegisterResources("bad", {{"d.bmp", "BM not really"}}, &error), nullptr);
    EXPECT_EQ(error, "d.bmp: not a readable BMP file");
}

TEST_F(UiTest, a_missing_template_fails_the_dialog_without_a_crash) {
    CDialog dlg(999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(zcui::DriverErrors().at(0), "dialog 999 has no template");
}

class TempDir {
public:
    TempDir()
        : path_(std::filesystem::temp_directory_path() /
                ("velm_ui_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return (path_ / name).string();
    }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

std::string TinyBmp(int w, int h) {
    std::string b(54 + ((w * 3 + 3) / 4 * 4) * h, '\0');
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54), put32(14, 40), put32(18, static_cast<std::uint32_t>(w)),
        put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1, b[28] = 24;
    return b;
}

TEST_F(UiTest, bitmap_library_folders_find_pictures_by_name_ignoring_case) {
    TempDir lib;
    lib.File("IDB_PORTA.bmp", TinyBmp(230, 140));
    lib.File("IDB_BROKEN.bmp", TinyBmp(230, 140).substr(0, 100));
    HBITMAP door = LoadBitmapFromLibrary(lib.Path(), "idb_porta");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->width, 230);
    EXPECT_EQ(door->height, 140);
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path(), "IDB_BROKEN"), nullptr);
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path(), "IDB_NONE"), nullptr);
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path() + "/missing", "IDB_PORTA"), nullptr);
    // The folder named with a closing separator is the same folder.
    HBITMAP again = LoadBitmapFromLibrary(lib.Path() + "/", "IDB_PORTA");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->width, 230);
}

// A library's picture found by its exact name serves while its file stays
// as it was; the next command sees it replaced, or gone.
TEST_F(UiTest, a_library_picture_kept_goes_stale_when_its_file_is_replaced_or_removed) {
    TempDir lib;
    const std::string file = lib.File("IDB_PORTA.bmp", TinyBmp(230, 140));
    host::startCommandKeptFileValues();
    HBITMAP first = LoadBitmapFromLibrary(lib.Path(), "IDB_PORTA");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path(), "IDB_PORTA"), first);
    EXPECT_EQ(LoadBitmapFromFile(file), first);
    lib.File("IDB_PORTA.bmp", TinyBmp(20, 10));
    host::forgetCommandKeptFileValues();
    host::startCommandKeptFileValues();
    HBITMAP replaced = LoadBitmapFromLibrary(lib.Path(), "IDB_PORTA");
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->width, 20);
    std::filesystem::remove(file);
    host::forgetCommandKeptFileValues();
    host::startCommandKeptFileValues();
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path(), "IDB_PORTA"), nullptr);
    host::forgetCommandKeptFileValues();
}

TEST_F(UiTest, a_picture_shown_again_is_decoded_once_while_its_file_stays_as_it_was) {
    host::startCommandKeptFileValues();  // as a command showing pictures does
    TempDir lib;
    const std::string file = lib.File("IDB_PORTA.bmp", TinyBmp(230, 140));
    HBITMAP first = LoadBitmapFromFile(file);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadBitmapFromFile(file), first);
    EXPECT_EQ(LoadBitmapFromLibrary(lib.Path(), "IDB_PORTA"), first);
    // Replaced by another program: the command goes on with what it
    // looked at; the next shows the new picture, not the kept one.
    lib.File("IDB_PORTA.bmp", TinyBmp(20, 10));
    EXPECT_EQ(LoadBitmapFromFile(file), first);
    host::forgetCommandKeptFileValues();
    host::startCommandKeptFileValues();
    HBITMAP replaced = LoadBitmapFromFile(file);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->width, 20);
    // Removed: nothing is shown by the next command.
    std::filesystem::remove(file);
    host::forgetCommandKeptFileValues();
    host::startCommandKeptFileValues();
    EXPECT_EQ(LoadBitmapFromFile(file), nullptr);
    // What the first read gave is unchanged for whoever still shows it.
    EXPECT_EQ(first->width, 230);
    host::forgetCommandKeptFileValues();
}

// A picture decoded by one command serves the next while its file is as it
// was; one of the same size in bytes and the same time put in its place, or
// the file removed, is seen.
TEST_F(UiTest, a_decoded_picture_serves_later_commands_until_its_file_is_replaced_or_removed) {
    TempDir lib;
    ASSERT_EQ(TinyBmp(40, 20).size(), TinyBmp(20, 40).size());
    const std::string file = lib.File("IDB_PORTA.bmp", TinyBmp(40, 20));
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
    std::filesystem::last_write_time(file, old);
    HBITMAP first = LoadBitmapFromFile(file);
    ASSERT_NE(first, nullptr);
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(LoadBitmapFromFile(file), first);

    const std::string other = lib.File("OTHER.bmp", TinyBmp(20, 40));
    std::filesystem::last_write_time(other, old);
    std::filesystem::rename(other, file);
    HBITMAP replaced = LoadBitmapFromFile(file);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->width, 20);

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(LoadBitmapFromFile(file), nullptr);
    host::forgetKeptFileValues();
}

TEST_F(UiTest, file_dialog_opens_existing_files_and_asks_before_replacing) {
    TempDir dir;
    std::string existing = dir.File("LAYERPOV.DEF", "x");
    resbuf rb;
    Queue((std::string("file edit 1152 \"") + existing + "\" ok").c_str());
    EXPECT_EQ(zcedGetFileD("Otwórz", nullptr, "def", 0, &rb), RTNORM);
    ASSERT_EQ(rb.restype, RTSTR);
    EXPECT_EQ(std::string(rb.resval.rstring), existing);
    delete[] rb.resval.rstring;

    // A missing file is refused and the dialog stays open; then cancel.
    Queue((std::string("file edit 1152 \"") + dir.Path() + "/none\" ok cancel").c_str());
    EXPECT_EQ(zcedGetFileD("Otwórz", nullptr, "def", 0, &rb), RTCAN);
    EXPECT_EQ(zcui::MessageBoxes().back().text.rfind("Nie znaleziono pliku:", 0), 0u);

    // Replacing asks; "no" keeps the dialog open, the extension is added.
    zcui::QueueMessageBoxAnswer(IDNO);
    Queue((std::string("file edit 1152 \"") + dir.Path() + "/LAYERPOV\" ok cancel").c_str());
    EXPECT_EQ(zcedGetFileD("Zapisz", nullptr, "DEF", ZCUI_FILE_NEW, &rb), RTCAN);
    EXPECT_NE(zcui::MessageBoxes().back().text.find("już istnieje"), std::string::npos);

    resbuf* list = nullptr;
    Queue("file click 1153");
    EXPECT_EQ(zcedGetFileNavDialog("Plik definicji obiektu", dir.Path().c_str(), "txt", "x", 24, &list),
              RTNORM);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->restype, RTSHORT);
    delete list;

    zcui::SetFilePromptHook([](const zcui::FileRequest& r, std::string& path) -> std::optional<int> {
        path = "typed." + r.extension;
        return RTNORM;
    });
    EXPECT_EQ(zcedGetFileD("x", nullptr, "dxf", 0, &rb), RTNORM);
    EXPECT_EQ(std::string(rb.resval.rstring), "typed.dxf");
    delete[] rb.resval.rstring;
    zcui::SetFilePromptHook(nullptr);
}

TEST_F(UiTest, file_dialog_takes_flag_16_without_extension_as_a_folder_choice) {
    TempDir dir;
    std::string file = dir.File("scene.pov", "x");
    resbuf* list = nullptr;
    // A folder is what is asked for: it is taken, a file is refused.
    Queue((std::string("file edit 1152 \"") + file + "\" ok edit 1152 \"" + dir.Path() + "\" ok").c_str());
    ASSERT_EQ(zcedGetFileNavDialog("Katalog", "", "", "Directory pov", ZCUI_FILE_FOLDER_CHOICE, &list),
              RTNORM);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::string(list->resval.rstring), dir.Path());
    EXPECT_EQ(zcui::MessageBoxes().back().text.rfind("Nie znaleziono folderu:", 0), 0u);
    zcutRelRb(list);
    // With an extension 16 still asks for a file (object definitions).
    list = nullptr;
    Queue((std::string("file edit 1152 \"") + file + "\" ok").c_str());
    ASSERT_EQ(zcedGetFileNavDialog("Plik", dir.Path().c_str(), "pov", "x", 24, &list), RTNORM);
    EXPECT_EQ(std::string(list->resval.rstring), file);
    zcutRelRb(list);
    // Several extensions: any of them is kept, none gets the first.
    list = nullptr;
    Queue((std::string("file edit 1152 \"") + dir.File("a.png", "x") + "\" ok").c_str());
    ASSERT_EQ(zcedGetFileNavDialog("Plik obrazu", "", "bmp;gif;png;jpg", "x", 0, &list), RTNORM);
    EXPECT_EQ(std::string(list->resval.rstring), dir.Path() + "/a.png");
    zcutRelRb(list);
}

}  // namespace
