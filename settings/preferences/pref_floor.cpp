// The floors page of the preferences sheet and its two dialogs.
#include "settings/preferences/pref_floor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/hatch_dialogs.h"
#include "core/input_range.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/db/dbobjptr.h"
#include "host/ed/grdraw.h"
#include "host/ed/viewport.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "settings/editor_steps.h"
#include "settings/floor_cmds.h"
#include "settings/floor_cmds_run.h"
#include "settings/floors_edit.h"
#include "settings/pane_texts.h"
#include "settings/preferences/pref_hooks.h"
#include "settings/viewmode_cmds.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {
constexpr int IDC_NEW_ELEVATION = 1003;
constexpr int IDC_LINKED = 1076;
constexpr int IDC_ALL_LAYERS = 1047;
constexpr int IDC_LINK = 5;
constexpr int IDC_UNLINK = 1052;

constexpr int IDC_VISIBLE = 1000;
constexpr int IDC_HEIGHT = 1001;
constexpr int IDC_AXIS = 1002;
constexpr int IDC_FLOORS = 1030;
constexpr int IDC_DELETE = 1041;
constexpr int IDC_NEW = 1042;
constexpr int IDC_CURRENT = 1043;
constexpr int IDC_COPY = 1044;
constexpr int IDC_MOVE = 1045;
constexpr int IDC_LAYERS = 107;
constexpr int IDC_PATTERNS = 1341;
constexpr int IDC_PATTERN = 1342;
constexpr int IDC_HATCH_SCALE = 1344;
constexpr int IDC_PREVIEW = 1374;
constexpr int IDC_EDGE_FIRST = 1381;
constexpr int IDC_EDGE_LAST = 1384;

constexpr UINT IDS_FLOOR_EXISTS = 1019;
constexpr UINT IDS_ONE_CURRENT = 1020;
constexpr UINT IDS_ONE_FLOOR_LAYERS = 1021;
constexpr const char* kCannotDeleteCurrent = "Bieżącej podłogi nie można usunąć";
constexpr const char* kChooseOneFloor = "Wybierz tylko jedną podłogę";
constexpr const char* kShiftQuestion =
    "Chcesz przenieść elewację także dla wszystkich górnych pięter tej podłogi";

constexpr int kSlotIntersections = SetupVar::CALC_INT_SEZ;
constexpr int kSlotLayerColour = SetupVar::SETSEZ_COLLAYER;
constexpr int kSlotOneBlock = SetupVar::SETSEZ_GENESPLO;
constexpr int kSlotCutVolumes = SetupVar::SETSEZRIPULSEZ;
constexpr int kSlotCutHatch = SetupVar::SETSEZTRATTSEZ;
constexpr int kSlotHatchScale = SetupVar::SETSEZSCALAHSEZ;
constexpr int kSlotPattern = SetupVar::SETSEZMODHSEZ;
constexpr int kSlotAddHatches = SetupVar::SETSEZAGGIUNGITRAT;
constexpr int kSlotAxis = SetupVar::SETSEZSPORGSPEZZATA;

std::string ElevationText(double z) {
    return FormatRealTrim(z);
}

std::string HeightText(double h) {
    char text[64] = "";
    zcdbRToS(h, 2, -1, text);
    return text;
}

std::string TwoDecimals(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

int Tilemode() {
    resbuf rb{};
    return zcedGetVar("TILEMODE", &rb) == RTNORM ? rb.resval.rint : 1;
}

bool AskNewElevation(double& elevation) {
    elevation = 0.0;
    CDlgNuovaQpav dialog(&elevation);
    return dialog.DoModal() == IDOK;
}

bool Near(double a, double b) {
    return std::fabs(a - b) < kLevelTolerance;
}
}  // namespace

int NewRowIndex(const std::vector<CDlgPrefDatiPiano::RowData>& rows, double elevation) {
    // The list reads highest first, as it is loaded.
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].elevation < elevation) return static_cast<int>(i);
    return static_cast<int>(rows.size());
}

// ---------------------------------------------------------------- 132

CDlgNuovaQpav::CDlgNuovaQpav(double* elevation, CWnd* parent)
    : CDialog(IDD_NEW_FLOOR, parent), m_elevation(elevation) {}

