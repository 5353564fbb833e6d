// Resource text parser, the registry of resource handles and the lookups.
// Parsing is all-or-nothing: a module is built aside and registered only
// when every file read cleanly.
#include "host/ui/resources.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>

#include "host/ui/controls.h"
#include "host/ui/listctrl.h"
#include "host/ui/menu.h"
#include "host/ui/uitext.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/textutil.h"

namespace zcui {
extern const char* const kHostResourceText;  // the host's own dialogs (hostdialogs.cpp)
}

namespace {

// ---------------------------------------------------------------- tokens

using Token = zcui::LineToken;

bool Tokenise(std::string_view line, std::vector<Token>& out, std::string& error) {
    return zcui::TokeniseLine(line, out, error, {true, true, "unterminated text"});
}

bool ToInt(const Token& t, long& v) {
    if (t.quoted || t.text.empty()) return false;
    char* end = nullptr;
    v = std::strtol(t.text.c_str(), &end, 0);
    return end && *end == '\0' && v >= -100000000 && v <= 100000000;
}

// ---------------------------------------------------------------- styles

struct KindInfo {
    const char* word;
    ControlKind kind;
    DWORD style;
};
constexpr KindInfo kKinds[] = {
    {"pushbutton", ControlKind::Button, BS_PUSHBUTTON | WS_TABSTOP},
    {"defpushbutton", ControlKind::Button, BS_DEFPUSHBUTTON | WS_TABSTOP},
    {"checkbox", ControlKind::Button, BS_AUTOCHECKBOX | WS_TABSTOP},
    {"auto3state", ControlKind::Button, BS_AUTO3STATE | WS_TABSTOP},
    {"radiobutton", ControlKind::Button, BS_AUTORADIOBUTTON | WS_TABSTOP},
    {"groupbox", ControlKind::Button, BS_GROUPBOX},
    {"ltext", ControlKind::Static, SS_LEFT},
    {"ctext", ControlKind::Static, SS_CENTER},
    {"rtext", ControlKind::Static, SS_RIGHT},
    {"picture", ControlKind::Static, SS_BITMAP},
    {"edittext", ControlKind::Edit, WS_BORDER | WS_TABSTOP},
    {"listbox", ControlKind::ListBox, LBS_NOTIFY | WS_BORDER | WS_TABSTOP},
    {"combobox", ControlKind::ComboBox, CBS_DROPDOWN | WS_TABSTOP},
    {"listview", ControlKind::ListView, WS_BORDER | WS_TABSTOP},
    {"treeview", ControlKind::TreeView, WS_BORDER | WS_TABSTOP},
    {"slider", ControlKind::Slider, WS_TABSTOP},
    {"scrollbar", ControlKind::ScrollBar, SBS_HORZ},
    {"header", ControlKind::Header, 0},
};

// Applies one style word to a control of the kind; false for an unknown word.
bool ApplyWord(ControlKind kind, const std::string& w, DWORD& style) {
    using K = ControlKind;
    auto set = [&](DWORD bits) { return style |= bits, true; };
    auto clear = [&](DWORD bits) { return style &= ~bits, true; };
    auto type = [&](DWORD mask, DWORD bits) { return style = (style & ~mask) | bits, true; };
    if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) {
        char* end = nullptr;
        unsigned long v = std::strtoul(w.c_str(), &end, 16);
        return end && *end == '\0' && set(static_cast<DWORD>(v));
    }
    if (w == "group") return set(WS_GROUP);
    if (w == "tabstop") return set(WS_TABSTOP);
    if (w == "notabstop") return clear(WS_TABSTOP);
    if (w == "disabled") return set(WS_DISABLED);
    if (w == "hidden") return clear(WS_VISIBLE);
    if (w == "border") return set(WS_BORDER);
    if (w == "vscroll") return set(WS_VSCROLL);
    if (w == "hscroll") return set(WS_HSCROLL);
    switch (kind) {
        case K::Button:
            if (w == "default") return type(BS_TYPEMASK, BS_DEFPUSHBUTTON);
            if (w == "ownerdraw") return type(BS_TYPEMASK, BS_OWNERDRAW);
            if (w == "pushlike") return set(BS_PUSHLIKE);
            if (w == "bitmap") return set(BS_BITMAP);
            if (w == "notify") return set(BS_NOTIFY);
            if (w == "3state") return type(BS_TYPEMASK, BS_3STATE);
            if (w == "manual") {
                DWORD t = style & BS_TYPEMASK;
                if (t == BS_AUTOCHECKBOX) return type(BS_TYPEMASK, BS_CHECKBOX);
                if (t == BS_AUTORADIOBUTTON) return type(BS_TYPEMASK, BS_RADIOBUTTON);
                if (t == BS_AUTO3STATE) return type(BS_TYPEMASK, BS_3STATE);
                return true;
            }
            return false;
        case K::Static:
            if (w == "notify") return set(SS_NOTIFY);
            if (w == "realsize") return set(SS_REALSIZEIMAGE);
            if (w == "sunken") return set(SS_SUNKEN);
            if (w == "left") return type(SS_TYPEMASK, SS_LEFT);
            if (w == "center") return type(SS_TYPEMASK, SS_CENTER);
            if (w == "right") return type(SS_TYPEMASK, SS_RIGHT);
            return false;
        case K::Edit:
            if (w == "readonly") return set(ES_READONLY);
            if (w == "multiline") return set(ES_MULTILINE);
            if (w == "uppercase") return set(ES_UPPERCASE);
            if (w == "password") return set(ES_PASSWORD);
            if (w == "number") return set(ES_NUMBER);
            if (w == "autohscroll") return set(ES_AUTOHSCROLL);
            if (w == "wantreturn") return set(ES_WANTRETURN);
            if (w == "left") return clear(ES_RIGHT | ES_CENTER);
            if (w == "center") return set(ES_CENTER);
            if (w == "right") return set(ES_RIGHT);
            if (w == "noborder") return clear(WS_BORDER);
            return false;
        case K::ListBox:
            if (w == "sort") return set(LBS_SORT);
            if (w == "multiple") return set(LBS_MULTIPLESEL);
            if (w == "extended") return set(LBS_EXTENDEDSEL);
            if (w == "wantkeys") return set(LBS_WANTKEYBOARDINPUT);
            if (w == "ownerdraw") return set(LBS_OWNERDRAWFIXED);
            if (w == "notify") return set(LBS_NOTIFY);
            if (w == "nonotify") return clear(LBS_NOTIFY);
            return false;
        case K::ComboBox:
            if (w == "sort") return set(CBS_SORT);
            if (w == "dropdown") return type(CBS_TYPEMASK, CBS_DROPDOWN);
            if (w == "dropdownlist") return type(CBS_TYPEMASK, CBS_DROPDOWNLIST);
            if (w == "simple") return type(CBS_TYPEMASK, CBS_SIMPLE);
            if (w == "autohscroll") return set(CBS_AUTOHSCROLL);
            if (w == "ownerdraw") return set(CBS_OWNERDRAWFIXED);
            return false;
        case K::ListView:
            if (w == "report") return set(LVS_REPORT);
            if (w == "singlesel") return set(LVS_SINGLESEL);
            if (w == "showselalways") return set(LVS_SHOWSELALWAYS);
            if (w == "editlabels") return set(LVS_EDITLABELS);
            if (w == "ownerdraw") return set(LVS_OWNERDRAWFIXED);
            if (w == "nosortheader") return set(LVS_NOSORTHEADER);
            return false;
        case K::TreeView:
            if (w == "hasbuttons") return set(TVS_HASBUTTONS);
            if (w == "haslines") return set(TVS_HASLINES);
            if (w == "linesatroot") return set(TVS_LINESATROOT);
            if (w == "editlabels") return set(TVS_EDITLABELS);
            if (w == "showselalways") return set(TVS_SHOWSELALWAYS);
            return false;
        case K::Slider:
            if (w == "vertical") return set(TBS_VERT);
            if (w == "autoticks") return set(TBS_AUTOTICKS);
            return false;
        case K::ScrollBar:
            if (w == "vertical") return set(SBS_VERT);
            return false;
        case K::Header:
            return false;
    }
    return false;
}

