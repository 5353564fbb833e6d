// The dialog driver: see driver.h.  Script lines are parsed whole into a list
// of actions before anything runs, so a bad line changes nothing.
#include "host/ui/driver.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>

#include "host/ads/transcript.h"
#include "host/ui/dialog.h"
#include "host/ui/menu.h"
#include "host/ui/msgbox.h"
#include "host/ui/propsheet.h"
#include "host/ui/resources.h"
#include "host/ui/uitext.h"
#include "host/win/textutil.h"

namespace zcui {
namespace {

// A script's answer to the next opening of its dialog, with its text for
// the transcript.
struct QueuedAnswer {
    DialogDriver driver;
    std::string text;
};

struct State {
    std::map<UINT, DialogDriver> installed;
    DialogDriver fallback;
    std::map<UINT, std::deque<QueuedAnswer>> queued;
    std::deque<int> boxAnswers;
    // The answers a dialog's own script line gave to the message boxes it
    // may show, one list per dialog being driven (innermost last): taken
    // before the queued ones while it runs, dropped when it ends.
    std::vector<std::deque<int>> dialogBoxAnswers;
    std::deque<UINT> menuAnswers;
    std::vector<CDialog*> modeless;
    std::vector<MessageBoxRecord> boxes;
    std::vector<DialogRecord> dialogs;
    std::vector<MenuRecord> menus;
    std::vector<std::string> errors;
    int failedAnswers = 0;
};

State& S() {
    static State s;
    return s;
}

CPropertySheet* AsSheet(CDialog& d) {
    return dynamic_cast<CPropertySheet*>(&d);
}

UINT DriverIdOf(CDialog& d) {
    if (CPropertySheet* sheet = AsSheet(d)) return sheet->DriverId();
    return d.TemplateId();
}

std::string RowText(const Row& r) {
    if (const int* i = std::get_if<int>(&r)) return std::to_string(*i);
    return "\"" + std::get<std::string>(r) + "\"";
}

}  // namespace

// ---------------------------------------------------------------- records

const std::vector<MessageBoxRecord>& MessageBoxes() {
    return S().boxes;
}
const std::vector<DialogRecord>& DialogsShown() {
    return S().dialogs;
}
const std::vector<MenuRecord>& MenusShown() {
    return S().menus;
}
const std::vector<std::string>& DriverErrors() {
    return S().errors;
}

void ResetUi() {
    State& s = S();
    s.installed.clear(), s.fallback = nullptr, s.queued.clear(), s.boxAnswers.clear(), s.menuAnswers.clear();
    s.dialogBoxAnswers.clear();
    s.boxes.clear(), s.dialogs.clear(), s.menus.clear(), s.errors.clear();
    s.failedAnswers = 0;
}

int FailedAnswers() {
    return S().failedAnswers;
}

void RecordDialog(UINT id, int result) {
    S().dialogs.push_back({id, result});
}
void RecordDriverError(const std::string& error) {
    S().errors.push_back(error);
}
void RecordMenu(const std::vector<std::string>& items, UINT answer) {
    S().menus.push_back({items, answer});
}

void QueueMenuAnswer(UINT id) {
    S().menuAnswers.push_back(id);
}

UINT TakeMenuAnswer() {
    if (S().menuAnswers.empty()) return 0;
    UINT id = S().menuAnswers.front();
    S().menuAnswers.pop_front();
    return id;
}

// ---------------------------------------------------------------- message boxes

namespace {

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

const char* ButtonName(int id) {
    switch (id) {
        case IDOK:
            return "ok";
        case IDCANCEL:
            return "cancel";
        case IDABORT:
            return "abort";
        case IDRETRY:
            return "retry";
        case IDIGNORE:
            return "ignore";
        case IDYES:
            return "yes";
        case IDNO:
            return "no";
        default:
            return "?";
    }
}

// The button as the box shows it.
const char* ButtonLabel(int id) {
    switch (id) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Anuluj";
        case IDABORT:
            return "Przerwij";
        case IDRETRY:
            return "Ponów próbę";
        case IDIGNORE:
            return "Ignoruj";
        case IDYES:
            return "Tak";
        case IDNO:
            return "Nie";
        default:
            return "?";
    }
}

}  // namespace

int ShowMessageBox(std::string_view text, std::string_view caption, UINT type) {
    std::vector<int> buttons = ButtonsOf(type);
    size_t def = (type & MB_DEFMASK) >> 8;
    int answer = buttons[def < buttons.size() ? def : 0];
    std::deque<int>* from = &S().boxAnswers;
    if (!S().dialogBoxAnswers.empty() && !S().dialogBoxAnswers.back().empty())
        from = &S().dialogBoxAnswers.back();
    if (!from->empty()) {
        int given = from->front();
        from->pop_front();
        if (std::find(buttons.begin(), buttons.end(), given) != buttons.end()) {
            answer = given;
        } else {
            RecordDriverError(Format("the answer %s does not fit the message box \"%s\"; %s taken",
                                     ButtonName(given), std::string(text).c_str(), ButtonName(answer)));
        }
    }
    S().boxes.push_back({std::string(text), std::string(caption), type, answer});
    // The user of a script sees what the box said and what it was answered,
    // and "!expect message" can match it.
    host::transcript().message("\n[" + std::string(caption) + "] " + std::string(text) + " <" +
                               ButtonLabel(answer) + ">");
    return answer;
}

