// The window base: life, family, focus, message routing and painting.
// Routing: SendMessage calls WindowProc, which runs a registered handler for
// the message or the virtual that the message stands for; WM_COMMAND and
// WM_NOTIFY look up the handler registered for (notification, control id).
#include "host/ui/wnd.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <new>
#include <tuple>
#include <typeinfo>
#include <vector>

#include "host/ui/controls.h"
#include "host/ui/driver.h"
#include "host/ui/listctrl.h"
#include "host/ui/msgbox.h"
#include "host/ui/uitext.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

// The windows alive, by address: an open-addressed table of pointers, as a
// dialog makes and ends dozens of controls every time it is shown and its
// teardown asks after every window's parent.  Linear probing; a removal
// moves later entries of the run back, so there are no tombstones.
class LiveSet {
public:
    void Insert(const CWnd* w) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        std::size_t i = Home(w);
        while (slots_[i] && slots_[i] != w) i = (i + 1) & mask_;
        if (!slots_[i]) slots_[i] = w, ++count_;
    }
    void Erase(const CWnd* w) {
        if (slots_.empty()) return;
        std::size_t i = Home(w);
        while (slots_[i] != w) {
            if (!slots_[i]) return;
            i = (i + 1) & mask_;
        }
        // Close the gap: an entry further on may move back into it when its
        // home does not lie between the gap and itself.
        for (std::size_t j = (i + 1) & mask_; slots_[j]; j = (j + 1) & mask_) {
            const std::size_t home = Home(slots_[j]);
            if (((j - home) & mask_) >= ((j - i) & mask_)) slots_[i] = slots_[j], i = j;
        }
        slots_[i] = nullptr;
        --count_;
    }
    bool Contains(const CWnd* w) const {
        if (!w || slots_.empty()) return false;
        for (std::size_t i = Home(w); slots_[i]; i = (i + 1) & mask_)
            if (slots_[i] == w) return true;
        return false;
    }

private:
    std::size_t Home(const CWnd* w) const {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(w) * 0x9E3779B97F4A7C15ull) >>
                                        shift_);
    }
    void Grow() {
        std::vector<const CWnd*> old(slots_.empty() ? 64 : slots_.size() * 2, nullptr);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        shift_ = 64 - static_cast<unsigned>(std::countr_zero(slots_.size()));
        count_ = 0;
        for (const CWnd* w : old)
            if (w) Insert(w);
    }
    std::vector<const CWnd*> slots_;
    std::size_t count_ = 0;
    std::size_t mask_ = 0;
    unsigned shift_ = 64;
};

// Freed windows' blocks by size, in steps of 16 bytes: the next window of
// that size takes the last one freed.  Under the address sanitizer every
// window has a block of its own, so that a stale pointer is still caught.
class WindowBlocks {
public:
    void* Take(std::size_t size) {
        const std::size_t c = (size + kGrain - 1) / kGrain;
        if (!kPooled || c >= kClasses) return ::operator new(size);
        if (Free* f = heads_[c]) {
            heads_[c] = f->next;
            return f;
        }
        return ::operator new(c* kGrain);
    }
    void Give(void* p, std::size_t size) {
        const std::size_t c = (size + kGrain - 1) / kGrain;
        if (!kPooled || c >= kClasses) return ::operator delete(p);
        heads_[c] = new (p) Free{heads_[c]};
    }

private:
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool kPooled = false;
#elif defined(__has_feature)
    static constexpr bool kPooled = !__has_feature(address_sanitizer);
#else
    static constexpr bool kPooled = true;
#endif
    static constexpr std::size_t kGrain = 16;
    static constexpr std::size_t kClasses = 128;
    struct Free {
        Free* next;
    };
    Free* heads_[kClasses] = {};
};

constinit WindowBlocks g_blocks;

LiveSet& Live() {
    static LiveSet live;
    return live;
}

CWnd* g_focus = nullptr;
bool g_keys[256] = {};

