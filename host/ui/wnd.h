// The window: the base of dialogs and controls.  A window has an id, a text,
// styles, a rectangle in its parent's client pixels, visible and enabled
// states, a parent and children in tab order.  Messages are plain virtual
// calls; what the class library would route through message maps is
// registered here per control id and notification (HandleCommand,
// HandleNotify, HandleMessage, HandleScroll).  One window holds the keyboard
// focus; moving it tells the old window (with the new one) and the new window.
// Painting records into the window's paint record (see dc.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/ui/dc.h"
#include "host/ui/uibase.h"

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Windows are made and ended by the dozen with every dialog shown: their
    // memory is kept by size for the next ones.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    HWND m_hWnd = nullptr;  // the window itself while it exists on screen
    HWND GetSafeHwnd() const { return m_hWnd; }
    static bool IsLive(const CWnd* wnd);

    // Life: controls are created from a template, bound to members, or made
    // at run time with their own Create.
    BOOL CreateChildWindow(DWORD style, const CRect& rect, CWnd* parent, UINT id, std::string_view text = {});
    virtual BOOL DestroyWindow();
    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    // Identity and family.
    int GetDlgCtrlID() const { return id_; }
    int SetDlgCtrlID(int id);
    CWnd* GetParent() const { return parent_; }
    CWnd* GetDlgItem(int id) const;
    const std::vector<CWnd*>& Children() const { return children_; }
    // The next (or previous) enabled, visible tab stop after ctl, wrapping.
    CWnd* GetNextDlgTabItem(const CWnd* ctl, BOOL previous = FALSE) const;
    // Controls of ctl's group (from a WS_GROUP control up to the next one).
    std::vector<CWnd*> GroupOf(const CWnd* ctl) const;

    // Text.
    virtual void SetWindowText(std::string_view text);
    std::string GetWindowText() const { return text_; }
    void GetWindowText(std::string& out) const { out = text_; }
    int GetWindowTextLength() const { return static_cast<int>(text_.size()); }
    void SetDlgItemText(int id, std::string_view text);
    UINT GetDlgItemText(int id, std::string& out) const;
    void SetDlgItemInt(int id, int value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* ok = nullptr, BOOL isSigned = TRUE) const;
    void CheckDlgButton(int id, UINT state);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int first, int last, int checked);
    int GetCheckedRadioButton(int first, int last) const;

    // Styles and states.
    DWORD GetStyle() const { return style_; }
    DWORD GetExStyle() const { return exStyle_; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const { return enabled_; }

    // Geometry: window rectangles are in screen pixels (a dialog's screen
    // origin is its own position), client rectangles start at 0,0.
    void GetWindowRect(CRect* r) const;
    void GetClientRect(CRect* r) const;
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE);
    void MoveWindow(const CRect& r, BOOL repaint = TRUE) {
        MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint);
    }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void ScreenToClient(CRect* r) const;
    void ScreenToClient(CPoint* p) const;
    void ClientToScreen(CRect* r) const;
    void ClientToScreen(CPoint* p) const;
    void MapDialogRect(CRect* r) const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* wp) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* wp);
    void CenterWindow(CWnd* = nullptr) {}

    // Focus: the window that gets the focus is told after the one that loses it.
    CWnd* SetFocus();
    static CWnd* GetFocus();

    void SetFont(const CFont* font, BOOL redraw = TRUE);
    const CFont* GetFont() const { return font_ ? font_ : DialogFont(); }

    // Messages.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    // Queued; the dialog driver delivers posted messages after each action.
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    static void DeliverPostedMessages();
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    int MessageBox(std::string_view text, std::string_view caption = {}, UINT type = MB_OK);

    // Handlers per control id and notification, in place of message maps.
    void HandleCommand(UINT code, int id, std::function<void()> fn);
    void HandleCommandRange(UINT code, int first, int last, std::function<void(int id)> fn);
    void HandleNotify(UINT code, int id, std::function<void(NMHDR*, LRESULT*)> fn);
    void HandleMessage(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> fn);
    void HandleScroll(bool vertical, std::function<void(UINT code, UINT pos, CWnd* bar)> fn);
    void HandlePaint(std::function<void(CDC&)> fn) { paintHandler_ = std::move(fn); }

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow();
    // Paints every invalidated, visible window of this tree.
    void PaintInvalidated();
    const std::vector<DrawOp>& PaintRecord() const { return paint_; }
    std::vector<DrawOp>& PaintSink() { return paint_; }

    // Overridables.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    virtual void OnHScroll(UINT code, UINT pos, CWnd* bar);
    virtual void OnVScroll(UINT code, UINT pos, CWnd* bar);
    virtual void OnSetFocus(CWnd* old);
    virtual void OnKillFocus(CWnd* next);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnLButtonDown(UINT flags, CPoint at);
    virtual void OnLButtonDblClk(UINT flags, CPoint at);
    virtual void OnEnable(BOOL enable);
    virtual void OnPaint();
    // The reflected control-colour message: a brush to fill the background.
    virtual HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    virtual void OnDestroy() {}
    virtual void PostNcDestroy() {}

    // What kind of control this is, for messages about it ("edit", "button" …).
    virtual const char* KindName() const { return "window"; }

