// Menus: popup menus with text, checked, disabled, separator and bitmap
// items, built by the program or loaded from a menu resource.  A popup shown
// with TrackPopupMenu is answered by the dialog driver (a queued choice, see
// driver.h); unanswered it is dismissed, as by a click elsewhere.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/ui/wnd.h"

inline constexpr UINT MF_STRING = 0x0;
inline constexpr UINT MF_BYCOMMAND = 0x0;
inline constexpr UINT MF_ENABLED = 0x0;
inline constexpr UINT MF_UNCHECKED = 0x0;
inline constexpr UINT MF_GRAYED = 0x1;
inline constexpr UINT MF_DISABLED = 0x2;
inline constexpr UINT MF_BITMAP = 0x4;
inline constexpr UINT MF_CHECKED = 0x8;
inline constexpr UINT MF_POPUP = 0x10;
inline constexpr UINT MF_SEPARATOR = 0x800;
inline constexpr UINT MF_BYPOSITION = 0x400;
inline constexpr UINT TPM_LEFTALIGN = 0x0;
inline constexpr UINT TPM_RIGHTBUTTON = 0x2;
inline constexpr UINT TPM_NONOTIFY = 0x80;
inline constexpr UINT TPM_RETURNCMD = 0x100;

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    BOOL CreatePopupMenu();
    BOOL CreateMenu() { return CreatePopupMenu(); }
    // From a menu resource of the current resource handle.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    HMENU GetSafeHmenu() { return created_ ? this : nullptr; }
    operator HMENU() { return GetSafeHmenu(); }

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, std::string_view text = {});
    BOOL AppendMenu(UINT flags, UINT_PTR id, const class CBitmap* bitmap);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, std::string_view text = {});
    BOOL DeleteMenu(UINT position, UINT flags);
    UINT CheckMenuItem(UINT item, UINT flags);
    UINT EnableMenuItem(UINT item, UINT flags);
    int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT item, UINT flags) const;
    int GetMenuString(UINT item, std::string& out, UINT flags) const;
    CMenu* GetSubMenu(int position) const;
    // Shows the menu at x, y and takes the driver's answer: with
    // TPM_RETURNCMD the chosen id is returned, otherwise the owner gets it as
    // a command; 0 when dismissed.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect* = nullptr);

    struct Item {
        UINT flags = 0;
        UINT id = 0;
        std::string text;
        HBITMAP bitmap;
        std::unique_ptr<CMenu> popup;
    };
    const std::vector<Item>& Items() const { return items_; }

private:
    int Locate(UINT item, UINT flags) const;
    bool created_ = false;
    std::vector<Item> items_;
};
