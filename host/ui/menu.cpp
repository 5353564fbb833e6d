// Menus: see menu.h.  A choice that names no enabled command item of the
// shown menu (or its submenus) is refused and recorded, and the menu counts
// as dismissed.
#include "host/ui/menu.h"

#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "host/ui/uitext.h"

BOOL CMenu::CreatePopupMenu() {
    created_ = true;
    items_.clear();
    return TRUE;
}

BOOL CMenu::LoadMenu(UINT id) {
    const MenuTemplate* t = FindMenuTemplate(id);
    if (!t) return FALSE;
    CreatePopupMenu();
    // A menu resource is a bar of popups; build it recursively.
    struct Builder {
        static void Fill(CMenu& m, const std::vector<MenuTemplate::Entry>& entries) {
            for (const auto& e : entries) {
                if (e.popup) {
                    Item it;
                    it.flags = MF_POPUP, it.text = e.text;
                    it.popup = std::make_unique<CMenu>();
                    it.popup->CreatePopupMenu();
                    Fill(*it.popup, e.children);
                    m.items_.push_back(std::move(it));
                } else {
                    m.AppendMenu(e.separator ? MF_SEPARATOR : e.flags, e.id, e.text);
                }
            }
        }
    };
    Builder::Fill(*this, t->entries);
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    created_ = false;
    items_.clear();
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, std::string_view text) {
    return InsertMenu(static_cast<UINT>(-1), flags | MF_BYPOSITION, id, text);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CBitmap* bitmap) {
    if (!AppendMenu(flags | MF_BITMAP, id, std::string_view())) return FALSE;
    items_.back().bitmap = bitmap ? bitmap->GetSafeHandle() : nullptr;
    return TRUE;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, std::string_view text) {
    if (!created_) return FALSE;
    Item it;
    it.flags = flags & ~MF_BYPOSITION, it.id = static_cast<UINT>(id), it.text = std::string(text);
    int at = (flags & MF_BYPOSITION) ? static_cast<int>(position) : Locate(position, MF_BYCOMMAND);
    if (at < 0 || at > GetMenuItemCount()) at = GetMenuItemCount();
    items_.insert(items_.begin() + at, std::move(it));
    return TRUE;
}

int CMenu::Locate(UINT item, UINT flags) const {
    if (flags & MF_BYPOSITION) return item < items_.size() ? static_cast<int>(item) : -1;
    for (size_t i = 0; i < items_.size(); ++i)
        if (!(items_[i].flags & (MF_POPUP | MF_SEPARATOR)) && items_[i].id == item)
            return static_cast<int>(i);
    return -1;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    int at = Locate(position, flags);
    if (at < 0) return FALSE;
    items_.erase(items_.begin() + at);
    return TRUE;
}

UINT CMenu::CheckMenuItem(UINT item, UINT flags) {
    int at = Locate(item, flags);
    if (at < 0) return static_cast<UINT>(-1);
    UINT old = items_[at].flags & MF_CHECKED;
    items_[at].flags = (items_[at].flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
}

UINT CMenu::EnableMenuItem(UINT item, UINT flags) {
    int at = Locate(item, flags);
    if (at < 0) return static_cast<UINT>(-1);
    UINT old = items_[at].flags & (MF_GRAYED | MF_DISABLED);
    items_[at].flags = (items_[at].flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return old;
}

UINT CMenu::GetMenuItemID(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) return static_cast<UINT>(-1);
    const Item& it = items_[position];
    if (it.flags & MF_POPUP) return static_cast<UINT>(-1);
    return (it.flags & MF_SEPARATOR) ? 0 : it.id;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    int at = Locate(item, flags);
    return at < 0 ? static_cast<UINT>(-1) : items_[at].flags;
}

int CMenu::GetMenuString(UINT item, std::string& out, UINT flags) const {
    int at = Locate(item, flags);
    out = at < 0 ? std::string() : items_[at].text;
    return static_cast<int>(out.size());
}

CMenu* CMenu::GetSubMenu(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) return nullptr;
    return items_[position].popup.get();
}

namespace {

bool Offers(const CMenu& m, UINT id) {
    for (const auto& it : m.Items()) {
        if (it.popup) {
            if (Offers(*it.popup, id)) return true;
        } else if (!(it.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) && it.id == id) {
            return true;
        }
    }
    return false;
}

}  // namespace

BOOL CMenu::TrackPopupMenu(UINT flags, int, int, CWnd* owner, const CRect*) {
    if (!created_) return FALSE;
    std::vector<std::string> shown;
    for (const auto& it : items_)
        shown.push_back((it.flags & MF_SEPARATOR) ? "-" : (it.flags & MF_BITMAP) ? "[bitmap]" : it.text);
    UINT id = zcui::TakeMenuAnswer();
    if (id != 0 && !Offers(*this, id)) {
        zcui::RecordDriverError(zcui::Format("the popup menu has no enabled item %u", id));
        id = 0;
    }
    zcui::RecordMenu(shown, id);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(id);
    if (id != 0 && owner) owner->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return id != 0;
}