void CDlgNuovaQpav::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Number(dx, IDC_NEW_ELEVATION, *m_elevation);
}

BOOL CDlgNuovaQpav::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CWnd* edit = GetDlgItem(IDC_NEW_ELEVATION)) GotoDlgCtrl(edit);
    return FALSE;
}

// ---------------------------------------------------------------- 201

CDlgLayerPiano::CDlgLayerPiano(CWnd* parent) : CDialog(IDD_FLOOR_LAYERS, parent) {
    HandleCommand(BN_CLICKED, IDC_LINK, [this] {
        for (int i = 0; i < m_drawingList.GetCount(); ++i) {
            if (m_drawingList.GetSel(i) <= 0) continue;
            std::string name;
            m_drawingList.GetText(i, name);
            if (m_linkedList.FindStringExact(-1, name) < 0) m_linkedList.AddString(name);
        }
    });
    HandleCommand(BN_CLICKED, IDC_UNLINK, [this] {
        for (int i = m_linkedList.GetCount() - 1; i >= 0; --i)
            if (m_linkedList.GetSel(i) > 0) m_linkedList.DeleteString(i);
    });
}

void CDlgLayerPiano::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LINKED, m_linkedList);
    DDX_Control(dx, IDC_ALL_LAYERS, m_drawingList);
}

BOOL CDlgLayerPiano::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const std::string& n : m_linked) m_linkedList.AddString(n);
    for (const std::string& n : m_drawing) m_drawingList.AddString(n);
    return TRUE;
}

void CDlgLayerPiano::OnOK() {
    m_linked.clear();
    for (int i = 0; i < m_linkedList.GetCount(); ++i) {
        std::string name;
        m_linkedList.GetText(i, name);
        m_linked.push_back(name);
    }
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- 147

CDlgPrefDatiPiano::CDlgPrefDatiPiano() : CPrefPage(IDD_PREF_FLOORS) {
    m_edgeMode = 0;
    HandleNotify(LVN_ITEMCHANGED, IDC_FLOORS, [this](NMHDR*, LRESULT* result) {
        OnSelectionChanged();
        if (result) *result = 0;
    });
    HandleCommand(BN_CLICKED, IDC_VISIBLE, [this] { OnVisible(); });
    HandleCommandRange(BN_CLICKED, IDC_EDGE_FIRST, IDC_EDGE_LAST, [this](int) { OnEdgeMode(); });
    HandleCommand(EN_KILLFOCUS, IDC_HEIGHT, [this] { OnHeightKillFocus(); });
    HandleCommand(BN_CLICKED, IDC_NEW, [this] { OnNew(); });
    HandleCommand(BN_CLICKED, IDC_DELETE, [this] { OnDelete(); });
    HandleCommand(BN_CLICKED, IDC_CURRENT, [this] { OnCurrent(); });
    HandleCommand(BN_CLICKED, IDC_COPY, [this] { OnCopy(); });
    HandleCommand(BN_CLICKED, IDC_MOVE, [this] { OnMove(); });
    HandleCommand(BN_CLICKED, IDC_LAYERS, [this] { OnLayers(); });
    HandleCommand(BN_CLICKED, IDC_PATTERNS, [this] { OnPatterns(); });
    HandleCommand(STN_CLICKED, IDC_PREVIEW, [this] { OnPatterns(); });
    HandleCommand(EN_KILLFOCUS, IDC_PATTERN, [this] {
        UpdateData(TRUE);
        ShowPreview();
    });
}

void CDlgPrefDatiPiano::DoDataExchange(CDataExchange* dx) {
    CPrefPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_FLOORS, m_list);
    DDX_Control(dx, IDC_HEIGHT, m_heightEdit);
    DDX_Control(dx, IDC_HATCH_SCALE, m_hatchScaleEdit);
    DDX_Control(dx, IDC_AXIS, m_axisEdit);
    DDX_Check(dx, IDC_VISIBLE, m_visible);
    DDX_Radio(dx, IDC_EDGE_FIRST, m_edgeMode);
    DDX_Check(dx, 1032, m_intersections);
    DDX_Check(dx, 1033, m_layerColour);
    DDX_Check(dx, 1034, m_oneBlock);
    DDX_Check(dx, 1035, m_cutVolumes);
    DDX_Check(dx, 1036, m_cutHatch);
    DDX_Check(dx, 1037, m_addHatches);
    DDX_Text(dx, IDC_PATTERN, m_pattern);
    if (dx->m_bFailed) return;
    if (dx->m_bSaveAndValidate) {
        const std::optional<double> scale = m_hatchScale.Read(m_hatchScaleEdit);
        const std::optional<double> axis = m_axis.Read(m_axisEdit);
        dx->PrepareEditCtrl(IDC_HATCH_SCALE);
        if (!CheckNumberField(dx, scale, false)) return;
        dx->PrepareEditCtrl(IDC_AXIS);
        if (!CheckNumberField(dx, axis, false)) return;
        m_hatchScaleValue = *scale;
        m_axisValue = *axis;
    } else {
        m_hatchScale.Show(m_hatchScaleEdit, m_hatchScaleValue);
        m_axis.Show(m_axisEdit, m_axisValue);
    }
}