std::optional<int> MessageBoxButton(std::string_view answer, std::string* error) {
    std::string a = FoldLower(answer);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (a == ButtonName(id)) return id;
    char* end = nullptr;
    long v = std::strtol(a.c_str(), &end, 10);
    if (!a.empty() && end && *end == '\0' && v >= IDOK && v <= IDNO) return static_cast<int>(v);
    if (error)
        *error = "unknown message box answer '" + std::string(answer) +
                 "' (ok, cancel, yes, no, retry, abort, ignore or 1-7)";
    return std::nullopt;
}

bool QueueMessageBoxAnswer(std::string_view answer, std::string* error) {
    const std::optional<int> button = MessageBoxButton(answer, error);
    if (button) QueueMessageBoxAnswer(*button);
    return button.has_value();
}

void QueueMessageBoxAnswer(int buttonId) {
    S().boxAnswers.push_back(buttonId);
}

std::vector<std::string> UnusedAnswers() {
    std::vector<std::string> out;
    for (const auto& [id, answers] : S().queued)
        for (size_t i = 0; i < answers.size(); ++i) out.push_back("!dialog " + std::to_string(id));
    for (int answer : S().boxAnswers) out.push_back(std::string("!msgbox ") + ButtonName(answer));
    return out;
}

}  // namespace zcui

int AfxMessageBox(std::string_view text, UINT type, UINT) {
    return zcui::ShowMessageBox(text, "velmhost", type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    std::string text;
    if (!LoadString(text, stringId)) {
        zcui::RecordDriverError(zcui::Format("message box: no string %u in the resources", stringId));
        text = zcui::Format("(%u)", stringId);
    }
    return AfxMessageBox(text, type, helpId);
}

int MessageBox(HWND, std::string_view text, std::string_view caption, UINT type) {
    return zcui::ShowMessageBox(text, caption, type);
}

namespace zcui {

// ---------------------------------------------------------------- the user

DialogUser::DialogUser(CDialog& dialog, UINT id) : dialog_(&dialog), id_(id) {}

bool DialogUser::Ended() const {
    return !CWnd::IsLive(dialog_) || !dialog_->GetSafeHwnd() || dialog_->IsEnded();
}

bool DialogUser::Fail(const std::string& why) {
    RecordDriverError(Format("dialog %u: %s", id_, why.c_str()));
    failed_ = true;
    failure_ = why;
    return false;
}

bool DialogUser::Ready() {
    if (failed_) return false;
    if (Ended()) return Fail("the dialog has already closed");
    return true;
}

CWnd* DialogUser::Control(int ctrl) const {
    if (!CWnd::IsLive(dialog_) || !dialog_->GetSafeHwnd()) return nullptr;
    return dialog_->FindControl(ctrl);
}

CWnd* DialogUser::Need(int ctrl) {
    if (!Ready()) return nullptr;
    CWnd* c = Control(ctrl);
    if (!c) Fail(Format("no control %d", ctrl));
    return c;
}

void DialogUser::Settle() {
    CWnd::DeliverPostedMessages();
    if (!Ended()) dialog_->PaintInvalidated();
}

std::string DialogUser::Text(int ctrl) const {
    CWnd* c = Control(ctrl);
    return c ? c->GetWindowText() : std::string();
}

int DialogUser::Checked(int ctrl) const {
    auto* b = Get<CButton>(ctrl);
    return b ? b->GetCheck() : 0;
}

namespace {

// Leaves a field as a user would, by Tab: the focus moves to the next control.
void Leave(CDialog& d) {
    d.NextDlgCtrl();
}

}  // namespace

bool DialogUser::Edit(int ctrl, std::string_view text) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    UserResult r;
    if (auto* e = dynamic_cast<CEdit*>(c))
        r = e->UserSetText(text);
    else if (auto* cb = dynamic_cast<CComboBox*>(c))
        r = cb->UserSetText(text);
    else
        r = Format("control %d is a %s, not an edit", ctrl, c->KindName());
    if (!r.empty()) return Fail(r);
    if (!Ended() && CWnd::GetFocus() == c) Leave(*dialog_);
    Settle();
    return true;
}

bool DialogUser::Type(int ctrl, std::string_view text) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    if (!c->IsWindowVisible() || !c->IsWindowEnabled())
        return Fail(Format("%s %d cannot be reached", c->KindName(), ctrl));
    c->SetFocus();
    if (CWnd::GetFocus() != c) return Fail(Format("%s %d cannot take the focus", c->KindName(), ctrl));
    for (size_t i = 0; i < text.size() && !Ended();) {
        // One code point at a time, through the same path as a key press.
        unsigned char b = static_cast<unsigned char>(text[i]);
        int n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t cp = n == 1 ? b : (b & (0xFF >> (n + 1)));
        for (int k = 1; k < n && i + k < text.size(); ++k) cp = (cp << 6) | (text[i + k] & 0x3F);
        i += n;
        MSG msg{c, WM_CHAR, static_cast<WPARAM>(cp), 0};
        bool handled = false;
        for (CWnd* w = c; w && !handled; w = w->GetParent()) handled = w->PreTranslateMessage(&msg);
        if (!handled && CWnd::IsLive(c)) c->SendMessage(WM_CHAR, static_cast<WPARAM>(cp));
    }
    Settle();
    return true;
}

