// The VRML material dialog and "VELMWRLMAT".
#include "visual/vrml/vrml_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/db/dbcolor.h"
#include "host/ui/dc.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_ROWS = 1001;
constexpr int IDC_COLOUR = 8;
constexpr int IDC_AMBIENT = 1387;
constexpr int IDC_SHININESS = 1388;
constexpr int IDC_TRANSPARENCY = 1389;
constexpr int IDC_HEADLIGHT = 1391;

// Rows the sliders and the colour button leave alone.
bool IsHeadingName(const std::string& name) {
    return name.starts_with("*");
}

std::string Decimal(long long value) {
    return std::to_string(value);
}

ZcUiTrueColor ToDialogColour(std::uint32_t packed) {
    ZcCmColor colour;
    ZcUiTrueColor out;
    if (!colour.setColor(packed)) return out;
    if (colour.isByColor()) {
        out.isTrueColor = true;
        out.rgb = RGB(colour.red(), colour.green(), colour.blue());
    } else if (colour.colorIndex() >= 0) {
        out.index = colour.colorIndex();
    }
    return out;
}

std::uint32_t FromDialogColour(const ZcUiTrueColor& chosen) {
    ZcCmColor colour;
    if (chosen.isTrueColor)
        colour.setRGB(static_cast<std::uint8_t>(GetRValue(chosen.rgb)),
                      static_cast<std::uint8_t>(GetGValue(chosen.rgb)),
                      static_cast<std::uint8_t>(GetBValue(chosen.rgb)));
    else
        colour.setColorIndex(chosen.index);
    return colour.color();
}

}  // namespace

void CmdWrlMat() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgVrmlMat dialog;
    if (!ReadLayerVrmlDef(dialog.m_rows)) return;
    dialog.DoModal();
}

// ---------------------------------------------------------------- the list

void CVrmlMatListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC& dc = *dis->hDC;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    dc.FillSolidRect(dis->rcItem, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (dis->itemState & ODS_FOCUS) dc.DrawFocusRect(dis->rcItem);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int item = static_cast<int>(dis->itemID);
    const std::string name = GetItemText(item, 0);
    int left = dis->rcItem.left;
    for (int column = 0; column < 5; ++column) {
        const int width = GetColumnWidth(column);
        CRect cell(left + 2, dis->rcItem.top, left + width - 2, dis->rcItem.bottom);
        left += width;
        if (column > 0 && IsHeadingName(name)) break;
        if (column == 1) {
            const host::AciRgb rgb = VrmlColourRgb(
                static_cast<std::uint32_t>(std::strtoul(GetItemText(item, 1).c_str(), nullptr, 10)));
            cell.DeflateRect(0, 2);
            dc.FillSolidRect(cell, RGB(rgb.r, rgb.g, rgb.b));
            continue;
        }
        dc.DrawText(GetItemText(item, column), &cell, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

// ---------------------------------------------------------------- the dialog

CDlgVrmlMat::CDlgVrmlMat(CWnd* parent) : CDialog(IDD_VRML_MAT, parent) {
    HandleNotify(NM_CLICK, IDC_ROWS, [this](NMHDR*, LRESULT*) { OnListClick(); });
    HandleCommand(BN_CLICKED, IDC_COLOUR, [this] { OnColour(); });
}

void CDlgVrmlMat::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ROWS, m_list);
    DDX_Control(dx, IDC_AMBIENT, m_ambient);
    DDX_Control(dx, IDC_SHININESS, m_shininess);
    DDX_Control(dx, IDC_TRANSPARENCY, m_transparency);
    DDX_Check(dx, IDC_HEADLIGHT, m_headlight);
}

BOOL CDlgVrmlMat::OnInitDialog() {
    CDialog::OnInitDialog();
    m_headlight = SettingInt(SetupVar::SETVRML_LOSS, 0);
    m_list.InsertColumn(0, "Warstwa", LVCFMT_LEFT, 80);
    m_list.InsertColumn(1, "Kolor odbicia", LVCFMT_LEFT, 65);
    m_list.InsertColumn(2, "Otoczenie", LVCFMT_LEFT, 50);
    m_list.InsertColumn(3, "Połysk", LVCFMT_LEFT, 50);
    m_list.InsertColumn(4, "Przeźroczystość", LVCFMT_LEFT, 50);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const AA_LAYERVRML& row = m_rows[i];
        const int item = m_list.InsertItem(static_cast<int>(i), row.layer);
        m_list.SetItemText(item, 1, Decimal(row.colour));
        m_list.SetItemText(item, 2, Decimal(row.ambient));
        m_list.SetItemText(item, 3, Decimal(row.shininess));
        m_list.SetItemText(item, 4, Decimal(row.transparency));
    }
    if (!m_rows.empty()) m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (CSliderCtrl* slider : {&m_ambient, &m_shininess, &m_transparency}) slider->SetRange(0, 10);
    m_ambient.SetTicFreq(1);
    m_ambient.SetPos(m_rows.empty() ? 0 : m_rows[0].ambient);
    m_shininess.SetPos(m_rows.empty() ? 0 : m_rows[0].shininess);
    m_transparency.SetPos(m_rows.empty() ? 0 : m_rows[0].transparency);
    UpdateData(FALSE);
    return TRUE;
}