BOOL CDlgPrefDatiPiano::OnInitDialog() {
    CPrefPage::OnInitDialog();
    m_images.Create(IDB_FLOOR_IMAGES, 16, 0, RGB(255, 0, 255));
    m_list.SetImageList(&m_images, LVSIL_SMALL);
    m_list.InsertColumn(0, "Wysokość podłogi", LVCFMT_RIGHT, 65);
    m_list.InsertColumn(1, "Wysokość podłogi", LVCFMT_RIGHT, 70);
    m_list.InsertColumn(2, "Stan", LVCFMT_CENTER, 40);
    m_list.InsertColumn(3, "Znakowanie podłogi", LVCFMT_CENTER, 80);
    m_heightEdit.SetDecimals(10);
    m_hatchScaleEdit.SetDecimals(10);
    m_hatchScaleEdit.SetSignMode(0, 0);
    m_axisEdit.SetDecimals(10);
    m_axisEdit.SetSignMode(2, 0);
    Load();
    if (m_current >= 0) SelectOnly(m_current);
    SetModified(FALSE);
    UpdateData(FALSE);
    if (m_current >= 0) m_heightExact.Show(m_heightEdit, m_rows[m_current].height);
    return TRUE;
}

void CDlgPrefDatiPiano::Reload() {
    Load();
    if (m_current >= 0) SelectOnly(m_current);
    UpdateData(FALSE);
    if (m_current >= 0) m_heightExact.Show(m_heightEdit, m_rows[m_current].height);
}

void CDlgPrefDatiPiano::Load() {
    if (ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(true)); setup) {
        int v = 0;
        setup->getInt(kSlotIntersections, m_storedIntersections);
        m_intersections = m_storedIntersections & 1;
        setup->getInt(kSlotLayerColour, m_layerColour);
        setup->getInt(kSlotOneBlock, m_oneBlock);
        setup->getInt(kSlotCutVolumes, m_cutVolumes);
        setup->getInt(kSlotCutHatch, m_cutHatch);
        setup->getInt(kSlotAddHatches, v);
        m_addHatches = v;
        setup->getReal(kSlotHatchScale, m_hatchScaleValue);
        setup->getString(kSlotPattern, m_pattern);
        setup->getReal(kSlotAxis, m_axisValue);
    }
    ShowPreview();
    LoadRows();
}