struct Posted {
    CWnd* wnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
// Made with the first message posted and never ended (windows may end after
// this file's statics): every window that ends asks whether any wait.
std::deque<Posted>* g_posted = nullptr;
std::deque<Posted>& PostQueue() {
    if (!g_posted) g_posted = new std::deque<Posted>();
    return *g_posted;
}
bool AnyPosted() {
    return g_posted && !g_posted->empty();
}

}  // namespace

// A window registers a handful of handlers, each once, as it is made: a
// list searched in turn is quicker to fill, search and end than a tree.
struct CWnd::Handlers {
    template <class Fn>
    struct Keyed {
        UINT code;
        int id;
        Fn fn;
    };
    template <class Fn>
    static void Put(std::vector<Keyed<Fn>>& list, UINT code, int id, Fn fn) {
        for (Keyed<Fn>& k : list)
            if (k.code == code && k.id == id) {
                k.fn = std::move(fn);
                return;
            }
        if (list.empty()) list.reserve(8);
        list.push_back({code, id, std::move(fn)});
    }
    template <class Fn>
    static const Fn* Find(const std::vector<Keyed<Fn>>& list, UINT code, int id) {
        for (const Keyed<Fn>& k : list)
            if (k.code == code && k.id == id) return &k.fn;
        return nullptr;
    }
    std::vector<Keyed<std::function<void()>>> commands;
    std::vector<std::tuple<UINT, int, int, std::function<void(int)>>> commandRanges;
    std::vector<Keyed<std::function<void(NMHDR*, LRESULT*)>>> notifies;
    std::vector<Keyed<std::function<LRESULT(WPARAM, LPARAM)>>> messages;
    std::function<void(UINT, UINT, CWnd*)> hscroll, vscroll;
};

// A walk over a window's children (painting, teardown) that runs code which
// may change the family.  The walk reads the list in place and goes over the
// children it started with: a change other than the walked child leaving the
// front copies the rest of the list as it was, and the walk goes on over the
// copy, as if it had taken one at the start.
struct CWnd::ChildWalk {
    explicit ChildWalk(CWnd& w) : wnd(w), outer(innermost) { innermost = this; }
    ~ChildWalk() { innermost = outer; }
    ChildWalk(const ChildWalk&) = delete;
    ChildWalk& operator=(const ChildWalk&) = delete;

    std::size_t Size() const { return copied ? start + rest.size() : gone + wnd.children_.size(); }
    CWnd* At(std::size_t i) const { return copied ? rest[i - start] : wnd.children_[i - gone]; }

    static inline ChildWalk* innermost = nullptr;
    CWnd& wnd;
    ChildWalk* outer;
    std::size_t at = 0;    // the child being walked
    std::size_t gone = 0;  // children that left the front of the list as walked
    bool copied = false;
    std::size_t start = 0;  // the index of rest's first child
    std::vector<CWnd*> rest;
};

short GetKeyState(int vk) {
    return vk >= 0 && vk < 256 && g_keys[vk] ? static_cast<short>(-128) : 0;
}

void zcui::SetKeyHeld(int vk, bool held) {
    if (vk >= 0 && vk < 256) g_keys[vk] = held;
}

CWnd* AfxGetMainWnd() {
    static CWnd* main = [] {
        static CWnd frame;
        frame.m_hWnd = &frame;
        frame.SetWindowText("velmhost");
        frame.ShowWindow(SW_SHOW);
        return &frame;
    }();
    return main;
}

// ---------------------------------------------------------------- life

void* CWnd::operator new(std::size_t size) {
    return g_blocks.Take(size);
}

void CWnd::operator delete(void* p, std::size_t size) noexcept {
    g_blocks.Give(p, size);
}

CWnd::CWnd() {
    Live().Insert(this);
}

CWnd::~CWnd() {
    if (m_hWnd || !children_.empty() || parent_) DestroyTree(false);  // else nothing of it is left
    // A walk over this window's children, further up the stack, must not
    // read the list of a window that is no more.
    if (ChildWalk::innermost) FamilyChanging(kAnyChange);
    Live().Erase(this);
    if (paint_.capacity() != 0) KeepPaintRecord(paint_);
}

bool CWnd::IsLive(const CWnd* wnd) {
    return Live().Contains(wnd);
}

