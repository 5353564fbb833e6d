// The host's own dialogs: see hostdialogs.h.  Colour indexes take their
// screen colours from the host's one palette (host/ads/acicolor.h).
#include "host/ui/hostdialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "host/ads/acicolor.h"
#include "host/ui/driver.h"
#include "host/ui/msgbox.h"
#include "host/ui/uitext.h"
#include "host/win/textutil.h"

namespace zcui {

extern const char* const kHostResourceText;
const char* const kHostResourceText = R"(# The host's own dialogs.
dialog 9001 "Wybierz kolor" 200 80
  ltext -1 "Kolor:" 7 9 40 8
  edittext 100 "" 50 7 80 12
  pushbutton 101 "DoWarstwy" 7 28 60 14
  pushbutton 102 "DoBloku" 72 28 60 14
  defpushbutton 1 "OK" 88 58 50 14
  pushbutton 2 "Anuluj" 143 58 50 14
end
dialog 9002 "Wybierz kolor" 200 100
  ltext -1 "Kolor:" 7 9 40 8
  edittext 100 "" 50 7 80 12
  ltext -1 "RGB:" 7 27 40 8
  edittext 103 "" 50 25 80 12
  pushbutton 101 "DoWarstwy" 7 46 60 14
  pushbutton 102 "DoBloku" 72 46 60 14
  defpushbutton 1 "OK" 88 78 50 14
  pushbutton 2 "Anuluj" 143 78 50 14
end
dialog 9003 "Kolor" 160 60
  ltext -1 "RGB:" 7 9 40 8
  edittext 103 "" 50 7 80 12
  defpushbutton 1 "OK" 48 38 50 14
  pushbutton 2 "Anuluj" 103 38 50 14
end
dialog 9004 "Wybierz plik" 260 60
  ltext -1 "Nazwa pliku:" 7 9 50 8
  edittext 1152 "" 60 7 193 12 autohscroll
  pushbutton 1153 "Wpisz..." 7 38 60 14
  defpushbutton 1 "OK" 148 38 50 14
  pushbutton 2 "Anuluj" 203 38 50 14
end
)";

namespace {
FilePromptHook g_fileHook;
}

void SetFilePromptHook(FilePromptHook hook) {
    g_fileHook = std::move(hook);
}
const FilePromptHook& CurrentFilePromptHook() {
    return g_fileHook;
}

}  // namespace zcui

// ---------------------------------------------------------------- colours

COLORREF zcedGetRGB(int index) {
    std::optional<host::AciRgb> c = host::aciToRgb(index);
    return c ? RGB(c->r, c->g, c->b) : RGB(0, 0, 0);
}

namespace {

constexpr const char* kByLayer = "DoWarstwy";
constexpr const char* kByBlock = "DoBloku";

std::string IndexText(int index) {
    if (index == 256) return kByLayer;
    if (index == 0) return kByBlock;
    return std::to_string(index);
}

// An index from the edit's text; nullopt when it is none the dialog allows.
std::optional<int> ParseIndex(const std::string& text, bool allowMeta) {
    std::string t = zcui::FoldLower(text);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    while (!t.empty() && t.front() == ' ') t.erase(t.begin());
    if (t == zcui::FoldLower(kByLayer) || t == "bylayer")
        return allowMeta ? std::optional<int>(256) : std::nullopt;
    if (t == zcui::FoldLower(kByBlock) || t == "byblock")
        return allowMeta ? std::optional<int>(0) : std::nullopt;
    const std::optional<long long> number = host::parseInteger(t);
    if (!number) return std::nullopt;
    const long long v = *number;
    if (v >= 1 && v <= 255) return static_cast<int>(v);
    if (allowMeta && (v == 0 || v == 256)) return static_cast<int>(v);
    return std::nullopt;
}

std::optional<COLORREF> ParseRgb(const std::string& text) {
    int r = -1, g = -1, b = -1;
    char extra = 0;
    if (std::sscanf(text.c_str(), " %d , %d , %d %c", &r, &g, &b, &extra) != 3) return std::nullopt;
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return std::nullopt;
    return RGB(r, g, b);
}

class ColorDialog : public CDialog {
public:
    ColorDialog(UINT id, ZcUiTrueColor colour, bool allowMeta, bool trueColour)
        : CDialog(id), colour_(colour), allowMeta_(allowMeta), trueColour_(trueColour) {
        HandleCommand(BN_CLICKED, ZCUI_COLOR_BYLAYER, [this] { Meta(256); });
        HandleCommand(BN_CLICKED, ZCUI_COLOR_BYBLOCK, [this] { Meta(0); });
    }
    BOOL OnInitDialog() override {
        SetDlgItemText(ZCUI_COLOR_INDEX, colour_.isTrueColor ? std::string() : IndexText(colour_.index));
        if (trueColour_ && colour_.isTrueColor)
            SetDlgItemText(ZCUI_COLOR_RGB, zcui::Format("%d,%d,%d", GetRValue(colour_.rgb),
                                                        GetGValue(colour_.rgb), GetBValue(colour_.rgb)));
        if (!allowMeta_) {
            GetDlgItem(ZCUI_COLOR_BYLAYER)->ShowWindow(SW_HIDE);
            GetDlgItem(ZCUI_COLOR_BYBLOCK)->ShowWindow(SW_HIDE);
        }
        return TRUE;
    }
    void OnOK() override {
        std::string rgb;
        if (trueColour_) GetDlgItemText(ZCUI_COLOR_RGB, rgb);
        std::string text;
        GetDlgItemText(ZCUI_COLOR_INDEX, text);
        // The colour number is read even while the red-green-blue field
        // decides the colour: a text typed there that is no colour number
        // (blanks too) is said, not passed over. What the dialog showed is
        // not typed.
        const auto* field = dynamic_cast<const CEdit*>(GetDlgItem(ZCUI_COLOR_INDEX));
        const bool typed = field && field->HoldsTypedText();
        if (trueColour_ && !rgb.empty() && typed && !ParseIndex(text, allowMeta_)) return RefuseIndex();
        if (trueColour_ && !rgb.empty()) {
            auto c = ParseRgb(rgb);
            if (!c) {
                AfxMessageBox("Wprowadź kolor jako trzy liczby od 0 do 255: czerwony,zielony,niebieski.",
                              MB_ICONEXCLAMATION);
                GotoDlgCtrl(GetDlgItem(ZCUI_COLOR_RGB));
                return;
            }
            colour_.isTrueColor = true, colour_.rgb = *c;
            EndDialog(IDOK);
            return;
        }
        auto index = ParseIndex(text, allowMeta_);
        if (!index) return RefuseIndex();
        colour_.isTrueColor = false, colour_.index = *index, colour_.rgb = zcedGetRGB(*index);
        EndDialog(IDOK);
    }
    ZcUiTrueColor colour_;

private:
    void RefuseIndex() {
        AfxMessageBox(allowMeta_ ? "Wprowadź numer koloru od 0 do 256, DoWarstwy lub DoBloku."
                                 : "Wprowadź numer koloru od 1 do 255.",
                      MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(ZCUI_COLOR_INDEX));
    }
    void Meta(int index) {
        SetDlgItemText(ZCUI_COLOR_INDEX, IndexText(index));
        if (trueColour_) SetDlgItemText(ZCUI_COLOR_RGB, "");
    }
    bool allowMeta_, trueColour_;
};

}  // namespace

