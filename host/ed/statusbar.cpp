// One bar per process; panes are kept as non-owning pointers in display
// order.
#include "host/ed/statusbar.h"

#include <algorithm>
#include <cstdio>

#include "host/ads/adstext.h"
#include "host/ed/cmdproc.h"

namespace {

struct BarState {
    ZcApplicationStatusBar bar;
    bool available = true;
    bool echo = false;
    std::vector<std::string> log;
    std::function<unsigned int(const CMenu&)> responder;
    host::ProgressMeter meter;
};

BarState& bs() {
    static BarState s;
    return s;
}

void record(const std::string& line) {
    bs().log.push_back(line);
    // The user sees what a pane says, not the bookkeeping around it; the
    // command line starts each message on a new line, and so do the panes.
    if (bs().echo && line.rfind("text ", 0) == 0) std::printf("\n[pasek stanu] %s", line.c_str() + 5);
}

}  // namespace

void ZcStatusBarItem::SetToolTipText(const char* text) {
    tooltip_ = text ? text : "";
    record("tooltip " + tooltip_);
}

unsigned int ZcStatusBarItem::DisplayPopupPaneMenu(CMenu& menu) {
    unsigned int id = 0;
    if (bs().responder) {
        id = bs().responder(menu);
    } else {
        host::InputToken t = host::nextUserToken();
        if (t.kind == host::InputToken::Text)
            if (auto n = host::ads_text::parseInteger(t.text); n && *n > 0)
                id = static_cast<unsigned int>(*n);
    }
    record("menu " + std::to_string(id));
    return id;
}

void ZcPane::SetText(const char* text) {
    text_ = text ? text : "";
    record("text " + text_);
}

bool ZcApplicationStatusBar::Insert(int nIndex, ZcPane* pPane, bool bUpdate) {
    if (!pPane || GetIndex(pPane) >= 0) return false;
    int at = std::clamp(nIndex, 0, GetPaneCount());
    panes_.insert(panes_.begin() + at, pPane);
    record("insert " + std::to_string(at) + " " + pPane->GetText());
    if (bUpdate) Update();
    return true;
}

int ZcApplicationStatusBar::Add(ZcPane* pPane, bool bUpdate) {
    return Insert(GetPaneCount(), pPane, bUpdate) ? GetPaneCount() - 1 : -1;
}

bool ZcApplicationStatusBar::Remove(ZcPane* pPane, bool bUpdate) {
    int i = GetIndex(pPane);
    return i >= 0 && Remove(i, bUpdate);
}

bool ZcApplicationStatusBar::Remove(int nIndex, bool bUpdate) {
    if (nIndex < 0 || nIndex >= GetPaneCount()) return false;
    record(std::string("remove ") + panes_[nIndex]->GetText());
    panes_.erase(panes_.begin() + nIndex);
    if (bUpdate) Update();
    return true;
}

void ZcApplicationStatusBar::RemoveAllPanes(bool bUpdate) {
    while (!panes_.empty()) Remove(GetPaneCount() - 1, false);
    if (bUpdate) Update();
}

ZcPane* ZcApplicationStatusBar::GetPane(int nIndex) const {
    return nIndex >= 0 && nIndex < GetPaneCount() ? panes_[nIndex] : nullptr;
}

int ZcApplicationStatusBar::GetIndex(const ZcPane* pPane) const {
    auto it = std::find(panes_.begin(), panes_.end(), pPane);
    return it == panes_.end() ? -1 : static_cast<int>(it - panes_.begin());
}

void ZcApplicationStatusBar::Update() {
    record("update");
}

ZcApplicationStatusBar* zcedGetApplicationStatusBar() {
    return bs().available ? &bs().bar : nullptr;
}

int zcedSetStatusBarProgressMeter(const char* pszLabel, int nMinPos, int nMaxPos) {
    if (nMaxPos < nMinPos) return -1;
    host::ProgressMeter& m = bs().meter;
    m = {true, pszLabel ? pszLabel : "", nMinPos, nMaxPos, nMinPos};
    record("progress " + m.label + " " + std::to_string(nMinPos) + " " + std::to_string(nMaxPos));
    return 0;
}

int zcedSetStatusBarProgressMeterPos(int nPos) {
    host::ProgressMeter& m = bs().meter;
    if (!m.active) return -1;
    m.pos = std::clamp(nPos, m.minPos, m.maxPos);
    record("progress pos " + std::to_string(m.pos));
    return 0;
}

void zcedRestoreStatusBar() {
    bs().meter = host::ProgressMeter{};
    record("progress restore");
}

namespace host {

const std::vector<std::string>& statusBarLog() {
    return bs().log;
}
void clearStatusBarLog() {
    bs().log.clear();
}
void setStatusBarAvailable(bool available) {
    bs().available = available;
}
void setStatusBarEcho(bool on) {
    bs().echo = on;
}
void setMenuResponder(std::function<unsigned int(const CMenu&)> responder) {
    bs().responder = std::move(responder);
}
const ProgressMeter& progressMeter() {
    return bs().meter;
}

bool clickPane(int index, int button) {
    ZcPane* pane = bs().available ? bs().bar.GetPane(index) : nullptr;
    if (!pane) return false;
    record("click " + std::to_string(index) + " " + std::to_string(button));
    if (button == 0)
        pane->OnLButtonDown(0, {});
    else if (button == 1)
        pane->OnRButtonDown(0, {});
    else
        pane->OnLButtonDblClk(0, {});
    return true;
}

void resetStatusBar() {
    BarState& s = bs();
    s.bar = ZcApplicationStatusBar();
    s.available = true;
    s.echo = false;
    s.log.clear();
    s.responder = nullptr;
    s.meter = ProgressMeter{};
}

}  // namespace host
