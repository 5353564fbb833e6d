// Resources: string tables, dialog templates, menus and bitmaps, loaded from
// small text files and BMP files and registered as a resource handle.  Loads
// (strings, templates, menus, bitmaps) go through the current resource
// handle, then the host's own resources; a module makes its handle current
// around each use (CZcModuleResourceOverride, or the plain get/set calls).
//
// Resource text, one statement per line; "#" starts a comment outside quotes;
// texts are double-quoted UTF-8 with \n, \t, \" and \\ escapes:
//
//   string ID "text"
//   dialog ID "caption" WIDTH HEIGHT [font POINTS "face"] [word…]
//     KIND ID "text" X Y WIDTH HEIGHT [word…]      (dialog units)
//     …
//   end
//   sheet ID PAGE…    (a property sheet the program builds, answered as
//                      dialog ID: its pages' templates in page order, for
//                      listings; the sheet itself is built in code)
//   menu ID
//     popup "text"
//       item ID "text" [checked] [grayed]
//       separator
//     end
//   end
//
// Control kinds: pushbutton, defpushbutton, checkbox, auto3state,
// radiobutton, groupbox, ltext, ctext, rtext, picture (text = bitmap id or
// name), edittext, listbox, combobox, listview, treeview, slider, scrollbar,
// header.  Style words: group, tabstop, notabstop, disabled, hidden, border,
// vscroll, hscroll, sort, multiple, extended, wantkeys, notify, nonotify,
// ownerdraw, readonly, multiline, uppercase, password, number, autohscroll,
// wantreturn, left, center, right, dropdown, dropdownlist, simple, report,
// singlesel, showselalways, editlabels, nosortheader, hasbuttons, haslines,
// linesatroot, pushlike, bitmap, 3state, manual (a check box or radio
// button the program checks itself), vertical, autoticks, realsize, sunken,
// default; a dialog also takes contexthelp.  A hexadecimal word (0x…) adds
// raw style bits.  Bitmaps are the files NAME.bmp; their name is the id or
// resource name.  A file with any error registers nothing.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/ui/dc.h"
#include "host/ui/uibase.h"

enum class ControlKind {
    Static,
    Button,
    Edit,
    ListBox,
    ComboBox,
    ListView,
    TreeView,
    Slider,
    ScrollBar,
    Header
};

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    CRect rect;  // dialog units
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct DialogTemplate {
    UINT id = 0;
    std::string caption;
    int width = 0, height = 0;  // dialog units
    int fontPoints = 8;
    std::string fontFace = "MS Shell Dlg";
    DWORD style = 0;
    DWORD exStyle = 0;
    std::vector<ControlTemplate> controls;
};

struct MenuTemplate {
    struct Entry {
        bool popup = false;
        bool separator = false;
        UINT id = 0;
        UINT flags = 0;  // MF_CHECKED, MF_GRAYED
        std::string text;
        std::vector<Entry> children;
    };
    UINT id = 0;
    std::vector<Entry> entries;
};

struct ResourceModule {
    std::string name;
    std::map<UINT, std::string> strings;
    std::map<UINT, DialogTemplate> dialogs;
    std::map<UINT, MenuTemplate> menus;
    std::map<std::string, HBITMAP> bitmaps;  // by upper-case name
    // Property sheets by the id a driver answers them under: page templates in page order.
    std::map<UINT, std::vector<UINT>> sheets;
};

// One file of a module's resources: its name (for messages, and for a BMP
// its resource name) and its bytes.
struct ResourceFile {
    std::string name;
    std::string_view bytes;
};

// Parses resource text into `into`; false with "FILE:LINE: what" on error.
bool ParseResourceText(std::string_view text, const std::string& fileName, ResourceModule& into,
                       std::string* error);
// Registers a set of resource files as one handle; null (and the error) when
// any file is bad.  The handle stays valid until unregistered.
HINSTANCE zcuiRegisterResources(const std::string& name, const std::vector<ResourceFile>& files,
                                std::string* error = nullptr);
// Reads every .txt and .bmp file under a folder as one handle.
HINSTANCE zcuiRegisterResourceFolder(const std::string& folder, std::string* error = nullptr);
void zcuiUnregisterResources(HINSTANCE handle);
HINSTANCE zcuiHostResources();
// Every registered handle but the host's own, in the order registered.
std::vector<HINSTANCE> zcuiRegisteredResources();

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE handle);

// Makes a resource handle current for its lifetime.
class CZcModuleResourceOverride {
public:
    explicit CZcModuleResourceOverride(HINSTANCE handle) : previous_(AfxGetResourceHandle()) {
        AfxSetResourceHandle(handle);
    }
    ~CZcModuleResourceOverride() { AfxSetResourceHandle(previous_); }
    CZcModuleResourceOverride(const CZcModuleResourceOverride&) = delete;
    CZcModuleResourceOverride& operator=(const CZcModuleResourceOverride&) = delete;

private:
    HINSTANCE previous_;
};

// Lookups through the current handle, then the host's resources.
BOOL LoadString(std::string& out, UINT id);
std::string ResourceString(UINT id);  // empty when missing
const DialogTemplate* FindDialogTemplate(UINT id);
const MenuTemplate* FindMenuTemplate(UINT id);
HBITMAP LoadBitmapResource(const std::string& idOrName);

// A resource-only bitmap library: a folder holding NAME.bmp files; the name
// is matched without regard to case.  Null when absent or not a BMP.
HBITMAP LoadBitmapFromLibrary(const std::string& libraryFolder, const std::string& resourceName);
HBITMAP LoadBitmapFromFile(const std::string& path);
