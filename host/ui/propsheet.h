// Property sheets and pages.  A page is a child dialog created the first
// time it is shown.  Apply (the "Zastosuj" button, or OK) first lets the
// active page check its fields (OnKillActive), then runs OnApply of every
// created page in page order (the default OnApply runs OnOK); a page that
// refuses stops the apply, becomes active, and the sheet stays open.  OK is
// Apply and then close; Cancel asks the active page (OnQueryCancel) and then
// resets every created page.  Pages may ask their siblings a question
// (QuerySiblings): the first non-zero answer wins.
#pragma once

#include <string>
#include <vector>

#include "host/ui/dialog.h"

inline constexpr DWORD PSH_NOAPPLYNOW = 0x80;
inline constexpr DWORD PSH_HASHELP = 0x200;
inline constexpr int PSBTN_OK = 1;
inline constexpr int PSBTN_CANCEL = 2;
inline constexpr int PSBTN_APPLYNOW = 3;
inline constexpr int PSBTN_HELP = 5;

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    virtual BOOL OnSetActive() { return TRUE; }
    virtual BOOL OnKillActive() { return UpdateData(TRUE); }
    virtual BOOL OnApply();
    virtual void OnReset() { OnCancel(); }
    virtual BOOL OnQueryCancel() { return TRUE; }
    virtual LRESULT OnQuerySiblings(WPARAM, LPARAM) { return 0; }
    void OnOK() override { modified_ = false; }
    void OnCancel() override {}

    void SetModified(BOOL changed = TRUE);
    bool IsModified() const { return modified_; }
    LRESULT QuerySiblings(WPARAM wp, LPARAM lp);
    CPropertySheet* GetSheet() const { return sheet_; }
    std::string GetTitle() const;

    BOOL PreTranslateMessage(MSG*) override { return FALSE; }  // the sheet handles dialog keys
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    const char* KindName() const override { return "property page"; }

private:
    friend class CPropertySheet;
    BOOL CreatePage(CPropertySheet* sheet, const CRect& at);
    CPropertySheet* sheet_ = nullptr;
    UINT captionId_ = 0;
    bool modified_ = false;
};

struct PROPSHEETHEADER {
    DWORD dwFlags = 0;
};

class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(std::string_view caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetPageIndex(const CPropertyPage* page) const;
    CPropertyPage* GetActivePage() const { return GetPage(active_); }
    int GetActiveIndex() const { return active_; }
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    void SetTitle(std::string_view title) { SetWindowText(title); }

    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PressButton(int button);
    // Runs the apply steps; false when a page refused.
    bool Apply();
    bool IsApplyEnabled() const;
    void PageChanged();
    // The id a driver answers this sheet under: its caption string id, else
    // the first page's template id.
    UINT DriverId() const;
    CWnd* FindControl(int id) const override;
    void NextDlgCtrl() override;
    void PrevDlgCtrl() override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    const char* KindName() const override { return "property sheet"; }

    PROPSHEETHEADER m_psh;

private:
    std::vector<CPropertyPage*> pages_;
    UINT captionId_ = 0;
    UINT startPage_ = 0;
    int active_ = -1;
    CRect pageRect_;
};