protected:
    // Tells the parent through WM_COMMAND / WM_NOTIFY.
    void NotifyParent(UINT code);
    LRESULT NotifyParent(NMHDR& hdr);
    // What the control tells its parent when it gains or loses the focus.
    virtual void NotifyFocus(bool gained);
    // Takes over the state of the template's control it replaces.
    virtual void CopyState(const CWnd& from);
    virtual void DefaultPaint(CDC& dc);
    void SetTextRaw(std::string text) { text_ = std::move(text); }
    void DestroyTree(bool callVirtuals);

    int id_ = 0;
    std::string text_;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    CRect rect_;  // in the parent's client pixels (a top-level window: screen)
    bool visible_ = false;
    bool enabled_ = true;
    const CFont* font_ = nullptr;
    CWnd* parent_ = nullptr;

private:
    friend class CDialog;
    friend class CPropertySheet;
    struct ChildWalk;
    struct Handlers;
    void AdoptChild(std::unique_ptr<CWnd> child);
    void AttachChild(CWnd* child);
    void DetachChild(CWnd* child);
    void ReserveChildren(std::size_t count);
    // Before children_ changes: `leaving` is the index of the child about to
    // leave it, or kAnyChange.
    static constexpr std::size_t kAnyChange = static_cast<std::size_t>(-1);
    void FamilyChanging(std::size_t leaving);
    // The quiet teardown of stock controls: see DestroyTree.
    bool EndsQuietly(const CWnd* parent) const;
    void EndQuietly();
    void DropEnded(ChildWalk& walk, std::size_t& ended);
    Handlers& EnsureHandlers();
    CPoint ScreenOrigin() const;

    std::vector<CWnd*> children_;
    // The children's ids in the same order, so that a dialog's many look-ups
    // of its controls by id (every DDX line, every init) scan numbers in a
    // row rather than a control each.
    std::vector<int> childIds_;
    // An open-addressed table over childIds_ (index + 1, the first child of
    // each id), made by the first look-up after the list changed otherwise
    // than by a child added at the end: a dialog looks its controls up by
    // the hundred while it is laid out.  Small entries keep it a small
    // block, which the heap hands out quickly.
    mutable std::vector<std::uint16_t> idSlots_;
    void IdsChanged() { idSlots_.clear(); }
    void MakeIdSlots() const;
    void PutIdSlot(std::size_t index) const;
    std::vector<std::unique_ptr<CWnd>> owned_;
    // Registered handlers, made with the first: most controls register none,
    // and every dialog makes and ends dozens of them each time it is shown.
    std::unique_ptr<Handlers> handlers_;
    std::function<void(CDC&)> paintHandler_;
    std::vector<DrawOp> paint_;
    bool dirty_ = false;
    // Made by the host from a dialog template: its class overrides none of
    // what runs as a window ends.
    bool stock_ = false;
};

// The host's main window: always there, never destroyed.
CWnd* AfxGetMainWnd();
// Held modifier keys, for GetKeyState while the driver presses a key.
namespace zcui {
void SetKeyHeld(int virtualKey, bool held);
}