BOOL CWnd::CreateChildWindow(DWORD style, const CRect& rect, CWnd* parent, UINT id, std::string_view text) {
    if (m_hWnd) return FALSE;
    m_hWnd = this;
    style_ = style, rect_ = rect, id_ = static_cast<int>(id);
    text_.assign(text.data(), text.size());
    visible_ = (style & WS_VISIBLE) != 0;
    enabled_ = (style & WS_DISABLED) == 0;
    if (parent) {
        parent->AttachChild(this);
        font_ = parent->font_;
    }
    dirty_ = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    DestroyTree(true);
    PostNcDestroy();  // may delete this
    return TRUE;
}

void CWnd::DestroyTree(bool callVirtuals) {
    if (!m_hWnd && children_.empty() && !parent_) return;
    if (callVirtuals && m_hWnd) OnDestroy();
    if (!children_.empty()) {
        // Stock controls end without running anyone's code, so while no other
        // walk reads this list they may leave it together, just before code
        // that could look runs, rather than one by one.
        bool batch = callVirtuals;
        for (const ChildWalk* w = ChildWalk::innermost; w && batch; w = w->outer) batch = &w->wnd != this;
        ChildWalk walk(*this);
        std::size_t ended = 0;  // ended stock controls still at the front of the list
        for (std::size_t i = 0; i < walk.Size(); ++i) {
            CWnd* child = walk.At(i);
            // A child still in the list is alive (one that ends leaves its
            // parent's list); the ones before it left as they were destroyed.
            if (walk.copied && !(!children_.empty() && children_.front() == child) && !IsLive(child))
                continue;
            if (batch && !walk.copied && i - walk.gone == ended && child->EndsQuietly(this)) {
                child->EndQuietly();
                ++ended;
                continue;
            }
            DropEnded(walk, ended);
            walk.at = i;
            if (callVirtuals)
                child->DestroyWindow();
            else
                child->DestroyTree(false);
        }
        DropEnded(walk, ended);
    }
    if (!children_.empty()) {
        FamilyChanging(kAnyChange);
        children_.clear();
        childIds_.clear();
        IdsChanged();
    }
    owned_.clear();
    if (parent_ && IsLive(parent_)) parent_->DetachChild(this);
    EndQuietly();
}

namespace {

// A window of the host's own classes, not a class derived from one, runs
// no one's code as it ends, whoever made it.  Each class's type_info is the
// one the host's library holds, so addresses say it (a miss only costs the
// slower teardown).
bool OfHostClass(const CWnd& w) {
    static const std::type_info* const kHost[] = {
        &typeid(CEdit),      &typeid(CButton),     &typeid(CStatic),  &typeid(CComboBox),
        &typeid(CScrollBar), &typeid(CHeaderCtrl), &typeid(CListBox), &typeid(CSliderCtrl),
        &typeid(CListCtrl),  &typeid(CTreeCtrl),   &typeid(CWnd)};
    const std::type_info* t = &typeid(w);
    return std::find(std::begin(kHost), std::end(kHost), t) != std::end(kHost);
}

}  // namespace

bool CWnd::EndsQuietly(const CWnd* parent) const {
    return m_hWnd && parent_ == parent && children_.empty() && owned_.empty() &&
           (stock_ || OfHostClass(*this));
}

// What DestroyWindow does to a stock control, whose OnDestroy and
// PostNcDestroy are the base ones, but for leaving its parent's list (and
// the end of every teardown, once the window has left it).
void CWnd::EndQuietly() {
    if (g_focus == this) g_focus = nullptr;
    parent_ = nullptr;
    m_hWnd = nullptr;
    if (!AnyPosted()) return;
    auto& q = PostQueue();
    q.erase(std::remove_if(q.begin(), q.end(), [this](const Posted& p) { return p.wnd == this; }), q.end());
}

void CWnd::DropEnded(ChildWalk& walk, std::size_t& ended) {
    if (ended == 0) return;
    const auto n = static_cast<std::ptrdiff_t>(ended);
    children_.erase(children_.begin(), children_.begin() + n);
    childIds_.erase(childIds_.begin(), childIds_.begin() + n);
    IdsChanged();
    walk.gone += ended;
    ended = 0;
}

