// The host's own dialogs: the colour dialog (an index 1-255, with or without
// ByLayer 256 and ByBlock 0, and a true-colour form), the RGB colour dialog
// of the class library (CColorDialog), and the file dialogs (open an existing
// file, name a new file, choose a folder; a default folder and extension;
// "type it" to answer on the command line instead).  They are driven like
// the module's dialogs, under the ids of driver.h (color, truecolor, rgb,
// file), and an alert is a message box.  With FILEDIA 0 the editor answers
// file requests on the command line: it installs the file prompt hook.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/ui/dialog.h"
#include "host/util/resbuf.h"

// Controls of the host dialogs, for drivers.
inline constexpr int ZCUI_COLOR_INDEX = 100;    // edit: a number, or "DoWarstwy" / "DoBloku"
inline constexpr int ZCUI_COLOR_BYLAYER = 101;  // button
inline constexpr int ZCUI_COLOR_BYBLOCK = 102;  // button
inline constexpr int ZCUI_COLOR_RGB = 103;      // edit: "R,G,B" (true colour; empty for an index)
inline constexpr int ZCUI_FILE_NAME = 1152;     // edit: file or folder name
inline constexpr int ZCUI_FILE_TYPEIT = 1153;   // button: answer on the command line

// File dialog flags.
inline constexpr int ZCUI_FILE_NEW = 1;  // a new file: an existing one is replaced only after a question
inline constexpr int ZCUI_FILE_NO_TYPEIT = 2;  // no "type it" button
inline constexpr int ZCUI_FILE_ANY_EXT = 4;    // the default extension is not forced
// The default names a folder; without an extension the answer is a folder too.
inline constexpr int ZCUI_FILE_FOLDER_CHOICE = 16;
inline constexpr int ZCUI_FILE_NO_OVERWRITE_ASK = 32;
inline constexpr int ZCUI_FILE_FOLDER = 2048;  // choose a folder

// Shows the colour dialog on `colour`; true with the new index on OK.
bool zcedSetColorDialog(int& colour, bool allowMetaColours, int currentLayerColour);

struct ZcUiTrueColor {
    int index = 256;  // 0 ByBlock, 1-255, 256 ByLayer, when not true colour
    bool isTrueColor = false;
    COLORREF rgb = 0;
};
bool zcedSetColorDialogTrueColor(ZcUiTrueColor& colour, bool allowMetaColours,
                                 const ZcUiTrueColor& layerColour);

// The screen colour of a colour index (1-255; others give black), as RGB().
COLORREF zcedGetRGB(int colourIndex);

// Shows a message on the command line's alert box.
int zcedAlert(const char* text);

// A file request: RTNORM with the chosen path as an RTSTR result (or, for
// "type it", an RTSHORT 1), RTCAN when cancelled, RTERROR on bad arguments.
int zcedGetFileD(const char* title, const char* defaultName, const char* extension, int flags,
                 resbuf* result);
// The same, giving a new one-node result list the caller frees.
int zcedGetFileNavDialog(const char* title, const char* defaultName, const char* extension,
                         const char* dialogName, int flags, resbuf** result);

namespace zcui {
struct FileRequest {
    std::string title, defaultName, extension;
    int flags = 0;
};
// When the hook answers (RTNORM/RTCAN/…), the dialog is not shown; it fills
// the path on RTNORM.  nullopt lets the dialog show.
using FilePromptHook = std::function<std::optional<int>(const FileRequest&, std::string& path)>;
void SetFilePromptHook(FilePromptHook hook);
const FilePromptHook& CurrentFilePromptHook();
}  // namespace zcui

// The class library's colour dialog: an RGB colour.
class CColorDialog : public CDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    COLORREF GetColor() const { return colour_; }
    void SetCurrentColor(COLORREF c) { colour_ = c; }
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    COLORREF colour_;
};
