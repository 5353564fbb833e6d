// A window's family changed by code that runs while the family is walked:
// handlers run by a teardown or by painting that end, delete or add windows.
// The walk goes on over the children it started with, skips the ones that
// are gone, and leaves out the ones added.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/ui/dialog.h"
#include "host/ui/wnd.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

// A window that logs its end and runs a hook from OnDestroy.
class Logged : public CWnd {
public:
    Logged(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void OnDestroy() override {
        log_.push_back(name_);
        if (onDestroy) onDestroy();
    }
    std::function<void()> onDestroy;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct Family {
    explicit Family(int children) : parent("P", log) {
        parent.CreateChildWindow(WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0, "P");
        for (int i = 0; i < children; ++i) {
            kids.push_back(std::make_unique<Logged>(std::string(1, static_cast<char>('A' + i)), log));
            Make(*kids.back(), 100 + i);
        }
    }
    void Make(CWnd& w, int id) {
        w.CreateChildWindow(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, static_cast<UINT>(id));
    }
    // Records each child's painting by its id.
    void LogPaint(CWnd& w) {
        w.HandlePaint([this, &w](CDC&) { log.push_back("paint " + std::to_string(w.GetDlgCtrlID())); });
    }
    std::vector<std::string> log;
    Logged parent;
    std::vector<std::unique_ptr<Logged>> kids;
};

using Log = std::vector<std::string>;

}  // namespace

TEST(UiTeardown, children_end_in_order_once_whatever_their_handlers_do_to_siblings) {
    {  // a child ends a later sibling: that one ends then, not again in its turn
        Family f(4);
        f.kids[0]->onDestroy = [&] { f.kids[2]->DestroyWindow(); };
        f.parent.DestroyWindow();
        EXPECT_EQ(f.log, (Log{"P", "A", "C", "B", "D"}));
        EXPECT_TRUE(f.parent.Children().empty());
    }
    {  // a child deletes a later sibling: the teardown skips it
        Family f(4);
        f.kids[1]->onDestroy = [&] { f.kids[2].reset(); };
        f.parent.DestroyWindow();
        EXPECT_EQ(f.log, (Log{"P", "A", "B", "D"}));
        for (const auto& k : f.kids) {
            if (k) {
                EXPECT_EQ(k->GetSafeHwnd(), nullptr);
            }
        }
    }
    {  // a child ends an earlier one (already gone) and adds a window, which
       // the teardown leaves out
        Family f(3);
        Logged added("N", f.log);
        f.kids[1]->onDestroy = [&] {
            f.kids[0]->DestroyWindow();
            f.Make(added, 200);
        };
        f.parent.DestroyWindow();
        EXPECT_EQ(f.log, (Log{"P", "A", "B", "C"}));
        EXPECT_NE(added.GetSafeHwnd(), nullptr);
        EXPECT_TRUE(f.parent.Children().empty());
    }
}

TEST(UiTeardown, painting_walks_the_children_it_started_with) {
    {  // a child's painting deletes a later sibling and adds a window: the
       // deleted one is skipped, the added one waits for the next pass
        Family f(3);
        CWnd added;
        for (auto& k : f.kids) f.LogPaint(*k);
        f.LogPaint(added);
        f.kids[0]->HandlePaint([&](CDC&) {
            f.log.push_back("paint 100");
            f.kids[1].reset();
            f.Make(added, 300);
        });
        f.parent.PaintInvalidated();
        EXPECT_EQ(f.log, (Log{"paint 100", "paint 102"}));
        f.log.clear();
        f.parent.PaintInvalidated();
        EXPECT_EQ(f.log, (Log{"paint 300"}));
    }
    {  // the first child's painting ends its parent: nothing else paints
        Family f(3);
        for (auto& k : f.kids) f.LogPaint(*k);
        f.kids[0]->HandlePaint([&](CDC&) {
            f.log.push_back("paint 100");
            f.parent.DestroyWindow();
        });
        f.parent.PaintInvalidated();
        EXPECT_EQ(f.log, (Log{"paint 100", "P", "A", "B", "C"}));
    }
    {  // the only child's painting deletes its parent
        std::vector<std::string> log;
        auto parent = std::make_unique<Logged>("P", log);
        parent->CreateChildWindow(WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0, "P");
        Logged a("A", log);
        a.CreateChildWindow(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), parent.get(), 1);
        a.HandlePaint([&](CDC&) {
            log.push_back("paint 1");
            parent.reset();
        });
        CWnd* painted = parent.get();
        painted->PaintInvalidated();
        EXPECT_EQ(log, (Log{"paint 1"}));
        EXPECT_EQ(a.GetParent(), nullptr);
    }
}