std::vector<int> CDlgVrmlMat::SelectedRows() const {
    std::vector<int> rows;
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_list.GetNextItem(item, LVNI_SELECTED))
        if (item < static_cast<int>(m_rows.size())) rows.push_back(item);
    return rows;
}

void CDlgVrmlMat::EnableEditing(bool enable) {
    for (int id : {IDC_COLOUR, IDC_AMBIENT, IDC_SHININESS, IDC_TRANSPARENCY})
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}

void CDlgVrmlMat::OnListClick() {
    UpdateData(TRUE);
    const std::vector<int> rows = SelectedRows();
    EnableEditing(!rows.empty());
    if (rows.empty()) return;
    const AA_LAYERVRML& row = m_rows[rows.front()];
    m_ambient.SetPos(row.ambient);
    m_shininess.SetPos(row.shininess);
    m_transparency.SetPos(row.transparency);
}

void CDlgVrmlMat::OnHScroll(UINT code, UINT pos, CWnd* bar) {
    CDialog::OnHScroll(code, pos, bar);
    int column = 0;
    CSliderCtrl* slider = nullptr;
    if (bar == &m_ambient)
        column = 2, slider = &m_ambient;
    else if (bar == &m_shininess)
        column = 3, slider = &m_shininess;
    else if (bar == &m_transparency)
        column = 4, slider = &m_transparency;
    if (!slider) return;
    const int value = slider->GetPos();
    for (int item : SelectedRows()) {
        AA_LAYERVRML& row = m_rows[item];
        if (IsHeadingName(row.layer)) continue;
        (column == 2 ? row.ambient : column == 3 ? row.shininess : row.transparency) = value;
        m_list.SetItemText(item, column, Decimal(value));
    }
}

void CDlgVrmlMat::OnColour() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    ZcUiTrueColor chosen = ToDialogColour(m_rows[rows.front()].colour);
    if (!zcedSetColorDialogTrueColor(chosen, false, ZcUiTrueColor())) return;
    const std::uint32_t packed = FromDialogColour(chosen);
    for (int item : rows) {
        AA_LAYERVRML& row = m_rows[item];
        if (IsHeadingName(row.layer)) continue;
        row.colour = packed;
        m_list.SetItemText(item, 1, Decimal(packed));
    }
}

void CDlgVrmlMat::OnOK() {
    if (!UpdateData(TRUE)) return;
    SetSettingInt(SetupVar::SETVRML_LOSS, m_headlight);
    WriteLayerVrmlDef(m_rows);
    CDialog::OnOK();
}