bool DialogUser::Check(int ctrl, int state) {
    auto* b = dynamic_cast<CButton*>(Need(ctrl));
    if (failed_) return false;
    if (!b || !b->IsCheckKind()) return Fail(Format("control %d is not a check box", ctrl));
    if (state < 0 || state > 2) return Fail(Format("check box %d has no state %d", ctrl, state));
    bool automatic = b->ButtonType() == BS_AUTOCHECKBOX || b->ButtonType() == BS_AUTO3STATE;
    // An automatic box is clicked until it shows the state; the program sets
    // a manual one in its click handler, so it is clicked once.
    for (int clicks = 0; clicks < (automatic ? 3 : 1) && b->GetCheck() != state && !Ended(); ++clicks) {
        if (UserResult r = b->UserClick(); !r.empty()) return Fail(r);
        Settle();
        if (!CWnd::IsLive(b)) break;
    }
    if (!Ended() && CWnd::IsLive(b) && b->GetCheck() != state)
        return Fail(Format("check box %d does not take the state %d", ctrl, state));
    return true;
}

bool DialogUser::Click(int ctrl) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    UserResult r;
    if (auto* b = dynamic_cast<CButton*>(c))
        r = b->UserClick();
    else if (auto* s = dynamic_cast<CStatic*>(c))
        r = s->UserClick();
    else if (!c->IsWindowVisible() || !c->IsWindowEnabled())
        r = Format("%s %d cannot be reached", c->KindName(), ctrl);
    else
        c->OnLButtonDown(0, CPoint());
    if (!r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::Focus(int ctrl) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    if (!c->IsWindowVisible() || !c->IsWindowEnabled())
        return Fail(Format("%s %d cannot be reached", c->KindName(), ctrl));
    c->SetFocus();
    Settle();
    return true;
}