void CWnd::AdoptChild(std::unique_ptr<CWnd> child) {
    AttachChild(child.get());
    owned_.push_back(std::move(child));
}

void CWnd::AttachChild(CWnd* child) {
    if (ChildWalk::innermost) FamilyChanging(kAnyChange);
    child->parent_ = this;
    children_.push_back(child);
    childIds_.push_back(child->id_);
    if (!idSlots_.empty()) {
        // Added at the end, the child is the first of its id unless one is
        // there already.
        if (idSlots_.size() < 2 * childIds_.size())
            IdsChanged();
        else
            PutIdSlot(childIds_.size() - 1);
    }
}

void CWnd::ReserveChildren(std::size_t count) {
    children_.reserve(children_.size() + count);
    childIds_.reserve(childIds_.size() + count);
    owned_.reserve(owned_.size() + count);
}

// A window is in its parent's list once (it is attached only as it is made,
// and made only while it is not a window); a teardown detaches its children
// from the front, one after another.
void CWnd::DetachChild(CWnd* child) {
    const auto at = std::find(children_.begin(), children_.end(), child);
    if (at == children_.end()) return;
    const auto i = at - children_.begin();
    if (ChildWalk::innermost) FamilyChanging(static_cast<std::size_t>(i));
    children_.erase(at);
    childIds_.erase(childIds_.begin() + i);
    IdsChanged();
}

void CWnd::FamilyChanging(std::size_t leaving) {
    for (ChildWalk* walk = ChildWalk::innermost; walk; walk = walk->outer) {
        if (&walk->wnd != this || walk->copied) continue;
        if (leaving == 0 && walk->gone == walk->at) {
            ++walk->gone;  // the walked child leaves: the list is still the rest of the walk
            continue;
        }
        walk->rest.assign(children_.begin(), children_.end());
        walk->start = walk->gone;
        walk->copied = true;
    }
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    CWnd* stock = parent->GetDlgItem(static_cast<int>(id));
    if (stock == this) return TRUE;
    if (!stock || m_hWnd) return FALSE;
    CopyState(*stock);
    m_hWnd = this;
    parent_ = parent;
    auto at = std::find(parent->children_.begin(), parent->children_.end(), stock);
    parent->FamilyChanging(kAnyChange);
    *at = this;
    if (g_focus == stock) g_focus = this;
    stock->parent_ = nullptr;
    stock->m_hWnd = nullptr;
    auto owned = std::find_if(parent->owned_.begin(), parent->owned_.end(),
                              [stock](const std::unique_ptr<CWnd>& p) { return p.get() == stock; });
    if (owned != parent->owned_.end()) parent->owned_.erase(owned);
    dirty_ = true;
    return TRUE;
}

void CWnd::CopyState(const CWnd& from) {
    id_ = from.id_, text_ = from.text_, style_ = from.style_, exStyle_ = from.exStyle_;
    rect_ = from.rect_, visible_ = from.visible_, enabled_ = from.enabled_, font_ = from.font_;
}

// ---------------------------------------------------------------- family

int CWnd::SetDlgCtrlID(int id) {
    if (parent_ && IsLive(parent_))
        for (std::size_t i = 0; i < parent_->children_.size(); ++i)
            if (parent_->children_[i] == this) {
                parent_->childIds_[i] = id;
                parent_->IdsChanged();
            }
    return std::exchange(id_, id);
}

namespace {

constexpr std::size_t kFewChildren = 8;        // below this a scan of the ids is as quick
constexpr std::size_t kManyChildren = 0x7FFF;  // beyond this the table's entries cannot say

std::size_t IdHome(int id, std::size_t mask) {
    const std::uint64_t mixed = std::uint64_t{static_cast<std::uint32_t>(id)} * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 40) & mask;
}

}  // namespace

