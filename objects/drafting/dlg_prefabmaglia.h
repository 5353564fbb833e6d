// The structural grid's dialog (270 "Rysowanie siatki"): counts and
// spacings of the axes, the floor height of the grid, its colour, and the
// labels' text style, height, prefixes, first indexes and ends. Every value
// but the floor height is kept in the drawing's settings store when the
// dialog closes with OK; spacings not above zero and counts outside 1 to
// 500 are refused with a message and the dialog stays open.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_PREFABMAGLIA = 270;
inline constexpr int kMaxGridAxes = 500;

class CDLGPREFABMAGLIA : public CDialog {
public:
    explicit CDLGPREFABMAGLIA(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_columns = 8, m_rows = 8;
    double m_horizontal = 200.0, m_vertical = 200.0;
    double m_floorHeight = 0.0;
    int m_color = 1;
    std::string m_textStyle, m_columnPrefix, m_rowPrefix;
    std::string m_columnIndex, m_rowIndex;  // one character each
    double m_textHeight = 5.0;
    int m_left = 1, m_right = 0, m_bottom = 1, m_top = 0;

    CadvColorStatic m_swatch;

private:
    void OnColorButton();
};