// ---------------------------------------------------------------- statements

class Parser {
public:
    Parser(const std::string& file, ResourceModule& into) : file_(file), into_(into) {}

    bool Run(std::string_view text, std::string* error) {
        size_t pos = 0;
        int line = 0;
        if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
        while (pos <= text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            ++line;
            std::vector<Token> toks;
            std::string why;
            if (!Tokenise(text.substr(pos, end - pos), toks, why) ||
                (!toks.empty() && !Statement(toks, why))) {
                if (error) *error = zcui::Format("%s:%d: %s", file_.c_str(), line, why.c_str());
                return false;
            }
            pos = end + 1;
        }
        if (dialog_ || !menuStack_.empty()) {
            if (error) *error = zcui::Format("%s:%d: missing \"end\"", file_.c_str(), line);
            return false;
        }
        return true;
    }

private:
    bool Statement(const std::vector<Token>& t, std::string& why) {
        const std::string& head = t[0].quoted ? std::string() : t[0].text;
        if (dialog_) return DialogLine(t, why);
        if (!menuStack_.empty()) return MenuLine(t, why);
        long id = 0;
        if (head == "string") {
            if (t.size() != 3 || !ToInt(t[1], id) || !t[2].quoted)
                return why = "expected: string ID \"text\"", false;
            if (!into_.strings.emplace(static_cast<UINT>(id), t[2].text).second)
                return why = zcui::Format("string %ld given twice", id), false;
            return true;
        }
        if (head == "dialog") {
            long w = 0, h = 0;
            if (t.size() < 5 || !ToInt(t[1], id) || !t[2].quoted || !ToInt(t[3], w) || !ToInt(t[4], h) ||
                w <= 0 || h <= 0)
                return why = "expected: dialog ID \"caption\" WIDTH HEIGHT", false;
            if (into_.dialogs.count(static_cast<UINT>(id)))
                return why = zcui::Format("dialog %ld given twice", id), false;
            pending_ = DialogTemplate{};
            pending_.id = static_cast<UINT>(id), pending_.caption = t[2].text;
            pending_.width = static_cast<int>(w), pending_.height = static_cast<int>(h);
            for (size_t i = 5; i < t.size(); ++i) {
                long pts = 0;
                if (t[i].text == "font" && !t[i].quoted && i + 2 < t.size() && ToInt(t[i + 1], pts) &&
                    t[i + 2].quoted) {
                    pending_.fontPoints = static_cast<int>(pts), pending_.fontFace = t[i + 2].text;
                    i += 2;
                } else if (t[i].text == "contexthelp" && !t[i].quoted) {
                    pending_.exStyle |= WS_EX_CONTEXTHELP;
                } else {
                    return why = zcui::Format("unknown dialog word '%s'", t[i].text.c_str()), false;
                }
            }
            dialog_ = true;
            return true;
        }
        if (head == "sheet") {
            std::vector<UINT> pages;
            long page = 0;
            for (size_t i = 2; i < t.size(); ++i) {
                if (!ToInt(t[i], page) || page <= 0) return why = "expected: sheet ID PAGE…", false;
                pages.push_back(static_cast<UINT>(page));
            }
            if (t.size() < 3 || !ToInt(t[1], id)) return why = "expected: sheet ID PAGE…", false;
            if (!into_.sheets.emplace(static_cast<UINT>(id), std::move(pages)).second)
                return why = zcui::Format("sheet %ld given twice", id), false;
            return true;
        }
        if (head == "menu") {
            if (t.size() != 2 || !ToInt(t[1], id)) return why = "expected: menu ID", false;
            if (into_.menus.count(static_cast<UINT>(id)))
                return why = zcui::Format("menu %ld given twice", id), false;
            menu_ = MenuTemplate{};
            menu_.id = static_cast<UINT>(id);
            menuStack_.push_back(&menu_.entries);
            return true;
        }
        return why = zcui::Format("unknown statement '%s'", t[0].text.c_str()), false;
    }