void CWnd::PutIdSlot(std::size_t index) const {
    const std::size_t mask = idSlots_.size() - 1;
    const int id = childIds_[index];
    std::size_t i = IdHome(id, mask);
    for (; idSlots_[i]; i = (i + 1) & mask)
        if (childIds_[idSlots_[i] - 1] == id) return;  // the earlier child keeps the id
    idSlots_[i] = static_cast<std::uint16_t>(index + 1);
}

void CWnd::MakeIdSlots() const {
    idSlots_.assign(std::bit_ceil(std::max<std::size_t>(2 * childIds_.size() + 8, 16)), 0);
    // PutIdSlot for every child, with the table and the ids at hand.
    std::uint16_t* slots = idSlots_.data();
    const int* ids = childIds_.data();
    const std::size_t mask = idSlots_.size() - 1;
    for (std::size_t k = 0; k < childIds_.size(); ++k) {
        const int id = ids[k];
        std::size_t i = IdHome(id, mask);
        while (slots[i] && ids[slots[i] - 1] != id) i = (i + 1) & mask;
        if (!slots[i]) slots[i] = static_cast<std::uint16_t>(k + 1);  // else the earlier child keeps the id
    }
}

CWnd* CWnd::GetDlgItem(int id) const {
    std::size_t at = childIds_.size();
    if (at < kFewChildren || at > kManyChildren) {
        at = static_cast<std::size_t>(std::find(childIds_.begin(), childIds_.end(), id) - childIds_.begin());
    } else {
        if (idSlots_.empty()) MakeIdSlots();
        const std::size_t mask = idSlots_.size() - 1;
        for (std::size_t i = IdHome(id, mask); idSlots_[i]; i = (i + 1) & mask)
            if (childIds_[idSlots_[i] - 1] == id) {
                at = idSlots_[i] - 1;
                break;
            }
    }
    if (at != childIds_.size()) {
        CWnd* child = children_[at];
        if (child->id_ == id) return child;
    }
    // An id given the control after it was attached: the control itself says.
    for (CWnd* child : children_)
        if (child->id_ == id) return child;
    return nullptr;
}

CWnd* CWnd::GetNextDlgTabItem(const CWnd* ctl, BOOL previous) const {
    const int n = static_cast<int>(children_.size());
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (children_[i] == ctl) start = i;
    for (int step = 1; step <= n; ++step) {
        int i =
            start < 0 ? (previous ? n - step : step - 1) : ((start + (previous ? -step : step)) % n + n) % n;
        CWnd* c = children_[i];
        if ((c->style_ & WS_TABSTOP) && c->visible_ && c->enabled_) return c;
    }
    return nullptr;
}

std::vector<CWnd*> CWnd::GroupOf(const CWnd* ctl) const {
    auto at = std::find(children_.begin(), children_.end(), ctl);
    if (at == children_.end()) return {};
    auto first = at;
    while (first != children_.begin() && !((*first)->style_ & WS_GROUP)) --first;
    auto last = at + 1;
    while (last != children_.end() && !((*last)->style_ & WS_GROUP)) ++last;
    return std::vector<CWnd*>(first, last);
}

// ---------------------------------------------------------------- text

void CWnd::SetWindowText(std::string_view text) {
    if (host::isValidUtf8(text)) {
        if (text == text_) return;
        text_.assign(text.data(), text.size());
    } else {
        std::string valid = host::repairUtf8(text);
        if (text_ == valid) return;
        text_ = std::move(valid);
    }
    Invalidate();
}