void CDlgPrefDatiPiano::LoadRows() {
    m_current = -1;
    m_list.DeleteAllItems();
    m_rows.clear();
    m_list.m_key.clear();
    const double sqpav = SettingReal(SetupVar::SQPAV, 0.0);
    const bool global = Tilemode() != 0;
    ZcDbDatabase* db = WorkingDrawing();
    const auto show = [&](VELM_PIANI& floors) {
        floors.ReadFloorVisibility(db, 275.0 * DrawingUnitFactor());
        floors.piani.InsertSorted();
        for (const AA_PIANO& f : floors.piani.floors) {
            const bool visible = floors.IsFloorVisible(db, global, zcedGetCurViewportObjectId(), f.elevation);
            const int row = AddRow(m_list.GetItemCount(), {f.elevation, f.height}, visible ? "ON" : "OFF",
                                   std::to_string(f.edgeMode));
            if (m_current < 0 && std::fabs(f.elevation - sqpav) < kLevelTolerance) {
                m_current = row;
                m_list.m_key = ElevationText(f.elevation);
                m_edgeMode = f.edgeMode;
                m_visible = visible ? 1 : 0;
            }
        }
    };
    // Showing the floors makes no floor list: a drawing without one gets
    // it when a floor is confirmed.
    if (ZcDbObjectPointer<VELM_PIANI>(OpenPianiObject(true))) {
        EditFloors(show);
    } else {
        VELM_PIANI fresh;
        fresh.Reset();
        show(fresh);
    }
}

int CDlgPrefDatiPiano::AddRow(int index, const RowData& data, const std::string& visible,
                              const std::string& edge) {
    const int row = m_list.InsertItem(index, ElevationText(data.elevation));
    m_list.SetItemText(row, 1, HeightText(data.height));
    m_list.SetItemText(row, 2, visible);
    m_list.SetItemText(row, 3, edge);
    m_rows.insert(m_rows.begin() + row, data);
    if (m_current >= row) ++m_current;
    return row;
}

void CDlgPrefDatiPiano::DeleteRow(int index) {
    VELM_ASSERT(index >= 0 && index < static_cast<int>(m_rows.size()));  // rows and list in step
    m_list.DeleteItem(index);
    m_rows.erase(m_rows.begin() + index);
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
}

void CDlgPrefDatiPiano::SetRowElevation(int index, double elevation) {
    VELM_ASSERT(index >= 0 && index < static_cast<int>(m_rows.size()));  // rows and list in step
    const bool key = m_list.GetItemText(index, 0) == m_list.m_key;
    m_rows[index].elevation = elevation;
    m_list.SetItemText(index, 0, ElevationText(elevation));
    // The current-floor mark follows its floor.
    if (key) m_list.m_key = ElevationText(elevation);
}

void CDlgPrefDatiPiano::SetRowHeight(int index, double height) {
    VELM_ASSERT(index >= 0 && index < static_cast<int>(m_rows.size()));  // rows and list in step
    m_rows[index].height = height;
    m_list.SetItemText(index, 1, HeightText(height));
}

std::vector<int> CDlgPrefDatiPiano::SelectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (m_list.GetItemState(i, LVIS_SELECTED)) rows.push_back(i);
    return rows;
}

void CDlgPrefDatiPiano::SelectOnly(int index) {
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        m_list.SetItemState(i, i == index ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED);
}

int CDlgPrefDatiPiano::RowOfElevation(double z) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].elevation == z) return static_cast<int>(i);
    return -1;
}

int CDlgPrefDatiPiano::RowOfText(const std::string& text) const {
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (m_list.GetItemText(i, 0) == text) return i;
    return -1;
}

void CDlgPrefDatiPiano::MakeCurrent(int index) {
    m_current = index;
    if (index < 0) return;
    VELM_ASSERT(index >= 0 && index < static_cast<int>(m_rows.size()));  // rows and list in step
    m_heightExact.Show(m_heightEdit, m_rows[index].height);
    m_visible = m_list.GetItemText(index, 2) == "OFF" ? 0 : 1;
    m_edgeMode = static_cast<int>(std::strtol(m_list.GetItemText(index, 3).c_str(), nullptr, 10));
}

void CDlgPrefDatiPiano::FocusList() {
    UpdateData(FALSE);
    const std::optional<double> height = m_heightExact.Read(m_heightEdit);
    if (m_current >= 0 && height) m_heightExact.Show(m_heightEdit, *height);
    GotoDlgCtrl(&m_list);
}

void CDlgPrefDatiPiano::ShowPreview() {
    HBITMAP bitmap = LoadObjectBitmap("", "IDB_", m_pattern);
    if (!bitmap) bitmap = LoadObjectBitmap("", "IDB___", "NONDISPO");
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(IDC_PREVIEW))) picture->SetBitmap(bitmap);
}

