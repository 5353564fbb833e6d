// Dialog 192 "Przypisanie typu ścian w 2D": the wall types as an owner-drawn
// list (name, colour swatch, priority) with the preview of the chosen one;
// "Przypisz" and "Rysuj" close it with OK and the action to take. Row 0 is
// always the general wall type. The dialog reopens where the user left it
// once an action was taken.
#pragma once

#include <string>

#include "host/ui/dialog.h"
#include "walls/types/wall_types.h"

inline constexpr UINT IDD_DEFMURI = 192;

class CDefMuriListCtrl : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

class CDlgDefMuri : public CDialog {
public:
    enum Action { kNone = 0, kAssign = 1, kDraw = 2 };

    // The list is shown, not owned.
    explicit CDlgDefMuri(CListMuri& types, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    std::string m_chosenName;
    int m_action = kNone;
    int m_rows = 0;

    CDefMuriListCtrl m_list;
    CStatic m_preview;

private:
    void OnSelChange();
    void OnAction(int action);

    CListMuri& m_types;
};