void CWnd::SetDlgItemText(int id, std::string_view text) {
    if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

UINT CWnd::GetDlgItemText(int id, std::string& out) const {
    CWnd* c = GetDlgItem(id);
    out = c ? c->GetWindowText() : std::string();
    return static_cast<UINT>(out.size());
}

void CWnd::SetDlgItemInt(int id, int value, BOOL isSigned) {
    SetDlgItemText(id, isSigned ? std::to_string(value) : std::to_string(static_cast<unsigned>(value)));
}

UINT CWnd::GetDlgItemInt(int id, BOOL* ok, BOOL) const {
    std::string text;
    GetDlgItemText(id, text);
    const std::optional<long long> v = host::parseInteger(text);
    if (ok) *ok = v.has_value();
    return v ? static_cast<UINT>(*v) : 0;
}

void CWnd::CheckDlgButton(int id, UINT state) {
    if (CWnd* c = GetDlgItem(id)) c->SendMessage(0x00F1 /* BM_SETCHECK */, state);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
    CWnd* c = GetDlgItem(id);
    return c ? static_cast<UINT>(c->SendMessage(0x00F0 /* BM_GETCHECK */)) : 0;
}

void CWnd::CheckRadioButton(int first, int last, int checked) {
    for (CWnd* c : children_)
        if (c->id_ >= first && c->id_ <= last) c->SendMessage(0x00F1, c->id_ == checked ? 1 : 0);
}

int CWnd::GetCheckedRadioButton(int first, int last) const {
    for (CWnd* c : children_)
        if (c->id_ >= first && c->id_ <= last && c->SendMessage(0x00F0) == 1) return c->id_;
    return 0;
}

// ---------------------------------------------------------------- states

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
    DWORD old = style_;
    style_ = (style_ & ~remove) | add;
    if ((style_ & WS_DISABLED) != (old & WS_DISABLED)) enabled_ = !(style_ & WS_DISABLED);
    if ((style_ & WS_VISIBLE) != (old & WS_VISIBLE)) visible_ = (style_ & WS_VISIBLE) != 0;
    Invalidate();
    return old != style_;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    DWORD old = exStyle_;
    exStyle_ = (exStyle_ & ~remove) | add;
    return old != exStyle_;
}

BOOL CWnd::ShowWindow(int cmd) {
    bool was = visible_;
    visible_ = cmd != SW_HIDE;
    style_ = visible_ ? (style_ | WS_VISIBLE) : (style_ & ~WS_VISIBLE);
    if (!visible_ && g_focus && (g_focus == this)) g_focus = nullptr;
    if (was != visible_) Invalidate();
    return was;
}

BOOL CWnd::IsWindowVisible() const {
    for (const CWnd* w = this; w; w = w->parent_)
        if (!w->visible_) return FALSE;
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    bool was = enabled_;
    enabled_ = enable != 0;
    style_ = enabled_ ? (style_ & ~WS_DISABLED) : (style_ | WS_DISABLED);
    if (was != enabled_) {
        if (!enabled_ && g_focus == this) g_focus = nullptr;
        Invalidate();
        OnEnable(enabled_);
    }
    return !was;
}

// ---------------------------------------------------------------- geometry

CPoint CWnd::ScreenOrigin() const {
    CPoint p;
    for (const CWnd* w = this; w; w = w->parent_) p.x += w->rect_.left, p.y += w->rect_.top;
    return p;
}

void CWnd::GetWindowRect(CRect* r) const {
    if (!r) return;
    CPoint o = ScreenOrigin();
    *r = CRect(o.x, o.y, o.x + rect_.Width(), o.y + rect_.Height());
}

void CWnd::GetClientRect(CRect* r) const {
    if (r) *r = CRect(0, 0, rect_.Width(), rect_.Height());
}

