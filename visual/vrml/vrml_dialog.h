// The VRML material dialog (319): the rows of "LAYERVRML.DEF" in an
// owner-drawn list (the colour as a swatch), three sliders for the
// ambient, shininess and transparency of the selected rows, the colour
// button, and the headlight switch of the drawing. Headings ("*…") are
// shown by name only and never changed. Nothing reaches the file or the
// drawing before OK.
#pragma once

#include "host/ui/controls.h"
#include "host/ui/dialog.h"
#include "host/ui/listctrl.h"
#include "visual/vrml/vrml_table.h"

inline constexpr UINT IDD_VRML_MAT = 319;

class CVrmlMatListCtrl : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

class CDlgVrmlMat : public CDialog {
public:
    explicit CDlgVrmlMat(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnHScroll(UINT code, UINT pos, CWnd* bar) override;

    AAR_LAYERVRML m_rows;
    int m_headlight = 0;

private:
    void OnListClick();
    void OnColour();
    // The selected rows, lowest first.
    std::vector<int> SelectedRows() const;
    void EnableEditing(bool enable);

    CVrmlMatListCtrl m_list;
    CSliderCtrl m_ambient, m_shininess, m_transparency;
};

// "VELMWRLMAT"
void CmdWrlMat();