// ---- list and row edits

void CDlgPrefDatiPiano::OnSelectionChanged() {
    const std::vector<int> selected = SelectedRows();
    if (selected.size() < 2) {
        if (selected.size() == 1 && selected[0] != m_current) {
            MakeCurrent(selected[0]);
            UpdateData(FALSE);
            m_heightExact.Show(m_heightEdit, m_rows[m_current].height);
        }
        return;
    }
    // Values every selected row agrees on; 0.0, mixed and none otherwise.
    const int first = selected[0];
    double height = m_rows[first].height;
    std::string visible = m_list.GetItemText(first, 2), edge = m_list.GetItemText(first, 3);
    bool sameHeight = true, sameVisible = true, sameEdge = true;
    for (int r : selected) {
        sameHeight = sameHeight && m_rows[r].height == height;
        sameVisible = sameVisible && m_list.GetItemText(r, 2) == visible;
        sameEdge = sameEdge && m_list.GetItemText(r, 3) == edge;
    }
    m_visible = sameVisible ? (visible == "OFF" ? 0 : 1) : 2;
    m_edgeMode = sameEdge ? static_cast<int>(std::strtol(edge.c_str(), nullptr, 10)) : -1;
    UpdateData(FALSE);
    m_heightExact.Show(m_heightEdit, sameHeight ? height : 0.0);
}

void CDlgPrefDatiPiano::OnVisible() {
    UpdateData(TRUE);
    // The sheet's apply is the way to show a floor again before OK.
    SetModified(TRUE);
    if (m_visible == 2) m_visible = 0;
    const std::vector<int> selected = SelectedRows();
    const char* text = m_visible ? "ON" : "OFF";
    if (selected.size() >= 2) {
        for (int r : selected) m_list.SetItemText(r, 2, text);
    } else if (m_current >= 0) {
        m_list.SetItemText(m_current, 2, text);
    }
    FocusList();
}

void CDlgPrefDatiPiano::OnEdgeMode() {
    UpdateData(TRUE);
    SetModified(TRUE);
    if (m_edgeMode < 0) m_edgeMode = 0;
    const std::vector<int> selected = SelectedRows();
    const std::string text = std::to_string(m_edgeMode);
    if (selected.size() >= 2) {
        for (int r : selected) m_list.SetItemText(r, 3, text);
    } else if (m_current >= 0) {
        m_list.SetItemText(m_current, 3, text);
    }
    FocusList();
}

bool CDlgPrefDatiPiano::OnHeightKillFocus(bool applying) {
    // Leaving the edit untouched changes nothing: with several rows selected
    // it shows 0.0 where their heights differ.
    if (!m_heightExact.Edited(m_heightEdit)) return true;
    const std::optional<double> typed = m_heightExact.Read(m_heightEdit);
    if (!typed || !ValueInRange(*typed, NumberRange::Coordinate)) {
        // A refused height stays shown for the user to mend, and OK refuses
        // it too. A text that is no number is said once, by OK or Apply,
        // not as the focus moves within the page.
        if (typed || applying) NumberFieldInRange(typed, NumberRange::Coordinate);
        return false;
    }
    const double height = *typed;
    SetModified(TRUE);
    const std::vector<int> selected = SelectedRows();
    if (selected.size() >= 2) {
        for (int r : selected) SetRowHeight(r, height);
    } else if (m_current >= 0) {
        const double old = m_rows[m_current].height;
        const double from = m_rows[m_current].elevation;
        SetRowHeight(m_current, height);
        const bool upper =
            std::any_of(m_rows.begin(), m_rows.end(), [&](const RowData& r) { return r.elevation > from; });
        if (std::fabs(height - old) > SharedTolerance && upper &&
            AfxMessageBox(kShiftQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            if (ShiftUpperFloors(from, height - old)) RunQuiet({"_REGEN"});
        }
    }
    m_heightExact.Show(m_heightEdit, height);
    UpdateData(FALSE);
    m_heightExact.Show(m_heightEdit, height);
    GotoDlgCtrl(&m_list);
    return true;
}

bool CDlgPrefDatiPiano::ShiftUpperFloors(double from, double delta) {
    std::vector<int> moving;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].elevation > from) moving.push_back(static_cast<int>(i));
    // A floor landing on one that stays would merge two floors.
    for (int r : moving) {
        const double target = m_rows[r].elevation + delta;
        for (const RowData& other : m_rows) {
            if (other.elevation > from) continue;
            if (Near(other.elevation, target)) {
                AfxMessageBox(IDS_FLOOR_EXISTS, MB_ICONERROR);
                return false;
            }
        }
    }
    // Farthest along the shift first: no floor lands on one not yet moved.
    std::sort(moving.begin(), moving.end(), [&](int a, int b) {
        return delta > 0 ? m_rows[a].elevation > m_rows[b].elevation
                         : m_rows[a].elevation < m_rows[b].elevation;
    });
    for (int i = 0; i < m_list.GetItemCount(); ++i) m_list.SetItemState(i, 0, LVIS_SELECTED);
    for (int r : moving) {
        const double source = m_rows[r].elevation;
        const double target = source + delta;
        MoveFloor(source, target);
        SetRowElevation(r, target);
        m_list.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
    }
    return true;
}