bool zcedSetColorDialog(int& colour, bool allowMetaColours, int currentLayerColour) {
    (void)currentLayerColour;  // shown beside ByLayer on screen; nothing to choose from it
    ZcUiTrueColor c;
    c.index = colour;
    if (!allowMetaColours && (colour < 1 || colour > 255)) c.index = 7;
    CZcModuleResourceOverride host(zcuiHostResources());
    ColorDialog dlg(zcui::kColorDialogId, c, allowMetaColours, false);
    if (dlg.DoModal() != IDOK) return false;
    colour = dlg.colour_.index;
    return true;
}

bool zcedSetColorDialogTrueColor(ZcUiTrueColor& colour, bool allowMetaColours, const ZcUiTrueColor&) {
    CZcModuleResourceOverride host(zcuiHostResources());
    ColorDialog dlg(zcui::kTrueColorDialogId, colour, allowMetaColours, true);
    if (dlg.DoModal() != IDOK) return false;
    colour = dlg.colour_;
    return true;
}

int zcedAlert(const char* text) {
    zcui::ShowMessageBox(text ? text : "", "velmhost", MB_OK | MB_ICONEXCLAMATION);
    return RTNORM;
}

// ---------------------------------------------------------------- CColorDialog

CColorDialog::CColorDialog(COLORREF initial, DWORD, CWnd* parent)
    : CDialog(zcui::kRgbDialogId, parent), colour_(initial) {}

BOOL CColorDialog::OnInitDialog() {
    SetDlgItemText(ZCUI_COLOR_RGB,
                   zcui::Format("%d,%d,%d", GetRValue(colour_), GetGValue(colour_), GetBValue(colour_)));
    return TRUE;
}