namespace {

// The row index a row names in a list-like control; -1 when absent.
int ResolveRow(CWnd* c, const Row& row) {
    if (const int* i = std::get_if<int>(&row)) return *i;
    const std::string& text = std::get<std::string>(row);
    if (auto* l = dynamic_cast<CListBox*>(c)) return l->FindStringExact(-1, text);
    if (auto* cb = dynamic_cast<CComboBox*>(c)) return cb->FindStringExact(-1, text);
    if (auto* lv = dynamic_cast<CListCtrl*>(c)) {
        for (int r = 0; r < lv->GetItemCount(); ++r)
            if (host::iequals(lv->GetItemText(r, 0), text)) return r;
    }
    return -1;
}

HTREEITEM ResolveItem(CTreeCtrl* t, const Row& row) {
    if (const std::string* s = std::get_if<std::string>(&row)) return t->FindItem(*s);
    // An index counts items depth first, as they are listed.
    int want = std::get<int>(row);
    std::vector<HTREEITEM> stack;
    for (HTREEITEM h = t->GetRootItem(); h; h = t->GetNextSiblingItem(h)) stack.insert(stack.begin(), h);
    while (!stack.empty()) {
        HTREEITEM h = stack.back();
        stack.pop_back();
        if (want-- == 0) return h;
        std::vector<HTREEITEM> kids;
        for (HTREEITEM k = t->GetChildItem(h); k; k = t->GetNextSiblingItem(k)) kids.push_back(k);
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return nullptr;
}

}  // namespace

bool DialogUser::Select(int ctrl, const std::vector<Row>& rows) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    if (rows.empty()) return Fail(Format("select %d names no row", ctrl));
    UserResult r;
    if (auto* t = dynamic_cast<CTreeCtrl*>(c)) {
        if (rows.size() != 1) return Fail(Format("tree view %d selects one item", ctrl));
        HTREEITEM h = ResolveItem(t, rows[0]);
        if (!h) return Fail(Format("tree view %d has no item %s", ctrl, RowText(rows[0]).c_str()));
        r = t->UserSelect(h);
    } else {
        std::vector<int> idx;
        for (const Row& row : rows) {
            int i = ResolveRow(c, row);
            if (i < 0) return Fail(Format("%s %d has no row %s", c->KindName(), ctrl, RowText(row).c_str()));
            idx.push_back(i);
        }
        if (auto* l = dynamic_cast<CListBox*>(c))
            r = l->UserSelect(idx);
        else if (auto* lv = dynamic_cast<CListCtrl*>(c))
            r = lv->UserSelect(idx);
        else if (auto* cb = dynamic_cast<CComboBox*>(c))
            r = idx.size() == 1 ? cb->UserSelect(idx[0]) : Format("combo box %d takes one row", ctrl);
        else
            r = Format("control %d is a %s: it has no rows", ctrl, c->KindName());
    }
    if (!r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::DoubleClick(int ctrl, std::optional<Row> row) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    UserResult r;
    if (!row) {
        if (auto* s = dynamic_cast<CStatic*>(c))
            r = s->UserClick(true);
        else
            return Fail(Format("double-clicking %s %d needs a row", c->KindName(), ctrl));
    } else if (auto* t = dynamic_cast<CTreeCtrl*>(c)) {
        HTREEITEM h = ResolveItem(t, *row);
        if (!h) return Fail(Format("tree view %d has no item %s", ctrl, RowText(*row).c_str()));
        r = t->UserDoubleClick(h);
    } else {
        int i = ResolveRow(c, *row);
        if (i < 0) return Fail(Format("%s %d has no row %s", c->KindName(), ctrl, RowText(*row).c_str()));
        if (auto* l = dynamic_cast<CListBox*>(c))
            r = l->UserDoubleClick(i);
        else if (auto* lv = dynamic_cast<CListCtrl*>(c))
            r = lv->UserDoubleClick(i);
        else if (auto* cb = dynamic_cast<CComboBox*>(c))
            r = cb->UserDoubleClick(i);
        else
            r = Format("control %d is a %s: it has no rows", ctrl, c->KindName());
    }
    if (!r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::Expand(int ctrl, const Row& row) {
    auto* t = dynamic_cast<CTreeCtrl*>(Need(ctrl));
    if (failed_) return false;
    if (!t) return Fail(Format("control %d is not a tree view", ctrl));
    HTREEITEM h = ResolveItem(t, row);
    if (!h) return Fail(Format("tree view %d has no item %s", ctrl, RowText(row).c_str()));
    if (UserResult r = t->UserExpand(h, TVE_EXPAND); !r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::EditLabel(int ctrl, const Row& row, std::optional<std::string> text) {
    auto* t = dynamic_cast<CTreeCtrl*>(Need(ctrl));
    if (failed_) return false;
    if (!t) return Fail(Format("control %d is not a tree view", ctrl));
    HTREEITEM h = ResolveItem(t, row);
    if (!h) return Fail(Format("tree view %d has no item %s", ctrl, RowText(row).c_str()));
    if (UserResult r = t->UserEditLabel(h, text ? &*text : nullptr); !r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::Slide(int ctrl, int pos) {
    auto* s = dynamic_cast<CSliderCtrl*>(Need(ctrl));
    if (failed_) return false;
    if (!s) return Fail(Format("control %d is not a slider", ctrl));
    if (UserResult r = s->UserMove(pos); !r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::Scroll(int ctrl, UINT code, int pos) {
    auto* s = dynamic_cast<CScrollBar*>(Need(ctrl));
    if (failed_) return false;
    if (!s) return Fail(Format("control %d is not a scroll bar", ctrl));
    if (UserResult r = s->UserScroll(code, pos); !r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::ColumnClick(int ctrl, int col) {
    auto* l = dynamic_cast<CListCtrl*>(Need(ctrl));
    if (failed_) return false;
    if (!l) return Fail(Format("control %d is not a list view", ctrl));
    if (UserResult r = l->UserColumnClick(col); !r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::TrackColumn(int ctrl, int col, int width) {
    CWnd* c = Need(ctrl);
    if (!c) return false;
    UserResult r;
    if (auto* l = dynamic_cast<CListCtrl*>(c))
        r = l->UserTrackColumn(col, width);
    else if (auto* h = dynamic_cast<CHeaderCtrl*>(c))
        r = h->UserTrack(col, width);
    else
        r = Format("control %d has no columns", ctrl);
    if (!r.empty()) return Fail(r);
    Settle();
    return true;
}

bool DialogUser::Key(int ctrl, UINT vk, bool ctrlHeld, bool shiftHeld) {
    CWnd* c = ctrl ? Need(ctrl) : (Ready() ? CWnd::GetFocus() : nullptr);
    if (failed_) return false;
    if (!c) c = dialog_;
    if (c != dialog_ && (!c->IsWindowVisible() || !c->IsWindowEnabled()))
        return Fail(Format("%s %d cannot be reached", c->KindName(), ctrl));
    if (c != dialog_ && CWnd::GetFocus() != c) c->SetFocus();
    SetKeyHeld(VK_CONTROL, ctrlHeld);
    SetKeyHeld(VK_SHIFT, shiftHeld);
    MSG msg{c, WM_KEYDOWN, vk, 0};
    bool handled = false;
    for (CWnd* w = c; w && !handled && CWnd::IsLive(w); w = w->GetParent())
        handled = w->PreTranslateMessage(&msg);
    if (!handled && CWnd::IsLive(c)) c->SendMessage(WM_KEYDOWN, vk);
    SetKeyHeld(VK_CONTROL, false);
    SetKeyHeld(VK_SHIFT, false);
    Settle();
    return true;
}

bool DialogUser::Menu(UINT id) {
    if (!Ready()) return false;
    QueueMenuAnswer(id);
    return true;
}

bool DialogUser::MessageBoxAnswer(int buttonId) {
    if (!Ready()) return false;
    if (S().dialogBoxAnswers.empty()) return Fail("no modal dialog is being driven");
    S().dialogBoxAnswers.back().push_back(buttonId);
    return true;
}

bool DialogUser::Message(UINT msg, WPARAM wp, LPARAM lp) {
    if (!Ready()) return false;
    lastResult_ = dialog_->SendMessage(msg, wp, lp);
    Settle();
    return true;
}

bool DialogUser::Page(int index) {
    if (!Ready()) return false;
    CPropertySheet* sheet = AsSheet(*dialog_);
    if (!sheet) return Fail("not a property sheet");
    if (!sheet->GetPage(index)) return Fail(Format("the sheet has no page %d", index));
    sheet->SetActivePage(index);  // a page may refuse to be left: that is the program's answer
    Settle();
    return true;
}

bool DialogUser::Apply() {
    if (!Ready()) return false;
    if (!AsSheet(*dialog_)) return Fail("not a property sheet");
    return Click(ID_APPLY_NOW);
}

bool DialogUser::Help() {
    if (!Ready()) return false;
    dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), 0);
    Settle();
    return true;
}

bool DialogUser::Enter() {
    if (!Ready()) return false;
    return Key(0, VK_RETURN);
}

bool DialogUser::Ok() {
    if (!Ready()) return false;
    CWnd* ok = dialog_->GetDlgItem(IDOK);
    if (ok) {
        if (!ok->IsWindowVisible() || !ok->IsWindowEnabled()) return Fail("the OK button cannot be reached");
        if (auto* b = dynamic_cast<CButton*>(ok)) {
            if (UserResult r = b->UserClick(); !r.empty()) return Fail(r);
            Settle();
            return true;
        }
    }
    dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Settle();
    return true;
}

namespace {

// A caption as the user reads it: "&&" is an ampersand, a lone '&' only
// underlines the next letter.
std::string WithoutAccelerators(const std::string& text) {
    if (text.find('&') == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out.push_back(text[i]);
    }
    return out;
}

// "\n[okno ID] " and a text: every modal dialog writes two such lines, so
// they are put together directly rather than through a format pass.
std::string DialogLine(UINT id, const char* text) {
    std::string line = "\n[okno ";
    line += std::to_string(id);
    line += "] ";
    line += text;
    return line;
}

}  // namespace

std::string DialogUser::PressDefault() {
    if (!Ready()) return {};
    const int def = static_cast<int>(dialog_->GetDefID());
    CWnd* c = dialog_->GetDlgItem(def);
    std::string name = c ? "\"" + WithoutAccelerators(c->GetWindowText()) + "\""
                         : (def == IDOK ? std::string("OK") : std::to_string(def));
    if (auto* b = dynamic_cast<CButton*>(c)) {
        if (!b->IsWindowVisible() || !b->IsWindowEnabled()) {
            Fail(Format("the default button %d cannot be reached", def));
            return name;
        }
        if (UserResult r = b->UserClick(); !r.empty()) {
            Fail(r);
            return name;
        }
        Settle();
        return name;
    }
    dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(def, BN_CLICKED), 0);
    Settle();
    return name;
}

bool DialogUser::Cancel() {
    if (!Ready()) return false;
    // Escape or the close box: always there, whatever the buttons.
    dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Settle();
    return true;
}

// ---------------------------------------------------------------- drivers

void InstallDialogDriver(UINT dialogId, DialogDriver driver) {
    S().installed[dialogId] = std::move(driver);
}
void RemoveDialogDriver(UINT dialogId) {
    S().installed.erase(dialogId);
}

void InstallFallbackDialogDriver(DialogDriver driver) {
    S().fallback = std::move(driver);
}

namespace {

std::string ResultName(int result) {
    if (result == IDOK) return "OK";
    if (result == IDCANCEL) return "Anuluj";
    return std::to_string(result);
}

}  // namespace

void DriveModal(CDialog& dialog) {
    const UINT id = DriverIdOf(dialog);
    CWnd::DeliverPostedMessages();
    // A script's reader sees which dialog a command opened, and how it was
    // closed: the numbers a "!dialog" line needs are on the transcript.
    host::transcript().append(DialogLine(id, WithoutAccelerators(dialog.GetWindowText()).c_str()));
    DialogUser user(dialog, id);
    DialogDriver driver;
    std::string how = "bez odpowiedzi";
    bool scripted = false;
    if (auto q = S().queued.find(id); q != S().queued.end() && !q->second.empty()) {
        driver = std::move(q->second.front().driver);
        how = "odpowiedź: " + q->second.front().text;
        scripted = true;
        q->second.pop_front();
    } else if (auto it = S().installed.find(id); it != S().installed.end()) {
        driver = it->second;
        how = "sterownik";
    } else if (S().fallback) {
        driver = S().fallback;
        how = "sterownik";
    }
    S().dialogBoxAnswers.emplace_back();
    if (driver && !user.Ended()) driver(user);
    if (!user.Ended() && !user.Failed()) {
        // A user accepting what is shown presses Enter.
        std::string pressed = user.PressDefault();
        how += ", Enter: " + pressed;
        if (!user.Ended() && !user.Failed()) {
            RecordDriverError(Format("dialog %u: still open after %s; cancelled", id,
                                     dialog.GetDefID() == IDOK ? "OK" : "Enter"));
            how += " (okno nadal otwarte)";
        }
    }
    if (user.Failed()) {
        const std::string action = user.FailedAction().empty() ? "Enter" : user.FailedAction();
        host::transcript().message(
            Format("\n[okno %u] nie wykonano: %s (%s)", id, action.c_str(), user.Failure().c_str()));
        if (scripted) ++S().failedAnswers;
    }
    if (!user.Ended()) dialog.EndDialog(IDCANCEL);
    S().dialogBoxAnswers.pop_back();
    host::transcript().append(DialogLine(id, how.c_str()) + " => " + ResultName(dialog.Result()).c_str());
}

void RegisterModeless(CDialog& dialog) {
    auto& m = S().modeless;
    if (std::find(m.begin(), m.end(), &dialog) == m.end()) m.push_back(&dialog);
}

void UnregisterModeless(CDialog& dialog) {
    std::erase(S().modeless, &dialog);
}

CDialog* FindModeless(UINT dialogId) {
    for (CDialog* d : S().modeless)
        if (CWnd::IsLive(d) && d->GetSafeHwnd() && DriverIdOf(*d) == dialogId) return d;
    return nullptr;
}

bool DriveModeless(UINT dialogId, const DialogDriver& driver) {
    CDialog* d = FindModeless(dialogId);
    if (!d) return false;
    DialogUser user(*d, dialogId);
    if (driver) driver(user);
    CWnd::DeliverPostedMessages();
    return true;
}

// ---------------------------------------------------------------- scripts

namespace {

using Tok = zcui::LineToken;

bool Split(std::string_view line, std::vector<Tok>& out, std::string& error) {
    return zcui::TokeniseLine(line, out, error, {false, false, "a text is not closed with '\"'"});
}

// v is left alone unless the token is a number: an optional number
// followed by an action ("check 5 ok") keeps its default.
bool Number(const Tok& t, long& v) {
    if (t.quoted || t.text.empty()) return false;
    char* end = nullptr;
    const long parsed = std::strtol(t.text.c_str(), &end, 10);
    if (!end || *end != '\0') return false;
    v = parsed;
    return true;
}

using Step = std::function<bool(DialogUser&)>;
struct SpelledStep {
    Step run;
    std::string text;
};

class ScriptParser {
public:
    explicit ScriptParser(std::vector<Tok> toks) : t_(std::move(toks)) {}

    bool Run(UINT& id, std::vector<SpelledStep>& steps, std::string& error) {
        if (t_.empty()) return error = "a dialog id is missing", false;
        long v = 0;
        const std::string& head = t_[0].text;
        if (Number(t_[0], v) && v > 0)
            id = static_cast<UINT>(v);
        else if (!t_[0].quoted && head == "color")
            id = kColorDialogId;
        else if (!t_[0].quoted && head == "truecolor")
            id = kTrueColorDialogId;
        else if (!t_[0].quoted && head == "rgb")
            id = kRgbDialogId;
        else if (!t_[0].quoted && head == "file")
            id = kFileDialogId;
        else
            return error = "'" + head + "' is not a dialog id", false;
        pos_ = 1;
        while (pos_ < t_.size()) {
            const size_t first = pos_;
            Step s;
            if (!Action(s, error)) return false;
            steps.push_back({std::move(s), Spelled(first, pos_)});
        }
        return true;
    }

    // The tokens [first, end) as the line wrote them, for messages.
    std::string Spelled(size_t first, size_t end) const {
        std::string out;
        for (size_t i = first; i < end; ++i) {
            if (!out.empty()) out += ' ';
            out += t_[i].quoted ? "\"" + t_[i].text + "\"" : t_[i].text;
        }
        return out;
    }

private:
    bool Word(std::string& w) {
        if (pos_ >= t_.size() || t_[pos_].quoted) return false;
        w = t_[pos_++].text;
        return true;
    }
    bool Int(long& v, std::string& error, const char* what) {
        if (pos_ < t_.size() && Number(t_[pos_], v)) {
            ++pos_;
            return true;
        }
        error = std::string("expected ") + what +
                (pos_ < t_.size() ? " at '" + t_[pos_].text + "'" : " at the end");
        return false;
    }
    bool Text(std::string& s, std::string& error) {
        if (pos_ < t_.size() && t_[pos_].quoted) {
            s = t_[pos_++].text;
            return true;
        }
        error = "expected a quoted text" +
                (pos_ < t_.size() ? " at '" + t_[pos_].text + "'" : std::string(" at the end"));
        return false;
    }
    bool IsRowNext() const {
        long v = 0;
        return pos_ < t_.size() && (t_[pos_].quoted || Number(t_[pos_], v));
    }
    Row TakeRow() {
        const Tok& t = t_[pos_++];
        long v = 0;
        if (!t.quoted && Number(t, v)) return static_cast<int>(v);
        return t.text;
    }

    bool Action(Step& s, std::string& error) {
        std::string w;
        if (!Word(w)) return error = "expected an action at '" + t_[pos_].text + "'", false;
        long ctrl = 0, n = 0, m = 0;
        std::string text;
        if (w == "ok") return s = [](DialogUser& u) { return u.Ok(); }, true;
        if (w == "cancel") return s = [](DialogUser& u) { return u.Cancel(); }, true;
        if (w == "enter") return s = [](DialogUser& u) { return u.Enter(); }, true;
        if (w == "apply") return s = [](DialogUser& u) { return u.Apply(); }, true;
        if (w == "help") return s = [](DialogUser& u) { return u.Help(); }, true;
        if (w == "page") {
            if (!Int(n, error, "a page index")) return false;
            return s = [n](DialogUser& u) { return u.Page(static_cast<int>(n)); }, true;
        }
        if (w == "menu") {
            if (!Int(n, error, "a menu item id")) return false;
            return s = [n](DialogUser& u) { return u.Menu(static_cast<UINT>(n)); }, true;
        }
        if (w == "msgbox") {
            std::string answer;
            if (!Word(answer)) return error = "msgbox needs an answer (ok, cancel, yes, no …)", false;
            const std::optional<int> button = MessageBoxButton(answer, &error);
            if (!button) return false;
            return s = [b = *button](DialogUser& u) { return u.MessageBoxAnswer(b); }, true;
        }
        if (w == "message") {
            if (!Int(n, error, "a message number")) return false;
            long wp = 0, lp = 0;
            if (pos_ < t_.size() && Number(t_[pos_], wp)) ++pos_;
            if (pos_ < t_.size() && Number(t_[pos_], lp)) ++pos_;
            return s =
                       [n, wp, lp](DialogUser& u) {
                           return u.Message(static_cast<UINT>(n), static_cast<WPARAM>(wp),
                                            static_cast<LPARAM>(lp));
                       },
                   true;
        }
        static const char* const kWithControl[] = {
            "edit",     "type",   "check", "uncheck", "radio",  "click", "focus",  "select",
            "dblclick", "expand", "label", "slider",  "column", "track", "scroll", "key"};
        if (std::find_if(std::begin(kWithControl), std::end(kWithControl),
                         [&](const char* k) { return w == k; }) == std::end(kWithControl))
            return error = "unknown action '" + w + "'", false;
        if (!Int(ctrl, error, "a control id")) return false;
        const int c = static_cast<int>(ctrl);
        if (w == "edit" || w == "type") {
            if (!Text(text, error)) return false;
            if (w == "edit") return s = [c, text](DialogUser& u) { return u.Edit(c, text); }, true;
            return s = [c, text](DialogUser& u) { return u.Type(c, text); }, true;
        }
        if (w == "check") {
            long state = 1;
            if (pos_ < t_.size() && Number(t_[pos_], state)) {
                if (state < 0 || state > 2) return error = "a check state is 0, 1 or 2", false;
                ++pos_;
            }
            return s = [c, state](DialogUser& u) { return u.Check(c, static_cast<int>(state)); }, true;
        }
        if (w == "uncheck") return s = [c](DialogUser& u) { return u.Check(c, 0); }, true;
        if (w == "radio") return s = [c](DialogUser& u) { return u.Radio(c); }, true;
        if (w == "click") return s = [c](DialogUser& u) { return u.Click(c); }, true;
        if (w == "focus") return s = [c](DialogUser& u) { return u.Focus(c); }, true;
        if (w == "select") {
            std::vector<Row> rows;
            while (IsRowNext()) rows.push_back(TakeRow());
            if (rows.empty()) return error = "select needs a row (\"text\" or index)", false;
            return s = [c, rows](DialogUser& u) { return u.Select(c, rows); }, true;
        }
        if (w == "dblclick") {
            std::optional<Row> row;
            if (IsRowNext()) row = TakeRow();
            return s = [c, row](DialogUser& u) { return u.DoubleClick(c, row); }, true;
        }
        if (w == "expand" || w == "label") {
            if (!IsRowNext()) return error = w + " needs an item (\"text\" or index)", false;
            Row row = TakeRow();
            if (w == "expand") return s = [c, row](DialogUser& u) { return u.Expand(c, row); }, true;
            std::optional<std::string> label;
            std::string cancel;
            if (pos_ < t_.size() && t_[pos_].quoted)
                label = t_[pos_++].text;
            else if (!Word(cancel) || cancel != "cancel")
                return error = "label needs a new \"text\" or cancel", false;
            return s = [c, row, label](DialogUser& u) { return u.EditLabel(c, row, label); }, true;
        }
        if (w == "slider") {
            if (!Int(n, error, "a position")) return false;
            return s = [c, n](DialogUser& u) { return u.Slide(c, static_cast<int>(n)); }, true;
        }
        if (w == "column") {
            if (!Int(n, error, "a column")) return false;
            return s = [c, n](DialogUser& u) { return u.ColumnClick(c, static_cast<int>(n)); }, true;
        }
        if (w == "track") {
            if (!Int(n, error, "a column") || !Int(m, error, "a width")) return false;
            return s =
                       [c, n, m](DialogUser& u) {
                           return u.TrackColumn(c, static_cast<int>(n), static_cast<int>(m));
                       },
                   true;
        }
        if (w == "scroll") {
            std::string how;
            if (!Word(how))
                return error = "scroll needs lineup, linedown, pageup, pagedown, top, bottom or thumb N",
                       false;
            static const std::pair<const char*, UINT> kCodes[] = {
                {"lineup", SB_LINEUP},      {"linedown", SB_LINEDOWN}, {"pageup", SB_PAGEUP},
                {"pagedown", SB_PAGEDOWN},  {"top", SB_TOP},           {"bottom", SB_BOTTOM},
                {"thumb", SB_THUMBPOSITION}};
            auto code =
                std::find_if(std::begin(kCodes), std::end(kCodes), [&](auto& p) { return how == p.first; });
            if (code == std::end(kCodes)) return error = "unknown scroll '" + how + "'", false;
            long pos = 0;
            if (code->second == SB_THUMBPOSITION && !Int(pos, error, "a thumb position")) return false;
            UINT sb = code->second;
            return s = [c, sb, pos](DialogUser& u) { return u.Scroll(c, sb, static_cast<int>(pos)); }, true;
        }
        // key
        std::string key;
        long vk = 0;
        static const std::pair<const char*, UINT> kKeys[] = {
            {"enter", VK_RETURN},   {"tab", VK_TAB},     {"escape", VK_ESCAPE}, {"delete", VK_DELETE},
            {"backspace", VK_BACK}, {"space", VK_SPACE}, {"up", VK_UP},         {"down", VK_DOWN},
            {"left", VK_LEFT},      {"right", VK_RIGHT}, {"home", VK_HOME},     {"end", VK_END},
            {"f1", VK_F1},          {"f2", VK_F2}};
        if (pos_ < t_.size() && Number(t_[pos_], vk)) {
            ++pos_;
            if (vk <= 0 || vk > 255) return error = "a key code is 1 to 255", false;
        } else if (Word(key)) {
            auto k =
                std::find_if(std::begin(kKeys), std::end(kKeys), [&](auto& p) { return key == p.first; });
            if (k == std::end(kKeys)) return error = "unknown key '" + key + "'", false;
            vk = k->second;
        } else {
            return error = "key needs a key name or code", false;
        }
        bool withCtrl = false, withShift = false;
        while (pos_ < t_.size() && !t_[pos_].quoted && (t_[pos_].text == "ctrl" || t_[pos_].text == "shift"))
            (t_[pos_++].text == "ctrl" ? withCtrl : withShift) = true;
        return s = [c, vk, withCtrl, withShift](
                       DialogUser& u) { return u.Key(c, static_cast<UINT>(vk), withCtrl, withShift); },
               true;
    }

    std::vector<Tok> t_;
    size_t pos_ = 0;
};

}  // namespace

bool ParseDialogScript(std::string_view line, UINT& dialogId, DialogDriver& driver, std::string* error) {
    std::vector<Tok> toks;
    std::string why;
    std::vector<SpelledStep> steps;
    UINT id = 0;
    if (!Split(line, toks, why) || !ScriptParser(std::move(toks)).Run(id, steps, why)) {
        if (error) *error = "dialog answer: " + why;
        return false;
    }
    dialogId = id;
    driver = [steps = std::move(steps)](DialogUser& u) {
        for (const SpelledStep& s : steps) {
            if (u.Ended()) {
                RecordDriverError(Format("dialog %u: actions left after the dialog closed", u.Id()));
                return;
            }
            if (!s.run(u)) {
                u.SetFailedAction(s.text);
                return;
            }
        }
    };
    return true;
}

namespace {

// The actions of a line without its dialog id, as the transcript shows them.
std::string ActionsOf(std::string_view line) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    size_t gap = line.find_first_of(" \t", start);
    if (gap == std::string_view::npos) return {};
    size_t rest = line.find_first_not_of(" \t", gap);
    if (rest == std::string_view::npos) return {};
    size_t end = line.find_last_not_of(" \t");
    return std::string(line.substr(rest, end + 1 - rest));
}

}  // namespace

bool QueueDialogScript(std::string_view line, std::string* error) {
    UINT id = 0;
    DialogDriver driver;
    if (!ParseDialogScript(line, id, driver, error)) return false;
    S().queued[id].push_back({std::move(driver), ActionsOf(line)});
    return true;
}

bool RunDialogScript(std::string_view line, std::string* error) {
    UINT id = 0;
    DialogDriver driver;
    if (!ParseDialogScript(line, id, driver, error)) return false;
    if (DriveModeless(id, driver)) return true;
    S().queued[id].push_back({std::move(driver), ActionsOf(line)});
    return true;
}

}  // namespace zcui

namespace zcui {

namespace {

// The "!dialog" action that drives a control of a template; empty for the
// texts and frames a script cannot act on.
std::string ActionFor(const ControlTemplate& c) {
    switch (c.kind) {
        case ControlKind::Button:
            switch (c.style & BS_TYPEMASK) {
                case BS_GROUPBOX:
                    return {};
                case BS_CHECKBOX:
                case BS_AUTOCHECKBOX:
                case BS_3STATE:
                case BS_AUTO3STATE:
                    return "check";
                case BS_RADIOBUTTON:
                case BS_AUTORADIOBUTTON:
                    return "radio";
                default:
                    return "click";
            }
        case ControlKind::Static:
            return (c.style & SS_NOTIFY) ? "click" : std::string();
        case ControlKind::Edit:
            return "edit";
        case ControlKind::ComboBox:
            return (c.style & CBS_TYPEMASK) == CBS_DROPDOWNLIST ? "select" : "edit|select";
        case ControlKind::ListBox:
        case ControlKind::ListView:
        case ControlKind::TreeView:
            return "select";
        case ControlKind::Slider:
            return "slider";
        case ControlKind::ScrollBar:
            return "scroll";
        case ControlKind::Header:
            return "track";
    }
    return {};
}

bool IsLabel(const ControlTemplate& c) {
    if (c.text.empty()) return false;
    if (c.kind == ControlKind::Static) return (c.style & SS_TYPEMASK) != SS_BITMAP;
    return c.kind == ControlKind::Button && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

std::string DescribeDialogTemplate(const DialogTemplate& dialog) {
    std::string out = Format("%u \"%s\"\n", dialog.id, WithoutAccelerators(dialog.caption).c_str());
    int defaultButton = IDOK;
    bool hasOk = false;
    for (const ControlTemplate& c : dialog.controls) {
        if (c.kind != ControlKind::Button) continue;
        if ((c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) defaultButton = c.id;
        if (c.id == IDOK) hasOk = true;
    }
    const ControlTemplate* previous = nullptr;
    for (const ControlTemplate& c : dialog.controls) {
        const std::string action = ActionFor(c);
        if (!action.empty()) {
            // A field is labelled by the text or frame just before it; a
            // button, box or radio button by its own text.
            std::string label;
            const bool ownText = c.kind == ControlKind::Button;
            if (ownText)
                label = WithoutAccelerators(c.text);
            else if (previous && IsLabel(*previous))
                label = WithoutAccelerators(previous->text);
            std::string first;
            if (action == "check") first = "0";
            if (c.kind == ControlKind::Edit && !c.text.empty()) first = "\"" + c.text + "\"";
            if (c.kind == ControlKind::Button && c.id == defaultButton) first = "Enter";
            if (c.kind == ControlKind::Button && c.id == IDCANCEL) first = "Escape";
            if (c.style & WS_DISABLED) first += first.empty() ? "nieaktywne" : " nieaktywne";
            std::string line = Format("  %-6d %-12s \"%s\"", c.id, action.c_str(), label.c_str());
            if (!first.empty()) line += "  " + first;
            out += line + "\n";
        }
        previous = &c;
    }
    if (defaultButton == IDOK && !hasOk) out += "  Enter: OK (okno nie ma przycisku OK)\n";
    return out;
}

}  // namespace zcui
