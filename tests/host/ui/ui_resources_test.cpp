// Resource text, BMP headers, menus from resources and the text helpers the
// lists sort and search with.
#include <gtest/gtest.h>

#include <random>

#include "host/ui/menu.h"
#include "host/ui/uitext.h"
#include "host/win/textutil.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

TEST(UiResourceText, texts_keep_escapes_hashes_and_polish_letters) {
    ResourceModule m;
    std::string error;
    const char* text =
        "\xEF\xBB\xBF# comment\r\n"
        "string 1 \"a # not a comment\"   # but this is\r\n"
        "string 2 \"line\\none \\\"quoted\\\" back\\\\slash\"\n"
        "string 0x10 \"Ściana\"\n";
    ASSERT_TRUE(ParseResourceText(text, "s.txt", m, &error)) << error;
    EXPECT_EQ(m.strings.at(1), "a # not a comment");
    EXPECT_EQ(m.strings.at(2), "line\none \"quoted\" back\\slash");
    EXPECT_EQ(m.strings.at(16), "Ściana");
}

TEST(UiResourceText, control_words_set_the_styles_of_their_kind) {
    ResourceModule m;
    std::string error;
    const char* text = R"(dialog 7 "Okno" 100 50 font 10 "Arial" contexthelp
  checkbox 1 "a" 0 0 10 10 manual
  radiobutton 2 "b" 0 0 10 10 group manual
  edittext 3 "" 0 0 10 10 right readonly hidden
  combobox 4 "" 0 0 10 10 dropdownlist sort
  listview 5 "" 0 0 10 10 report singlesel 0x40000000
  picture 6 "138" 0 0 10 10 notify
  ltext -1 "x" 0 0 10 10
  ltext -1 "y" 0 0 10 10
end)";
    ASSERT_TRUE(ParseResourceText(text, "d.txt", m, &error)) << error;
    const DialogTemplate& d = m.dialogs.at(7);
    EXPECT_EQ(d.fontPoints, 10);
    EXPECT_EQ(d.fontFace, "Arial");
    EXPECT_EQ(d.exStyle, WS_EX_CONTEXTHELP);
    ASSERT_EQ(d.controls.size(), 8u);  // repeated static ids are fine
    EXPECT_EQ(d.controls[0].style & BS_TYPEMASK, BS_CHECKBOX);
    EXPECT_EQ(d.controls[1].style & (BS_TYPEMASK | WS_GROUP), BS_RADIOBUTTON | WS_GROUP);
    EXPECT_EQ(d.controls[2].style & (ES_RIGHT | ES_READONLY | WS_VISIBLE), ES_RIGHT | ES_READONLY);
    EXPECT_EQ(d.controls[3].style & (CBS_TYPEMASK | CBS_SORT), CBS_DROPDOWNLIST | CBS_SORT);
    EXPECT_EQ(d.controls[4].style & (LVS_REPORT | LVS_SINGLESEL), LVS_REPORT | LVS_SINGLESEL);
    EXPECT_EQ(d.controls[5].style & (SS_TYPEMASK | SS_NOTIFY), SS_BITMAP | SS_NOTIFY);
    EXPECT_EQ(d.controls[1].rect, CRect(0, 0, 10, 10));
}

TEST(UiResourceText, a_sheet_keeps_its_pages_in_order) {
    ResourceModule m;
    std::string error;
    ASSERT_TRUE(ParseResourceText("sheet 1016 147 262 142\n", "s.txt", m, &error)) << error;
    EXPECT_EQ(m.sheets.at(1016), (std::vector<UINT>{147, 262, 142}));
}