void CWnd::MoveWindow(int x, int y, int w, int h, BOOL) {
    rect_ = CRect(x, y, x + w, y + h);
    Invalidate();
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    const UINT kNoSize = 0x1, kNoMove = 0x2, kShow = 0x40, kHide = 0x80;
    CRect r = rect_;
    if (!(flags & kNoMove)) r = CRect(x, y, x + r.Width(), y + r.Height());
    if (!(flags & kNoSize)) r.right = r.left + cx, r.bottom = r.top + cy;
    MoveWindow(r);
    if (flags & kShow) ShowWindow(SW_SHOW);
    if (flags & kHide) ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::ScreenToClient(CPoint* p) const {
    CPoint o = ScreenOrigin();
    if (p) p->x -= o.x, p->y -= o.y;
}

void CWnd::ScreenToClient(CRect* r) const {
    CPoint o = ScreenOrigin();
    if (r) r->OffsetRect(-o.x, -o.y);
}

void CWnd::ClientToScreen(CPoint* p) const {
    CPoint o = ScreenOrigin();
    if (p) p->x += o.x, p->y += o.y;
}

void CWnd::ClientToScreen(CRect* r) const {
    CPoint o = ScreenOrigin();
    if (r) r->OffsetRect(o.x, o.y);
}

void CWnd::MapDialogRect(CRect* r) const {
    if (!r) return;
    r->left = r->left * kDialogBaseX / 4, r->right = r->right * kDialogBaseX / 4;
    r->top = r->top * kDialogBaseY / 8, r->bottom = r->bottom * kDialogBaseY / 8;
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* wp) const {
    if (!wp) return FALSE;
    wp->showCmd = visible_ ? SW_SHOWNORMAL : SW_HIDE;
    GetWindowRect(&wp->rcNormalPosition);
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* wp) {
    if (!wp) return FALSE;
    CRect r = wp->rcNormalPosition;
    if (parent_) parent_->ScreenToClient(&r);
    MoveWindow(r);
    if (wp->showCmd == SW_HIDE) ShowWindow(SW_HIDE);
    return TRUE;
}

// ---------------------------------------------------------------- focus

CWnd* CWnd::GetFocus() {
    return IsLive(g_focus) ? g_focus : nullptr;
}

CWnd* CWnd::SetFocus() {
    CWnd* old = GetFocus();
    if (old == this || !m_hWnd) return old;
    g_focus = this;
    if (old) {
        old->OnKillFocus(this);
        if (g_focus != this) return old;  // the old window took the focus back
    }
    OnSetFocus(old);
    return old;
}

void CWnd::OnSetFocus(CWnd*) {
    NotifyFocus(true);
}
void CWnd::OnKillFocus(CWnd*) {
    NotifyFocus(false);
}
void CWnd::NotifyFocus(bool) {}

void CWnd::SetFont(const CFont* font, BOOL) {
    font_ = font;
    Invalidate();
}

// ---------------------------------------------------------------- messages

LRESULT CWnd::SendMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return WindowProc(msg, wp, lp);
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_hWnd) return FALSE;
    PostQueue().push_back({this, msg, wp, lp});
    return TRUE;
}

void CWnd::DeliverPostedMessages() {
    // Bounded: a handler that posts again every time cannot hang the driver.
    for (int n = 0; n < 10000 && AnyPosted(); ++n) {
        Posted p = PostQueue().front();
        PostQueue().pop_front();
        if (IsLive(p.wnd) && p.wnd->m_hWnd) p.wnd->SendMessage(p.msg, p.wp, p.lp);
    }
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* c = GetDlgItem(id);
    return c ? c->SendMessage(msg, wp, lp) : 0;
}

int CWnd::MessageBox(std::string_view text, std::string_view caption, UINT type) {
    return zcui::ShowMessageBox(text, caption.empty() ? std::string_view("velmhost") : caption, type);
}

CWnd::Handlers& CWnd::EnsureHandlers() {
    if (!handlers_) handlers_ = std::make_unique<Handlers>();
    return *handlers_;
}

void CWnd::HandleCommand(UINT code, int id, std::function<void()> fn) {
    Handlers::Put(EnsureHandlers().commands, code, id, std::move(fn));
}

void CWnd::HandleCommandRange(UINT code, int first, int last, std::function<void(int)> fn) {
    EnsureHandlers().commandRanges.emplace_back(code, first, last, std::move(fn));
}

void CWnd::HandleNotify(UINT code, int id, std::function<void(NMHDR*, LRESULT*)> fn) {
    Handlers::Put(EnsureHandlers().notifies, code, id, std::move(fn));
}

void CWnd::HandleMessage(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> fn) {
    Handlers::Put(EnsureHandlers().messages, msg, 0, std::move(fn));
}