    bool DialogLine(const std::vector<Token>& t, std::string& why) {
        if (!t[0].quoted && t[0].text == "end" && t.size() == 1) {
            into_.dialogs.emplace(pending_.id, std::move(pending_));
            dialog_ = false;
            return true;
        }
        const KindInfo* info = nullptr;
        for (const auto& k : kKinds)
            if (!t[0].quoted && t[0].text == k.word) info = &k;
        if (!info) return why = zcui::Format("unknown control kind '%s'", t[0].text.c_str()), false;
        long id = 0, x = 0, y = 0, w = 0, h = 0;
        if (t.size() < 7 || !ToInt(t[1], id) || !t[2].quoted || !ToInt(t[3], x) || !ToInt(t[4], y) ||
            !ToInt(t[5], w) || !ToInt(t[6], h) || w < 0 || h < 0)
            return why = "expected: KIND ID \"text\" X Y WIDTH HEIGHT [word…]", false;
        ControlTemplate c;
        c.id = static_cast<int>(id), c.kind = info->kind, c.text = t[2].text;
        c.rect =
            CRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + w), static_cast<int>(y + h));
        c.style = WS_CHILD | WS_VISIBLE | info->style;
        for (size_t i = 7; i < t.size(); ++i)
            if (t[i].quoted || !ApplyWord(c.kind, t[i].text, c.style))
                return why = zcui::Format("unknown style word '%s' for %s", t[i].text.c_str(),
                                          t[0].text.c_str()),
                       false;
        if (c.id != IDC_STATIC)
            for (const auto& other : pending_.controls)
                if (other.id == c.id) return why = zcui::Format("control %d given twice", c.id), false;
        pending_.controls.push_back(std::move(c));
        return true;
    }

    bool MenuLine(const std::vector<Token>& t, std::string& why) {
        const std::string& head = t[0].quoted ? std::string() : t[0].text;
        auto& level = *menuStack_.back();
        if (head == "end" && t.size() == 1) {
            menuStack_.pop_back();
            if (menuStack_.empty()) into_.menus.emplace(menu_.id, std::move(menu_));
            return true;
        }
        if (head == "separator" && t.size() == 1) {
            MenuTemplate::Entry e;
            e.separator = true;
            level.push_back(std::move(e));
            return true;
        }
        if (head == "popup" && t.size() == 2 && t[1].quoted) {
            MenuTemplate::Entry e;
            e.popup = true, e.text = t[1].text;
            level.push_back(std::move(e));
            menuStack_.push_back(&level.back().children);
            return true;
        }
        long id = 0;
        if (head == "item" && t.size() >= 3 && ToInt(t[1], id) && t[2].quoted) {
            MenuTemplate::Entry e;
            e.id = static_cast<UINT>(id), e.text = t[2].text;
            for (size_t i = 3; i < t.size(); ++i) {
                if (t[i].text == "checked" && !t[i].quoted)
                    e.flags |= MF_CHECKED;
                else if (t[i].text == "grayed" && !t[i].quoted)
                    e.flags |= MF_GRAYED;
                else
                    return why = zcui::Format("unknown menu word '%s'", t[i].text.c_str()), false;
            }
            level.push_back(std::move(e));
            return true;
        }
        return why = "expected: item ID \"text\" [checked] [grayed], separator, popup \"text\" or end", false;
    }

    std::string file_;
    ResourceModule& into_;
    bool dialog_ = false;
    DialogTemplate pending_;
    MenuTemplate menu_;
    std::vector<std::vector<MenuTemplate::Entry>*> menuStack_;
};