void CColorDialog::OnOK() {
    std::string text;
    GetDlgItemText(ZCUI_COLOR_RGB, text);
    auto c = ParseRgb(text);
    if (!c) {
        AfxMessageBox("Wprowadź kolor jako trzy liczby od 0 do 255: czerwony,zielony,niebieski.",
                      MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(ZCUI_COLOR_RGB));
        return;
    }
    colour_ = *c;
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- files

namespace {

constexpr int kTypeIt = ZCUI_FILE_TYPEIT;

class FileDialog : public CDialog {
public:
    explicit FileDialog(const zcui::FileRequest& r) : CDialog(zcui::kFileDialogId), req_(r) {
        HandleCommand(BN_CLICKED, ZCUI_FILE_TYPEIT, [this] { EndDialog(kTypeIt); });
    }
    BOOL OnInitDialog() override {
        if (!req_.title.empty()) SetWindowText(req_.title);
        namespace fs = std::filesystem;
        // A default that is a folder only leaves the name to the user.
        std::error_code ec;
        bool folderOnly =
            !req_.defaultName.empty() && (req_.defaultName.back() == '/' || req_.defaultName.back() == '\\' ||
                                          fs::is_directory(req_.defaultName, ec));
        if (!folderOnly || FolderChoice()) SetDlgItemText(ZCUI_FILE_NAME, req_.defaultName);
        if (req_.flags & ZCUI_FILE_NO_TYPEIT) GetDlgItem(ZCUI_FILE_TYPEIT)->ShowWindow(SW_HIDE);
        return TRUE;
    }
    void OnOK() override {
        namespace fs = std::filesystem;
        std::string name;
        GetDlgItemText(ZCUI_FILE_NAME, name);
        if (name.empty()) return Refuse("Podaj nazwę pliku.");
        fs::path p(name);
        std::error_code ec;
        if (p.is_relative() && !req_.defaultName.empty()) {
            fs::path base(req_.defaultName);
            fs::path folder = fs::is_directory(base, ec) ? base : base.parent_path();
            if (!folder.empty()) p = folder / p;
        }
        if (FolderChoice()) {
            if (!fs::is_directory(p, ec))
                return Refuse(zcui::Format("Nie znaleziono folderu:\n%s", p.string().c_str()));
        } else {
            std::string ext = req_.extension;
            if (!ext.empty() && ext.front() == '.') ext.erase(ext.begin());
            // "bmp;gif;png" offers several extensions: the first is the default.
            bool listed = false;
            for (std::size_t at = 0; at <= ext.size() && !ext.empty();) {
                const std::size_t end = std::min(ext.find(';', at), ext.size());
                if (host::iequals(p.extension().string(), "." + ext.substr(at, end - at))) listed = true;
                at = end + 1;
            }
            ext = ext.substr(0, ext.find(';'));
            if (!ext.empty() && !p.has_extension())
                p += "." + ext;
            else if (!ext.empty() && !(req_.flags & ZCUI_FILE_ANY_EXT) && !listed)
                p += "." + ext;
            if (req_.flags & ZCUI_FILE_NEW) {
                if (fs::is_directory(p, ec))
                    return Refuse(zcui::Format("%s jest folderem.", p.string().c_str()));
                if (fs::exists(p, ec) && !(req_.flags & ZCUI_FILE_NO_OVERWRITE_ASK) &&
                    AfxMessageBox(
                        zcui::Format("Plik %s już istnieje.\nCzy chcesz go zastąpić?", p.string().c_str()),
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
                    return;
            } else if (!fs::is_regular_file(p, ec)) {
                return Refuse(zcui::Format("Nie znaleziono pliku:\n%s", p.string().c_str()));
            }
        }
        path_ = p.string();
        EndDialog(IDOK);
    }
    std::string path_;

private:
    // 16 with an extension still asks for a file of it in that folder (the
    // object definition files); 16 without one can only mean a folder.
    bool FolderChoice() const {
        return (req_.flags & ZCUI_FILE_FOLDER) ||
               ((req_.flags & ZCUI_FILE_FOLDER_CHOICE) && req_.extension.empty());
    }
    void Refuse(const std::string& message) {
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(ZCUI_FILE_NAME));
    }
    zcui::FileRequest req_;
};

char* Copy(const std::string& s) {
    char* out = new char[s.size() + 1];
    std::memcpy(out, s.c_str(), s.size() + 1);
    return out;
}

// Runs the request; fills the node (RTSTR path or RTSHORT 1 for "type it").
int FileRequestInto(const zcui::FileRequest& req, resbuf* rb) {
    std::string path;
    if (const auto& hook = zcui::CurrentFilePromptHook()) {
        if (std::optional<int> answer = hook(req, path)) {
            if (*answer == RTNORM) {
                rb->restype = RTSTR;
                rb->resval.rstring = Copy(path);
            }
            return *answer;
        }
    }
    CZcModuleResourceOverride host(zcuiHostResources());
    FileDialog dlg(req);
    INT_PTR result = dlg.DoModal();
    if (result == IDOK) {
        rb->restype = RTSTR;
        rb->resval.rstring = Copy(dlg.path_);
        return RTNORM;
    }
    if (result == kTypeIt) {
        rb->restype = RTSHORT;
        rb->resval.rint = 1;
        return RTNORM;
    }
    return result < 0 ? RTERROR : RTCAN;
}

zcui::FileRequest MakeRequest(const char* title, const char* def, const char* ext, int flags) {
    return {title ? title : "", def ? def : "", ext ? ext : "", flags};
}

}  // namespace

int zcedGetFileD(const char* title, const char* defaultName, const char* extension, int flags,
                 resbuf* result) {
    if (!result) return RTERROR;
    result->rbnext = nullptr;
    return FileRequestInto(MakeRequest(title, defaultName, extension, flags), result);
}

int zcedGetFileNavDialog(const char* title, const char* defaultName, const char* extension, const char*,
                         int flags, resbuf** result) {
    if (!result) return RTERROR;
    *result = nullptr;
    auto node = std::make_unique<resbuf>();
    int status = FileRequestInto(MakeRequest(title, defaultName, extension, flags), node.get());
    if (status == RTNORM) *result = node.release();
    return status;
}