void CWnd::HandleScroll(bool vertical, std::function<void(UINT, UINT, CWnd*)> fn) {
    Handlers& h = EnsureHandlers();
    (vertical ? h.vscroll : h.hscroll) = std::move(fn);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (handlers_)
        if (const auto* found = Handlers::Find(handlers_->messages, msg, 0)) {
            auto fn = *found;  // the handler may replace itself
            return fn(wp, lp);
        }
    switch (msg) {
        case WM_COMMAND:
            return OnCommand(wp, lp);
        case WM_NOTIFY: {
            LRESULT result = 0;
            OnNotify(wp, lp, &result);
            return result;
        }
        case WM_HSCROLL:
            OnHScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CWnd*>(lp));
            return 0;
        case WM_VSCROLL:
            OnVScroll(LOWORD(wp), HIWORD(wp), reinterpret_cast<CWnd*>(lp));
            return 0;
        case WM_SETTEXT:
            SetWindowText(lp ? reinterpret_cast<const char*>(lp) : "");
            return TRUE;
        case WM_GETTEXTLENGTH:
            return GetWindowTextLength();
        case WM_ENABLE:
            OnEnable(static_cast<BOOL>(wp));
            return 0;
        case WM_CHAR:
            OnChar(static_cast<UINT>(wp), 1, 0);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wp), 1, 0);
            return 0;
        case WM_CLOSE:
            return 0;
        default:
            return 0;
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM) {
    if (!handlers_) return FALSE;
    UINT code = HIWORD(wp);
    int id = LOWORD(wp);
    if (const auto* found = Handlers::Find(handlers_->commands, code, id)) {
        auto fn = *found;
        fn();
        return TRUE;
    }
    for (auto& [c, first, last, fn] : handlers_->commandRanges) {
        if (c == code && id >= first && id <= last) {
            auto call = fn;
            call(id);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lp, LRESULT* result) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (!hdr || !handlers_) return FALSE;
    if (const auto* found = Handlers::Find(handlers_->notifies, hdr->code, static_cast<int>(hdr->idFrom))) {
        auto fn = *found;
        fn(hdr, result);
        return TRUE;
    }
    return FALSE;
}

void CWnd::OnHScroll(UINT code, UINT pos, CWnd* bar) {
    if (handlers_ && handlers_->hscroll) handlers_->hscroll(code, pos, bar);
}

void CWnd::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    if (handlers_ && handlers_->vscroll) handlers_->vscroll(code, pos, bar);
}

void CWnd::OnChar(UINT, UINT, UINT) {}
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnEnable(BOOL) {}
HBRUSH CWnd::CtlColor(CDC*, UINT) {
    return nullptr;
}

void CWnd::NotifyParent(UINT code) {
    if (parent_)
        parent_->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id_), code),
                             reinterpret_cast<LPARAM>(this));
}

LRESULT CWnd::NotifyParent(NMHDR& hdr) {
    hdr.hwndFrom = this;
    hdr.idFrom = static_cast<UINT_PTR>(id_);
    if (!parent_) return 0;
    return parent_->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&hdr));
}

// ---------------------------------------------------------------- painting

void CWnd::Invalidate(BOOL) {
    dirty_ = true;
}

void CWnd::UpdateWindow() {
    if (dirty_) RedrawWindow();
}

BOOL CWnd::RedrawWindow() {
    if (!m_hWnd) return FALSE;
    dirty_ = false;
    if (paintHandler_) {
        CPaintDC dc(this);
        auto fn = paintHandler_;
        fn(dc);
    } else {
        OnPaint();
    }
    return TRUE;
}

void CWnd::PaintInvalidated() {
    if (!m_hWnd || !IsWindowVisible()) return;
    UpdateWindow();
    if (children_.empty()) return;
    ChildWalk walk(*this);
    for (std::size_t i = 0; i < walk.Size(); ++i) {
        CWnd* child = walk.At(i);
        // Still where it was in the list, the child is alive (one that ends
        // leaves its parent's list); else painting changed the family.
        if (walk.copied && !(i < children_.size() && children_[i] == child) && !IsLive(child)) continue;
        if (!child->visible_) continue;  // a hidden child paints nothing of its tree: no call for it
        walk.at = i;
        child->PaintInvalidated();
    }
}

void CWnd::OnPaint() {
    CPaintDC dc(this);
    DefaultPaint(dc);
}

void CWnd::DefaultPaint(CDC&) {}