// ---------------------------------------------------------------- registry

std::vector<std::unique_ptr<ResourceModule>>& Registry() {
    static std::vector<std::unique_ptr<ResourceModule>> modules;
    return modules;
}

HINSTANCE g_current = nullptr;

bool EndsWithNoCase(const std::string& s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           host::iequals(std::string_view(s).substr(s.size() - suffix.size()), suffix);
}

std::string Stem(const std::string& name) {
    std::string base = std::filesystem::path(name).filename().string();
    return base.substr(0, base.size() - 4);
}

bool Registered(HINSTANCE h) {
    for (const auto& m : Registry())
        if (m.get() == h) return true;
    return false;
}

template <class F>
auto Lookup(F f) -> decltype(f(std::declval<const ResourceModule&>())) {
    HINSTANCE current = AfxGetResourceHandle();
    if (current) {
        if (auto r = f(*current)) return r;
    }
    HINSTANCE host = zcuiHostResources();
    if (host && host != current) return f(*host);
    return {};
}

}  // namespace

bool ParseResourceText(std::string_view text, const std::string& fileName, ResourceModule& into,
                       std::string* error) {
    return Parser(fileName, into).Run(text, error);
}

HINSTANCE zcuiRegisterResources(const std::string& name, const std::vector<ResourceFile>& files,
                                std::string* error) {
    auto module = std::make_unique<ResourceModule>();
    module->name = name;
    for (const ResourceFile& f : files) {
        if (EndsWithNoCase(f.name, ".bmp")) {
            auto image = ReadBmp(f.bytes, Stem(f.name));
            if (!image) {
                if (error) *error = f.name + ": not a readable BMP file";
                return nullptr;
            }
            module->bitmaps[zcui::FoldUpper(Stem(f.name))] = std::make_shared<const BitmapImage>(*image);
        } else if (EndsWithNoCase(f.name, ".txt")) {
            if (!ParseResourceText(f.bytes, f.name, *module, error)) return nullptr;
        }
    }
    Registry().push_back(std::move(module));
    return Registry().back().get();
}

HINSTANCE zcuiRegisterResourceFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    std::vector<std::string> names, contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec)) {
        if (!entry.is_regular_file()) continue;
        std::string p = entry.path().string();
        if (!EndsWithNoCase(p, ".txt") && !EndsWithNoCase(p, ".bmp")) continue;
        std::string bytes, why;
        if (!host::readWholeFile(p, bytes, &why)) {
            if (error) *error = why;
            return nullptr;
        }
        names.push_back(std::filesystem::relative(entry.path(), folder, ec).string());
        contents.push_back(std::move(bytes));
    }
    if (ec) {
        if (error) *error = folder + ": cannot read the folder";
        return nullptr;
    }
    // Read in name order, so messages and results do not depend on the file system.
    std::vector<size_t> order(names.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return names[a] < names[b]; });
    std::vector<ResourceFile> files;
    for (size_t i : order) files.push_back({names[i], contents[i]});
    return zcuiRegisterResources(folder, files, error);
}