TEST(UiResourceText, errors_name_the_file_and_line) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"string x \"a\"", "f.txt:1: expected: string ID \"text\""},
        {"\nwindow 1", "f.txt:2: unknown statement 'window'"},
        {"dialog 1 \"a\" 0 10\nend", "f.txt:1: expected: dialog ID \"caption\" WIDTH HEIGHT"},
        {"dialog 1 \"a\" 10 10\n button 1 \"\" 0 0 1 1\nend", "f.txt:2: unknown control kind 'button'"},
        {"dialog 1 \"a\" 10 10\n edittext 1 \"\" 0 0 1\nend",
         "f.txt:2: expected: KIND ID \"text\" X Y WIDTH HEIGHT [word…]"},
        {"dialog 1 \"a\" 10 10\n edittext 1 \"\" 0 0 1 1\n edittext 1 \"\" 0 0 1 1\nend",
         "f.txt:3: control 1 given twice"},
        {"menu 1\n popup \"a\"\n  item 2 \"b\" bold\n end\nend", "f.txt:3: unknown menu word 'bold'"},
        {"string 1 \"open", "f.txt:1: unterminated text"},
        {"sheet 1016", "f.txt:1: expected: sheet ID PAGE…"},
        {"sheet 1016 147 x", "f.txt:1: expected: sheet ID PAGE…"},
        {"sheet 1016 147\nsheet 1016 148", "f.txt:2: sheet 1016 given twice"},
    };
    for (const Case& c : cases) {
        ResourceModule m;
        std::string error;
        EXPECT_FALSE(ParseResourceText(c.text, "f.txt", m, &error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(UiTest, menus_load_from_resources_and_send_the_choice_to_their_owner) {
    std::string error;
    HINSTANCE h = zcuiRegisterResources(
        "menus",
        {{"m.txt",
          "menu 40\n popup \"Widok\"\n  item 41 \"2D\" checked\n  separator\n  item 42 \"3D\"\n end\nend\n"}},
        &error);
    ASSERT_NE(h, nullptr) << error;
    CZcModuleResourceOverride use(h);
    CMenu bar;
    ASSERT_TRUE(bar.LoadMenu(40));
    CMenu* popup = bar.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMenuItemCount(), 3);
    EXPECT_EQ(popup->GetMenuItemID(2), 42u);
    EXPECT_EQ(popup->GetMenuState(41, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    popup->CheckMenuItem(41, MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_EQ(popup->GetMenuState(41, MF_BYCOMMAND) & MF_CHECKED, 0u);

    CWnd owner;
    owner.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 10, 10), nullptr, 0);
    int chosen = 0;
    owner.HandleCommand(0, 42, [&] { chosen = 42; });
    zcui::QueueMenuAnswer(42);
    EXPECT_TRUE(popup->TrackPopupMenu(TPM_LEFTALIGN, 0, 0, &owner));
    EXPECT_EQ(chosen, 42);
    EXPECT_FALSE(bar.LoadMenu(99));
    zcuiUnregisterResources(h);
}

TEST_F(UiTest, an_unregistered_handle_is_no_longer_current) {
    std::string error;
    HINSTANCE h = zcuiRegisterResources("tmp", {{"t.txt", "string 5 \"pięć\"\n"}}, &error);
    ASSERT_NE(h, nullptr);
    AfxSetResourceHandle(h);
    EXPECT_EQ(ResourceString(5), "pięć");
    zcuiUnregisterResources(h);
    EXPECT_EQ(AfxGetResourceHandle(), zcuiHostResources());
    EXPECT_EQ(ResourceString(5), "");
    EXPECT_NE(FindDialogTemplate(zcui::kColorDialogId), nullptr);  // the host's own stay reachable
}

std::string Bmp(int header, long w, long h, int bpp, size_t pixels, int planes = 1) {
    std::string b(14 + header, '\0');
    auto put = [&](size_t at, long v, int n) {
        for (int k = 0; k < n; ++k)
            b[at + k] = static_cast<char>((static_cast<unsigned long>(v) >> (8 * k)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put(10, 14 + header, 4);
    put(14, header, 4);
    if (header == 12) {
        put(18, w, 2), put(20, h, 2), put(22, planes, 2), put(24, bpp, 2);
    } else {
        put(18, w, 4), put(22, h, 4), put(26, planes, 2), put(28, bpp, 2);
    }
    b += std::string(pixels, '\0');
    put(2, static_cast<long>(b.size()), 4);
    return b;
}

TEST(UiBmp, headers_are_read_and_damaged_files_refused) {
    auto ok = ReadBmp(Bmp(40, 16, -4, 24, 16 * 3 * 4), "a");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->width, 16);
    EXPECT_EQ(ok->height, 4);  // rows stored top-down
    auto core = ReadBmp(Bmp(12, 5, 3, 8, 8 * 3), "b");
    ASSERT_TRUE(core);
    EXPECT_EQ(core->width, 5);
    EXPECT_FALSE(ReadBmp(Bmp(40, 16, 4, 24, 10), "short"));
    EXPECT_FALSE(ReadBmp(Bmp(40, 16, 4, 3, 1000), "depth"));
    EXPECT_FALSE(ReadBmp(Bmp(40, 0, 4, 24, 100), "empty"));
    EXPECT_FALSE(ReadBmp(Bmp(40, 4, 4, 24, 100, 2), "planes"));
    EXPECT_FALSE(ReadBmp("BM", "tiny"));
    EXPECT_FALSE(ReadBmp(std::string(60, 'x'), "not"));
}

TEST(UiText, folding_and_sorting_know_polish_letters) {
    EXPECT_EQ(zcui::FoldUpper("zażółć gęślą jaźń"), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ");
    EXPECT_EQ(zcui::FoldLower("ÀÈÉÌÒÙ"), "àèéìòù");
    EXPECT_TRUE(host::iequals("ŚCIANY", "ściany"));
    EXPECT_TRUE(zcui::StartsWithNoCase("Łuki", "łu"));
    EXPECT_EQ(zcui::CodePointCount("łódź"), 4);
    EXPECT_EQ(zcui::CodePointCount("\xC5"), 1);  // a cut sequence counts once
    // ASCII runs are counted apart from the decoder: mixed with letters,
    // cut sequences and stray bytes, the count is still the decoder's.
    const std::vector<std::string> pieces{
        "a", "Z", " ", "ł", "€", "𝄞", "\xC5", "\xE2\x82", "\x80", "\xFF", "Powierzchnia ", "użytkowa"};
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1), len(0, 12);
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (std::size_t k = len(rng); k > 0; --k) text += pieces[pick(rng)];
        int decoded = 0;
        for (std::size_t at = 0; at < text.size(); ++decoded) host::decodeUtf8(text, at);
        ASSERT_EQ(zcui::CodePointCount(text), decoded) << text;
    }
    // a < ą < b, s < ś < t, z < ź < ż; case does not decide.
    std::vector<std::string> words = {"żaba", "Tama", "świt", "Ąb", "ab", "zebra", "sowa", "źle", "B"};
    std::sort(words.begin(), words.end(), [](auto& a, auto& b) { return zcui::CollateCompare(a, b) < 0; });
    EXPECT_EQ(words,
              (std::vector<std::string>{"ab", "Ąb", "B", "sowa", "świt", "Tama", "zebra", "źle", "żaba"}));
}

// Scripts and resource lines share one tokeniser; only the resource text
// treats '#' as a comment and "\r" as a carriage return.
TEST(UiText, comment_and_return_escape_only_where_the_rules_ask) {
    const std::string line = "say \"a\\rb\" #x \"open";
    std::vector<zcui::LineToken> toks;
    std::string error;
    ASSERT_TRUE(zcui::TokeniseLine(line, toks, error, {true, true, "cut"}));
    ASSERT_EQ(toks.size(), 2u);
    EXPECT_EQ(toks[1].text, "a\rb");
    EXPECT_TRUE(toks[1].quoted);
    toks.clear();
    EXPECT_FALSE(zcui::TokeniseLine(line, toks, error, {false, false, "cut"}));
    EXPECT_EQ(error, "cut");  // the '#' no longer hides the open quote
    ASSERT_GE(toks.size(), 3u);
    EXPECT_EQ(toks[1].text, "arb");
    EXPECT_EQ(toks[2].text, "#x");
    EXPECT_FALSE(toks[2].quoted);
}

TEST(UiText, sorted_lists_put_bytes_that_are_not_utf8_after_letters) {
    EXPECT_LT(zcui::CollateCompare("żaba", "\xE5"), 0);
    EXPECT_GT(zcui::CollateCompare("a\xC5", "aŻ"), 0);
    EXPECT_EQ(zcui::CollateCompare("\xE5", "\xE5"), 0);
    EXPECT_NE(zcui::CollateCompare("\xE5", "\xC5"), 0);
}

}  // namespace