void CDlgPrefDatiPiano::MoveFloor(double source, double target) {
    ZcDbDatabase* db = WorkingDrawing();
    std::vector<std::string> linked;
    bool present = false;
    ReadFloors([&](const VELM_PIANI& floors) {
        if (const AA_PIANO* f = floors.FindFloorByElevation(source)) {
            linked = f->layers;
            present = true;
        }
    });
    if (!present) return;
    const bool empty = WholeFloorSets(db, LevelText(source), source, SharedTolerance, linked).empty();
    if (empty) {
        // Nothing to carry: the record itself moves, its links with it.
        EditFloors([&](VELM_PIANI& floors) {
            if (AA_PIANO* f = floors.FindFloorByElevation(source)) f->elevation = target;
        });
        return;
    }
    EditFloors([&](VELM_PIANI& floors) {
        if (floors.FindFloorByElevation(target)) return;
        const AA_PIANO* f = floors.FindFloorByElevation(source);
        AA_PIANO made;
        made.elevation = target;
        made.height = f->height;
        made.visible = f->visible;
        made.edgeMode = f->edgeMode;
        floors.piani.floors.push_back(made);
    });
    CopyToFloor(kFloorMove, true, source, target, LevelText(source), nullptr);
}

void CDlgPrefDatiPiano::OnNew() {
    double z = 0.0;
    if (!AskNewElevation(z)) return;
    if (RowOfText(ElevationText(z)) >= 0) {
        AfxMessageBox(IDS_FLOOR_EXISTS, MB_ICONERROR);
        return;
    }
    const double height = 275.0 * DrawingUnitFactor();
    const int row = AddRow(NewRowIndex(m_rows, z), {z, height}, "ON", "");
    m_list.SetItemText(row, 1, TwoDecimals(height));
    m_current = row;
    m_visible = 1;
    m_edgeMode = 0;
    EditFloors([&](VELM_PIANI& floors) {
        AA_PIANO f;
        f.elevation = z;
        f.height = height;
        floors.piani.floors.push_back(f);
    });
    SelectOnly(row);
    FocusList();
    m_heightExact.Show(m_heightEdit, height);
}

void CDlgPrefDatiPiano::OnDelete() {
    std::vector<int> selected = SelectedRows();
    if (selected.empty()) return;
    if (static_cast<int>(selected.size()) == m_list.GetItemCount()) {
        AfxMessageBox(kCannotDeleteCurrent, MB_ICONERROR);
        return;
    }
    ZcDbDatabase* db = WorkingDrawing();
    // From the last row up, so the indexes still to visit stay valid.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        const int r = *it;
        if (m_list.GetItemText(r, 0) == m_list.m_key) {
            AfxMessageBox(kCannotDeleteCurrent, MB_ICONERROR);
            continue;
        }
        const double z = m_rows[r].elevation;
        DeleteRow(r);
        EditFloors([&](VELM_PIANI& floors) {
            DeleteFloor(floors, z, db,
                        [](const std::string& layer) { AfxMessageBox(KeptLayerMessage(layer)); });
        });
    }
    MakeCurrent(m_list.GetItemCount() > 0 ? 0 : -1);
    if (m_current >= 0) SelectOnly(m_current);
    FocusList();
    m_heightExact.Show(m_heightEdit, m_current >= 0 ? m_rows[m_current].height : 0.0);
    zcedRedraw(nullptr, 1);
}