void zcuiUnregisterResources(HINSTANCE handle) {
    if (!handle || handle == zcuiHostResources()) return;
    if (g_current == handle) g_current = nullptr;
    std::erase_if(Registry(),
                  [handle](const std::unique_ptr<ResourceModule>& m) { return m.get() == handle; });
}

HINSTANCE zcuiHostResources() {
    static HINSTANCE host = [] {
        std::string error;
        HINSTANCE h = zcuiRegisterResources("host", {{"host.txt", zcui::kHostResourceText}}, &error);
        return h;
    }();
    return host;
}

std::vector<HINSTANCE> zcuiRegisteredResources() {
    const HINSTANCE host = zcuiHostResources();  // registered on first use: before the walk
    std::vector<HINSTANCE> out;
    for (const auto& m : Registry())
        if (m.get() != host) out.push_back(m.get());
    return out;
}

HINSTANCE AfxGetResourceHandle() {
    if (g_current && !Registered(g_current)) g_current = nullptr;
    return g_current ? g_current : zcuiHostResources();
}

void AfxSetResourceHandle(HINSTANCE handle) {
    g_current = handle;
}

BOOL LoadString(std::string& out, UINT id) {
    const std::string* s = Lookup([id](const ResourceModule& m) -> const std::string* {
        auto it = m.strings.find(id);
        return it == m.strings.end() ? nullptr : &it->second;
    });
    out = s ? *s : std::string();
    return s != nullptr;
}

std::string ResourceString(UINT id) {
    std::string s;
    LoadString(s, id);
    return s;
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    return Lookup([id](const ResourceModule& m) -> const DialogTemplate* {
        auto it = m.dialogs.find(id);
        return it == m.dialogs.end() ? nullptr : &it->second;
    });
}

const MenuTemplate* FindMenuTemplate(UINT id) {
    return Lookup([id](const ResourceModule& m) -> const MenuTemplate* {
        auto it = m.menus.find(id);
        return it == m.menus.end() ? nullptr : &it->second;
    });
}

HBITMAP LoadBitmapResource(const std::string& idOrName) {
    std::string key = zcui::FoldUpper(idOrName);
    return Lookup([&key](const ResourceModule& m) -> HBITMAP {
        auto it = m.bitmaps.find(key);
        return it == m.bitmaps.end() ? nullptr : it->second;
    });
}

HBITMAP LoadBitmapFromFile(const std::string& given) {
    const std::string path = host::nativePath(given);
    // A command that shows the same picture for every object it makes
    // decodes it once; the image is never changed, so it is shared.
    if (std::shared_ptr<const void> kept = host::keptFileValue(path, "bitmap"))
        return std::static_pointer_cast<const BitmapImage>(kept);
    auto image = ReadBmpFile(path);
    if (!image) return nullptr;
    image->name = Stem(path);
    HBITMAP bitmap = std::make_shared<const BitmapImage>(std::move(*image));
    host::keepFileValue(path, "bitmap", bitmap);
    return bitmap;
}

HBITMAP LoadBitmapFromLibrary(const std::string& libraryFolder, const std::string& resourceName) {
    if (resourceName.empty()) return nullptr;
    namespace fs = std::filesystem;
    std::error_code ec;
    // Joined as a path would join them, without taking the path apart: a
    // dialog looks its picture up every time it is shown.
    std::string exact;
    if (resourceName.front() == '/') {
        exact = (fs::path(libraryFolder) / (resourceName + ".bmp")).string();
    } else {
        exact.reserve(libraryFolder.size() + resourceName.size() + 5);
        exact = libraryFolder;
        if (!exact.empty() && exact.back() != '/') exact += '/';
        exact += resourceName;
        exact += ".bmp";
    }
    // A picture kept for the file is there as it was when decoded.
    if (std::shared_ptr<const void> kept = host::keptFileValue(exact, "bitmap"))
        return std::static_pointer_cast<const BitmapImage>(kept);
    if (host::fileThisRound(exact)) return LoadBitmapFromFile(exact);
    std::string wanted = zcui::FoldUpper(resourceName + ".bmp");
    for (const auto& entry : fs::directory_iterator(libraryFolder, ec)) {
        if (zcui::FoldUpper(entry.path().filename().string()) == wanted)
            return LoadBitmapFromFile(entry.path().string());
    }
    return nullptr;
}