// Liveness is asked of pointers that may be stale: windows made and ended in
// any order must be known alive exactly while they exist.
TEST(UiTeardown, windows_are_live_exactly_while_they_exist) {
    std::vector<std::unique_ptr<CWnd>> windows;
    for (int i = 0; i < 700; ++i) windows.push_back(std::make_unique<CWnd>());
    std::vector<const CWnd*> gone;
    gone.reserve(windows.size());  // no allocation may take a freed window's address
    for (std::size_t i = 0; i < windows.size(); i += (i % 7) + 1) {
        gone.push_back(windows[i].get());
        windows[i].reset();
    }
    for (const auto& w : windows) {
        if (w) {
            EXPECT_TRUE(CWnd::IsLive(w.get()));
        }
    }
    for (const CWnd* w : gone) EXPECT_FALSE(CWnd::IsLive(w));  // compared, never read
    EXPECT_FALSE(CWnd::IsLive(nullptr));
}

namespace {

// A dialog on a template with one control bound to a class of its own, whose
// end runs code: the template's other controls end without any.
class BoundEdit : public CEdit {
public:
    void OnDestroy() override {
        if (onDestroy) onDestroy();
    }
    std::function<void()> onDestroy;
};

class BoundDialog : public CDialog {
public:
    BoundDialog() : CDialog(500) {}
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1002, edit); }
    std::vector<int> Listed() const {
        std::vector<int> ids;
        for (const CWnd* c : Children()) ids.push_back(c->GetDlgCtrlID());
        return ids;
    }
    BoundEdit edit;
};

using Ids = std::vector<int>;
const Ids kAfterFirst{1002, 1003, 1004, 1005, 1010, 1011, 1012, 1020, 1021, 1, 2};

}  // namespace

TEST_F(UiTest, code_run_as_a_dialog_ends_sees_the_controls_before_it_gone_and_the_rest_there) {
    {
        BoundDialog d;
        ASSERT_TRUE(d.Create(500));
        Ids seen;
        CWnd* first = d.GetDlgItem(1001);
        CEdit made;  // made at run time, of the host's own class
        made.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &d, 900);
        d.edit.onDestroy = [&] {
            seen = d.Listed();
            EXPECT_EQ(d.GetDlgItem(1001), nullptr);
            EXPECT_EQ(first->GetSafeHwnd(), nullptr);
            EXPECT_NE(d.GetDlgItem(1003)->GetSafeHwnd(), nullptr);
        };
        d.DestroyWindow();
        Ids expected = kAfterFirst;
        expected.push_back(900);
        EXPECT_EQ(seen, expected);
        EXPECT_TRUE(d.Children().empty());
        EXPECT_EQ(d.edit.GetSafeHwnd(), nullptr);
        EXPECT_EQ(made.GetSafeHwnd(), nullptr);
        EXPECT_EQ(made.GetParent(), nullptr);
    }
    {  // it ends a later control and adds a window: the one ended is not
       // ended again, the one added is left out
        BoundDialog d;
        ASSERT_TRUE(d.Create(500));
        CWnd added;
        d.edit.onDestroy = [&] {
            d.GetDlgItem(1004)->DestroyWindow();
            added.CreateChildWindow(WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &d, 900);
        };
        d.DestroyWindow();
        EXPECT_TRUE(d.Children().empty());
        EXPECT_NE(added.GetSafeHwnd(), nullptr);
        EXPECT_EQ(d.GetSafeHwnd(), nullptr);
    }
    {  // the dialog is ended by painting, which walks its controls meanwhile
        BoundDialog d;
        ASSERT_TRUE(d.Create(500));
        Ids seen;
        d.edit.onDestroy = [&] { seen = d.Listed(); };
        d.edit.HandlePaint([&](CDC&) { d.DestroyWindow(); });
        d.edit.Invalidate();
        d.PaintInvalidated();
        EXPECT_EQ(seen, kAfterFirst);
        EXPECT_TRUE(d.Children().empty());
        EXPECT_EQ(d.GetSafeHwnd(), nullptr);
    }
}