void CDlgPrefDatiPiano::OnCurrent() {
    const std::vector<int> selected = SelectedRows();
    if (selected.size() != 1) {
        AfxMessageBox(IDS_ONE_CURRENT, MB_ICONERROR);
        return;
    }
    m_list.m_key = m_list.GetItemText(selected[0], 0);
    m_list.RedrawItems(0, m_list.GetItemCount() - 1);
}

void CDlgPrefDatiPiano::OnCopy() {
    const std::vector<int> selected = SelectedRows();
    if (selected.size() != 1) {
        AfxMessageBox(kChooseOneFloor, MB_ICONERROR);
        return;
    }
    const double source = m_rows[selected[0]].elevation;
    const std::string sourceText = m_list.GetItemText(selected[0], 0);
    const std::string edge = m_list.GetItemText(selected[0], 3);
    double target = 0.0;
    if (!AskNewElevation(target)) return;
    const std::string targetText = ElevationText(target);
    if (RowOfText(targetText) < 0) {
        const double height = 275.0 * DrawingUnitFactor();
        const int row = AddRow(NewRowIndex(m_rows, target), {target, height}, "ON", edge);
        m_list.SetItemText(row, 1, TwoDecimals(height));
        m_visible = 1;
        m_edgeMode = static_cast<int>(std::strtol(edge.c_str(), nullptr, 10));
        EditFloors([&](VELM_PIANI& floors) {
            AA_PIANO f;
            f.elevation = target;
            f.height = height;
            f.edgeMode = m_edgeMode;
            floors.piani.floors.push_back(f);
        });
    } else {
        char question[512];
        std::snprintf(
            question, sizeof question,
            "Podłoga na FE=%s już istnieje. Czy chcesz przenieść wszystko z podłogi na FE=%s tę podłogę?",
            targetText.c_str(), sourceText.c_str());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    CopyToFloor(kFloorCopy, true, source, target, LevelText(source), nullptr);
    RunQuiet({"_REGEN"});
}

void CDlgPrefDatiPiano::OnMove() {
    const std::vector<int> selected = SelectedRows();
    if (selected.size() != 1) {
        AfxMessageBox(kChooseOneFloor, MB_ICONERROR);
        return;
    }
    MakeCurrent(selected[0]);
    const double source = m_rows[m_current].elevation;
    double target = 0.0;
    if (AskNewElevation(target) && std::fabs(target - source) >= SharedTolerance) {
        m_visible = 1;
        const int existing = RowOfText(ElevationText(target));
        SetRowElevation(m_current, target);
        MoveFloor(source, target);
        RunQuiet({"_REGEN"});
        if (existing >= 0) {
            // Merged into the floor that was there: one row, one record.
            DeleteRow(m_current);
            m_current = existing > m_current ? existing - 1 : existing;
            EditFloors([&](VELM_PIANI& floors) {
                auto& list = floors.piani.floors;
                int seen = 0;
                for (auto it = list.begin(); it != list.end(); ++it) {
                    if (it->elevation == target && ++seen == 2) {
                        list.erase(it);
                        break;
                    }
                }
            });
        }
    }
    if (m_current >= 0) SelectOnly(m_current);
    FocusList();
}

void CDlgPrefDatiPiano::OnLayers() {
    const std::vector<int> selected = SelectedRows();
    if (selected.size() != 1) {
        AfxMessageBox(IDS_ONE_FLOOR_LAYERS, MB_ICONERROR);
        return;
    }
    const double z = m_rows[selected[0]].elevation;
    std::vector<std::string> linked, names;
    ReadFloors([&](const VELM_PIANI& floors) { floors.GetFloorLayers(z, linked); });
    GetLayerNames(names);
    CDlgLayerPiano dialog;
    dialog.SetLinkedLayers(linked);
    dialog.SetDrawingLayers(names);
    if (dialog.DoModal() != IDOK) return;
    dialog.GetLinkedLayers(linked);
    EditFloors([&](VELM_PIANI& floors) { floors.SetFloorLayers(z, linked); });
}

void CDlgPrefDatiPiano::OnPatterns() {
    UpdateData(TRUE);
    CDlgHatch dialog;
    dialog.SetPattern(m_pattern);
    if (dialog.DoModal() != IDOK) return;
    dialog.GetPattern(m_pattern);
    ShowPreview();
    UpdateData(FALSE);
}

// ---- apply and OK

void CDlgPrefDatiPiano::StoreRows(bool regenWalls) {
    const int tilemode = Tilemode();
    bool regen = false;
    EditFloors([&](VELM_PIANI& floors) {
        const VELM_PIANI before(floors);
        for (int i = 0; i < m_list.GetItemCount(); ++i) {
            const RowData& row = m_rows[i];
            const bool visible = zcutEqualsNoCase(m_list.GetItemText(i, 2), "ON");
            const int edge = static_cast<int>(std::strtol(m_list.GetItemText(i, 3).c_str(), nullptr, 10));
            AA_PIANO* f = floors.FindFloorByElevation(row.elevation);
            if (!f) {
                if (regenWalls) continue;
                AA_PIANO made;
                made.elevation = row.elevation;
                made.height = row.height;
                made.visible = visible;
                made.edgeMode = edge;
                floors.piani.floors.push_back(made);
                continue;
            }
            if (f->height != row.height || f->edgeMode != edge) {
                f->height = row.height;
                f->edgeMode = edge;
                if (regenWalls) RegenerateWallsOfLevel(row.elevation, row.height, edge);
            }
            if (f->visible != visible) {
                f->visible = visible;
                if (tilemode != 0) regen = true;
            }
        }
        ApplyFloorFlags(floors, tilemode);
        if (tilemode == 0) {
            // Paper space shows floors per viewport; the stored flags stay.
            for (AA_PIANO& f : floors.piani.floors)
                if (const AA_PIANO* was = before.FindFloorByElevation(f.elevation)) f.visible = was->visible;
        }
    });
    if (regenWalls && regen) RunQuiet({"_REGEN"});
}

BOOL CDlgPrefDatiPiano::OnApply() {
    if (!UpdateData(TRUE)) return FALSE;
    if (!OnHeightKillFocus(true)) {
        GotoDlgCtrl(&m_heightEdit);
        return FALSE;
    }
    SetModified(FALSE);
    StoreRows(true);
    QuerySiblings(0, 0);
    return CPrefPage::OnApply();
}

void CDlgPrefDatiPiano::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(false)); setup) {
        setup->assertWriteEnabled();
        // Bit 0 is the box; bits 1 to 6 stay; higher bits are cleared.
        setup->setInt(kSlotIntersections,
                      static_cast<short>((m_storedIntersections & 0x7E) | (m_intersections ? 1 : 0)));
        setup->setInt(kSlotLayerColour, static_cast<short>(m_layerColour));
        setup->setInt(kSlotOneBlock, static_cast<short>(m_oneBlock));
        setup->setInt(kSlotCutVolumes, static_cast<short>(m_cutVolumes));
        setup->setInt(kSlotCutHatch, static_cast<short>(m_cutHatch));
        setup->setString(kSlotPattern, m_pattern);
        setup->setReal(kSlotHatchScale, m_hatchScaleValue);
        setup->setInt(kSlotAddHatches, static_cast<short>(m_addHatches));
        setup->setReal(kSlotAxis, m_axisValue);
    }
    const int key = RowOfText(m_list.m_key);
    if (key >= 0) {
        const double z = m_rows[key].elevation;
        const int slot = SetupVar::SQPAV;
        SetVarReal(&slot, &z);
        UpdateFloorPane();
    }
    StoreRows(false);
    RunQuiet({"_REGEN"});
    RecordActivePage();
    CPrefPage::OnOK();
}
