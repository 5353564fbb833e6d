// The application status bar: panes the module inserts, updates and
// removes, their mouse notifications, popup menus shown from a pane, and the
// progress meter. Headless: every change is recorded as one line of a log
// (and, when asked, echoed to stdout) so tests and scripts can check it.
//
// The bar does not own its panes: whoever inserts a pane deletes it after
// removing it. A popup menu's answer (the chosen item id, 0 when dismissed)
// comes from the menu responder a test installs, else from the next answer
// of the current document's queue (a number; anything else dismisses).
//
// Log lines: "insert <index> <text>", "remove <text>", "text <text>",
// "tooltip <text>", "update", "click <index> <button>", "menu <id>",
// "progress <label> <min> <max>",
// "progress pos <n>", "progress restore".
#pragma once

#include <functional>
#include <string>
#include <vector>

class CMenu;  // the dialog library's menu

struct ZcPanePoint {
    int x = 0, y = 0;
};

class ZcStatusBarItem {
public:
    virtual ~ZcStatusBarItem() = default;
    void SetToolTipText(const char* text);
    const char* GetToolTipText() const { return tooltip_.c_str(); }
    void Enable(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }

    virtual void OnLButtonDown(unsigned int nFlags, ZcPanePoint point) {
        (void)nFlags;
        (void)point;
    }
    virtual void OnRButtonDown(unsigned int nFlags, ZcPanePoint point) {
        (void)nFlags;
        (void)point;
    }
    virtual void OnLButtonDblClk(unsigned int nFlags, ZcPanePoint point) {
        (void)nFlags;
        (void)point;
    }

    // Shows a popup menu at the pane; the chosen item id, 0 when dismissed.
    unsigned int DisplayPopupPaneMenu(CMenu& menu);

private:
    std::string tooltip_;
    bool enabled_ = true;
    bool visible_ = true;
};

enum ZcPaneStyle : int {
    ZCSB_NORMAL = 0,
    ZCSB_POPOUT = 1,
    ZCSB_NOBORDERS = 2,
    ZCSB_DISABLED = 4,
    ZCSB_STRETCH = 8,
};

class ZcPane : public ZcStatusBarItem {
public:
    void SetText(const char* text);
    const char* GetText() const { return text_.c_str(); }
    void SetStyle(int style) { style_ = style; }
    int GetStyle() const { return style_; }
    void SetMinWidth(int w) { minWidth_ = w; }
    void SetMaxWidth(int w) { maxWidth_ = w; }
    int GetMinWidth() const { return minWidth_; }
    int GetMaxWidth() const { return maxWidth_; }

private:
    std::string text_;
    int style_ = ZCSB_NORMAL;
    int minWidth_ = 0, maxWidth_ = 0;
};

class ZcApplicationStatusBar {
public:
    // Inserts at nIndex (clamped to the ends); false when the pane is null or
    // already on the bar.
    bool Insert(int nIndex, ZcPane* pPane, bool bUpdate = true);
    int Add(ZcPane* pPane, bool bUpdate = true);
    bool Remove(ZcPane* pPane, bool bUpdate = true);
    bool Remove(int nIndex, bool bUpdate = true);
    void RemoveAllPanes(bool bUpdate = true);
    int GetPaneCount() const { return static_cast<int>(panes_.size()); }
    ZcPane* GetPane(int nIndex) const;
    int GetIndex(const ZcPane* pPane) const;
    void Update();

private:
    std::vector<ZcPane*> panes_;
};

// Null when the host is told to run without a status bar.
ZcApplicationStatusBar* zcedGetApplicationStatusBar();

int zcedSetStatusBarProgressMeter(const char* pszLabel, int nMinPos, int nMaxPos);
int zcedSetStatusBarProgressMeterPos(int nPos);
void zcedRestoreStatusBar();

namespace host {

const std::vector<std::string>& statusBarLog();
void clearStatusBarLog();
void setStatusBarAvailable(bool available);
void setStatusBarEcho(bool on);
void setMenuResponder(std::function<unsigned int(const CMenu&)> responder);

struct ProgressMeter {
    bool active = false;
    std::string label;
    int minPos = 0, maxPos = 0, pos = 0;
};
const ProgressMeter& progressMeter();

// A mouse click on the pane at index: button 0 left, 1 right, 2 left double
// click. False when there is no such pane.
bool clickPane(int index, int button);

// Empties the bar (without deleting panes) and the log; bar available.
void resetStatusBar();

}  // namespace host
