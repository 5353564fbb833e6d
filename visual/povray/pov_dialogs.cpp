// The render material dialog with its owner-drawn layer list, and the
// render options dialog.
#include "visual/povray/pov_dialogs.h"

#include <algorithm>
#include <cstdio>

#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/units.h"
#include "host/db/dbobjptr.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/textutil.h"
#include "settings/matpov_registry.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/povray/pov_engine.h"

namespace {

constexpr int IDC_LAYER_TREE = 1021;
constexpr int IDC_LAYER_LIST = 1385;
constexpr int IDC_MATERIAL_TREE = 1403;
constexpr int IDC_MATERIAL_LIST = 1002;
constexpr int IDC_PREVIEW = 1358;
constexpr int IDC_SCALE = 1386;
constexpr int IDC_ATTACH = 5;
constexpr int IDC_NEW_NAME = 1404;
constexpr int IDC_ADD = 1405;
constexpr int IDC_REMOVE = 1406;
constexpr int IDC_EXPORT = 1460;
constexpr int IDC_IMPORT = 1461;
constexpr int kNone = -1;
constexpr int kSeveral = -2;

constexpr const char* kLayerExists = "Nazwa warstwy istnieje już na liście";
constexpr const char* kOneRowOnly = "Wybierz tylko jeden wiersz";
constexpr const char* kGroupRow = "Nie można usunąć nazwy grupy";
constexpr const char* kGroupEmpty = "Nie można usunąć wszystkich warstw. Grupa nie może być pusta";

bool IsGroupRow(const std::string& name) {
    return name.starts_with("*");
}

// The render support folder as the registry keeps it: with "/" between
// its names, whether typed or made with "\\" (the host reads both).
void WriteSupportFolder(const std::string& folder) {
    WriteRegistryVariable("povDirSupporto", nullptr, nullptr, host::nativePath(folder).c_str());
}

std::string Fixed2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Fills a group tree from the group paths of a table.
template <class Rows>
std::vector<CDlgPovRayMat::GroupNode> BuildTree(CTreeCtrl& tree, const Rows& rows, const char* rootText) {
    std::vector<CDlgPovRayMat::GroupNode> nodes;
    HTREEITEM root = tree.InsertItem(rootText, TVI_ROOT, TVI_LAST);
    nodes.push_back({root, {}, {}});
    for (const auto& row : rows) {
        std::string group, sub;
        SplitAtPercent(row.group, group, sub);
        if (group.empty()) continue;
        auto groupNode = std::find_if(nodes.begin(), nodes.end(),
                                      [&](const auto& n) { return n.group == group && n.subGroup.empty(); });
        HTREEITEM groupItem = nullptr;
        if (groupNode == nodes.end()) {
            groupItem = tree.InsertItem(group, root, TVI_LAST);
            nodes.push_back({groupItem, group, {}});
        } else {
            groupItem = groupNode->item;
        }
        if (sub.empty()) continue;
        if (std::none_of(nodes.begin(), nodes.end(),
                         [&](const auto& n) { return n.group == group && n.subGroup == sub; }))
            nodes.push_back({tree.InsertItem(sub, groupItem, TVI_LAST), group, sub});
    }
    tree.Expand(root, TVE_EXPAND);
    return nodes;
}

bool Passes(const CDlgPovRayMat::GroupNode& filter, const std::string& path) {
    if (filter.group.empty()) return true;
    std::string group, sub;
    SplitAtPercent(path, group, sub);
    return group == filter.group && (filter.subGroup.empty() || sub == filter.subGroup);
}

CDlgPovRayMat::GroupNode NodeOf(const std::vector<CDlgPovRayMat::GroupNode>& nodes, HTREEITEM item) {
    for (const auto& node : nodes)
        if (node.item == item) return node;
    return {};
}

}  // namespace

// ---------------------------------------------------------------- the list

void CPovRayListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC& dc = *dis->hDC;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    dc.FillSolidRect(dis->rcItem, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (dis->itemState & ODS_FOCUS) dc.DrawFocusRect(dis->rcItem);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int item = static_cast<int>(dis->itemID);
    int left = dis->rcItem.left;
    for (int column = 0; column < 3; ++column) {
        const int width = GetColumnWidth(column);
        CRect cell(left + 2, dis->rcItem.top, left + width - 2, dis->rcItem.bottom);
        left += width;
        // A group row shows its heading alone.
        if (column > 0 && IsGroupRow(GetItemText(item, 0))) break;
        dc.DrawText(GetItemText(item, column), &cell, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

// ---------------------------------------------------------------- materials

CDlgPovRayMat::CDlgPovRayMat(CWnd* parent) : CDialog(IDD_POVRAY_MAT, parent) {
    HandleNotify(TVN_SELCHANGED, IDC_LAYER_TREE, [this](NMHDR*, LRESULT*) { OnLayerTree(); });
    HandleNotify(TVN_SELCHANGED, IDC_MATERIAL_TREE, [this](NMHDR*, LRESULT*) { OnMaterialTree(); });
    HandleNotify(NM_CLICK, IDC_LAYER_LIST, [this](NMHDR*, LRESULT*) { OnListClick(); });
    HandleCommand(LBN_SELCHANGE, IDC_MATERIAL_LIST, [this] { OnMaterialSelected(); });
    HandleCommand(EN_KILLFOCUS, IDC_SCALE, [this] { OnScaleLeft(); });
    HandleCommand(EN_CHANGE, IDC_NEW_NAME, [this] { OnNewNameChanged(); });
    HandleCommand(BN_CLICKED, IDC_ATTACH, [this] { OnAttach(); });
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAdd(); });
    HandleCommand(BN_CLICKED, IDC_REMOVE, [this] { OnRemove(); });
    HandleCommand(BN_CLICKED, IDC_EXPORT, [this] { OnExport(); });
    HandleCommand(BN_CLICKED, IDC_IMPORT, [this] { OnImport(); });
}

void CDlgPovRayMat::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LAYER_TREE, m_layerTree);
    DDX_Control(dx, IDC_LAYER_LIST, m_list);
    DDX_Control(dx, IDC_MATERIAL_TREE, m_materialTree);
    DDX_Control(dx, IDC_MATERIAL_LIST, m_materialList);
    DDX_Control(dx, IDC_PREVIEW, m_picture);
    DDX_Control(dx, IDC_SCALE, m_scale);
    DDX_Text(dx, IDC_NEW_NAME, m_newName);
}

BOOL CDlgPovRayMat::OnInitDialog() {
    CDialog::OnInitDialog();
    m_layerNodes = BuildTree(m_layerTree, m_layers, "Wszystkie warstwy");
    m_materialNodes = BuildTree(m_materialTree, m_materials, "Wszystkie materiały");
    ReadRegistryVariables("povDirSupporto", nullptr, nullptr, &m_supportFolder);
    if (m_supportFolder.empty()) {
        PreparePovFolders(&m_supportFolder);
        WriteSupportFolder(m_supportFolder);
    }
    if (!m_supportFolder.empty() && (m_supportFolder.back() == '\\' || m_supportFolder.back() == '/'))
        m_supportFolder.pop_back();
    m_defaultPicture = m_picture.GetBitmap();
    m_scale.SetDecimals(2);
    m_list.InsertColumn(0, "Warstwa", LVCFMT_LEFT, 80);
    m_list.InsertColumn(1, "Materiał", LVCFMT_LEFT, 110);
    m_list.InsertColumn(2, "Skala", LVCFMT_LEFT, 36);
    FillLayerList();
    FillMaterialList();
    if (CWnd* w = GetDlgItem(IDC_ADD)) w->EnableWindow(FALSE);
    if (CWnd* w = GetDlgItem(IDC_REMOVE)) w->EnableWindow(FALSE);
    return TRUE;
}

bool CDlgPovRayMat::PassesLayerFilter(const std::string& path) const {
    return Passes(m_layerFilter, path);
}

bool CDlgPovRayMat::PassesMaterialFilter(const std::string& path) const {
    return Passes(m_materialFilter, path);
}

int CDlgPovRayMat::LayerRowOfItem(int item) const {
    for (std::size_t i = 0; item >= 0 && i < m_layers.size(); ++i)
        if (PassesLayerFilter(m_layers[i].group) && item-- == 0) return static_cast<int>(i);
    return -1;
}

int CDlgPovRayMat::MaterialRowOfItem(int item) const {
    for (std::size_t i = 0; item >= 0 && i < m_materials.size(); ++i)
        if (PassesMaterialFilter(m_materials[i].group) && item-- == 0) return static_cast<int>(i);
    return -1;
}

std::string CDlgPovRayMat::DescriptionOf(const std::string& texture) const {
    for (const AA_TEXTUREPOV& material : m_materials)
        if (material.name == texture) return material.texture;
    return {};
}

void CDlgPovRayMat::FillLayerList() {
    m_list.DeleteAllItems();
    int item = 0;
    for (const AA_LAYERPOV& row : m_layers) {
        if (!PassesLayerFilter(row.group)) continue;
        m_list.InsertItem(item, row.layer);
        m_list.SetItemText(item, 1, DescriptionOf(row.texture));
        m_list.SetItemText(item, 2, Fixed2(row.scale));
        ++item;
    }
    const int state = SelectionState();
    if (state >= 0)
        if (const int row = LayerRowOfItem(state); row >= 0) ShowPreview(m_layers[row].texture);
}

void CDlgPovRayMat::FillMaterialList() {
    m_materialList.ResetContent();
    for (const AA_TEXTUREPOV& material : m_materials)
        if (PassesMaterialFilter(material.group)) m_materialList.AddString(material.texture);
}

int CDlgPovRayMat::SelectionState() const {
    const int count = m_list.GetSelectedCount();
    if (count == 0) return kNone;
    if (count > 1) return kSeveral;
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CDlgPovRayMat::ShowPreview(const std::string& texture) {
    // A texture that is no name (a drawing's own) names no preview file:
    // its text never becomes part of a path.
    HBITMAP bitmap = IsPovIdentifier(texture) ? LoadPreviewBitmap(m_supportFolder, texture) : nullptr;
    m_picture.SetBitmap(bitmap ? bitmap : m_defaultPicture);
}

void CDlgPovRayMat::OnLayerTree() {
    m_layerFilter = NodeOf(m_layerNodes, m_layerTree.GetSelectedItem());
    FillLayerList();
}

void CDlgPovRayMat::OnMaterialTree() {
    m_materialFilter = NodeOf(m_materialNodes, m_materialTree.GetSelectedItem());
    FillMaterialList();
}

void CDlgPovRayMat::OnMaterialSelected() {
    const int row = MaterialRowOfItem(m_materialList.GetCurSel());
    if (row < 0) return;
    ShowPreview(m_materials[row].name);
    m_scale.SetDouble(m_materials[row].scale);
}

void CDlgPovRayMat::OnAttach() {
    const int chosen = MaterialRowOfItem(m_materialList.GetCurSel());
    if (chosen < 0 || IsGroupRow(m_materials[chosen].name)) return;
    const AA_TEXTUREPOV& material = m_materials[chosen];
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_list.GetNextItem(item, LVNI_SELECTED)) {
        const int row = LayerRowOfItem(item);
        if (row < 0 || IsGroupRow(m_layers[row].layer)) continue;
        m_layers[row].texture = material.name;
        m_layers[row].integer = material.mode;
        m_layers[row].scale = material.scale;
        m_list.SetItemText(item, 1, material.texture);
        m_list.SetItemText(item, 2, Fixed2(material.scale));
    }
}

void CDlgPovRayMat::OnScaleLeft() {
    const std::optional<double> typed = m_scale.Number();
    // A texture's scale is a size. A refused one stays shown, for the user
    // to mend, and OK refuses it too; a text that is no number is left for
    // OK alone to say.
    if (!typed) return;
    if (!NumberFieldInRange(typed, NumberRange::Size)) {
        m_scale.SetFocus();
        return;
    }
    const double value = *typed;
    char text[64] = {};
    zcdbRToS(value, -1, -1, text);
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_list.GetNextItem(item, LVNI_SELECTED)) {
        const int row = LayerRowOfItem(item);
        if (row < 0 || IsGroupRow(m_layers[row].layer)) continue;
        m_layers[row].scale = value;
        m_list.SetItemText(item, 2, text);
    }
}

void CDlgPovRayMat::OnListClick() {
    const int state = SelectionState();
    const int row = state >= 0 ? LayerRowOfItem(state) : -1;
    auto enable = [this](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on);
    };
    if (state == kNone || (row >= 0 && IsGroupRow(m_layers[row].layer))) {
        enable(IDC_ATTACH, false);
        enable(IDC_SCALE, false);
    } else if (state == kSeveral) {
        enable(IDC_ATTACH, true);
        enable(IDC_SCALE, false);
        enable(IDC_ADD, false);
        enable(IDC_REMOVE, false);
    } else {
        enable(IDC_ATTACH, true);
        enable(IDC_SCALE, true);
        enable(IDC_ADD, true);
        enable(IDC_REMOVE, true);
        std::string shown = m_list.GetItemText(state, 2);
        if (auto value = host::parseDoublePrefix(shown)) m_scale.SetDouble(*value);
    }
    if (row >= 0) ShowPreview(m_layers[row].texture);
}

void CDlgPovRayMat::OnNewNameChanged() {
    UpdateData(TRUE);
    if (CWnd* w = GetDlgItem(IDC_ADD)) w->EnableWindow(!m_newName.empty() && SelectionState() >= 0);
}

void CDlgPovRayMat::OnAdd() {
    UpdateData(TRUE);
    for (const AA_LAYERPOV& row : m_layers)
        if (zcutEqualsNoCase(row.layer, m_newName)) {
            AfxMessageBox(kLayerExists, MB_OK, 0);
            return;
        }
    const int state = SelectionState();
    if (state < 0) {
        AfxMessageBox(kOneRowOnly, MB_OK, 0);
        return;
    }
    const int at = LayerRowOfItem(state);
    if (at < 0 || m_layers[at].layer.starts_with("**")) return;
    AA_LAYERPOV row;
    row.layer = m_newName;
    row.group = m_layerFilter.group;
    if (!m_layerFilter.subGroup.empty()) row.group += "%" + m_layerFilter.subGroup;
    m_layers.insert(m_layers.begin() + at, std::move(row));
    FillLayerList();
}

void CDlgPovRayMat::OnRemove() {
    const int state = SelectionState();
    if (state < 0) {
        AfxMessageBox(kOneRowOnly, MB_OK, 0);
        return;
    }
    const int at = LayerRowOfItem(state);
    if (at < 0) return;
    if (IsGroupRow(m_layers[at].layer)) {
        AfxMessageBox(kGroupRow, MB_OK, 0);
        return;
    }
    const std::string& path = m_layers[at].group;
    const auto same = std::count_if(m_layers.begin(), m_layers.end(),
                                    [&](const AA_LAYERPOV& r) { return r.group == path; });
    if (same < 2) {
        AfxMessageBox(kGroupEmpty, MB_OK, 0);
        return;
    }
    m_layers.erase(m_layers.begin() + at);
    FillLayerList();
}

void CDlgPovRayMat::OnExport() {
    WriteLayerPovDef(m_layers);
}

void CDlgPovRayMat::OnImport() {
    // Read aside: a file that is not found, or gives no layer its
    // material, must not empty the assignment that OK would then store in
    // the drawing.
    AAR_LAYERPOV read;
    if (!ReadLayerPovReplacement(read)) return;
    m_layers = std::move(read);
    FillLayerList();
}

void CDlgPovRayMat::OnOK() {
    // A scale typed that the rows did not take keeps the dialog open. When
    // OK takes the focus from the edit, the edit (or its leaving) has said
    // why. A field left empty, or showing a row's or material's own scale,
    // holds nothing typed: the rows keep theirs.
    if (m_scale.IsWindowEnabled() && m_scale.HoldsTypedText()) {
        const std::optional<double> typed = m_scale.Number();
        if (!typed || !ValueInRange(*typed, NumberRange::Size)) {
            if (CWnd::GetFocus() != &m_scale) NumberFieldInRange(typed, NumberRange::Size);
            GotoDlgCtrl(&m_scale);
            return;
        }
    }
    if (ZcDbObjectPointer<VELM_MATPOV> table(OpenMatPovObject()); table) table->rows = m_layers;
    CDialog::OnOK();
}

// ---------------------------------------------------------------- options

namespace {

constexpr int IDC_ADD_IMAGE = 1395;
constexpr int IDC_IMAGE_FILE = 1396;
constexpr int IDC_BROWSE_IMAGE = 1397;
constexpr int IDC_DISTANCE = 1398;
constexpr int IDC_NO_LIGHTS = 1399;
constexpr int IDC_FOLDER = 1432;
constexpr int IDC_AMBIENT = 1433;
constexpr int IDC_AMBIENT_SWATCH = 1434;
constexpr int IDC_INTENSITY = 1436;
constexpr int IDC_BACKGROUND = 1437;
constexpr int IDC_SKY = 1438;
constexpr int IDC_BACKGROUND_SWATCH = 1439;
constexpr int IDC_ZENITH = 1440;
constexpr int IDC_HORIZON = 1441;
constexpr int IDC_ZENITH_SWATCH = 1442;
constexpr int IDC_HORIZON_SWATCH = 1443;
constexpr int IDC_HEIGHT = 1444;
constexpr int IDC_INTENSITY_VALUE = 1445;
constexpr int IDC_GROUND = 1446;
constexpr int IDC_BROWSE_FOLDER = 1447;
constexpr int IDC_BRIGHTNESS = 1448;
constexpr int IDC_GRAY = 1450;
constexpr int IDC_BRIGHTNESS_VALUE = 1451;
constexpr int IDC_GRAY_VALUE = 1452;
constexpr int IDC_QUALITY = 1458;

constexpr double kIntensityStep = 0.15, kBrightnessStep = 0.2, kGrayStep = 0.1;

// The slider position of a value: truncated, but a value that is a whole
// number of steps in decimal (0.6 in steps of 0.2) is not lost to the
// binary rounding of the division.
int SliderPosition(double value, double step) {
    return static_cast<int>(value / step + 1e-9);
}

int RegistryInt(const char* name) {
    int value = 0;
    ReadRegistryVariables(name, &value, nullptr, nullptr);
    return value;
}

double RegistryReal(const char* name) {
    double value = 0.0;
    ReadRegistryVariables(name, nullptr, &value, nullptr);
    return value;
}

}  // namespace

CDlgPrefPovRay::CDlgPrefPovRay(CWnd* parent) : CDialog(IDD_PREF_POVRAY, parent) {
    HandleCommand(BN_CLICKED, IDC_ADD_IMAGE, [this] { OnAddImage(); });
    HandleCommand(BN_CLICKED, IDC_SKY, [this] { OnSky(); });
    HandleCommand(BN_CLICKED, IDC_BROWSE_IMAGE, [this] { OnBrowseImage(); });
    HandleCommand(BN_CLICKED, IDC_BROWSE_FOLDER, [this] { OnBrowseFolder(); });
    HandleCommand(BN_CLICKED, IDC_AMBIENT, [this] { ChooseColour(m_ambient, m_ambientSwatch); });
    HandleCommand(BN_CLICKED, IDC_BACKGROUND, [this] { ChooseColour(m_background, m_backgroundSwatch); });
    HandleCommand(BN_CLICKED, IDC_ZENITH, [this] { ChooseColour(m_zenith, m_zenithSwatch); });
    HandleCommand(BN_CLICKED, IDC_HORIZON, [this] { ChooseColour(m_horizon, m_horizonSwatch); });
}

void CDlgPrefPovRay::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_ADD_IMAGE, m_addImage);
    DDX_Text(dx, IDC_IMAGE_FILE, m_imageFile);
    DDX_Text(dx, IDC_FOLDER, m_supportFolder);
    DDX_Check(dx, IDC_SKY, m_skySphere);
    DDX_Check(dx, IDC_GROUND, m_groundPlane);
    DDX_Check(dx, IDC_NO_LIGHTS, m_noLights);
    DDX_Control(dx, IDC_DISTANCE, m_distanceEdit);
    DDX_Control(dx, IDC_HEIGHT, m_heightEdit);
    DDX_Control(dx, IDC_INTENSITY, m_intensitySlider);
    DDX_Control(dx, IDC_BRIGHTNESS, m_brightnessSlider);
    DDX_Control(dx, IDC_GRAY, m_graySlider);
    DDX_Control(dx, IDC_QUALITY, m_qualityList);
    DDX_Control(dx, IDC_AMBIENT_SWATCH, m_ambientSwatch);
    DDX_Control(dx, IDC_BACKGROUND_SWATCH, m_backgroundSwatch);
    DDX_Control(dx, IDC_ZENITH_SWATCH, m_zenithSwatch);
    DDX_Control(dx, IDC_HORIZON_SWATCH, m_horizonSwatch);
}

BOOL CDlgPrefPovRay::OnInitDialog() {
    m_addImage = SettingInt(SetupVar::SETPOVADDIMG, 0);
    m_imageFile = SettingString(SetupVar::SETPOVFILEIMG, "");
    m_imageDistance = SettingReal(SetupVar::SETPOVIMGDIST, 3000.0);
    m_groundPlane = SettingInt(SetupVar::SETPOVPIANOORI, 0);
    m_skySphere = SettingInt(SetupVar::SETPOVSFERACEL, 0);
    m_groundHeight = SettingReal(SetupVar::SETPOVPIANOQZ, 0.0);
    ReadRegistryVariables("povDirSupporto", nullptr, nullptr, &m_supportFolder);
    const std::string storedFolder = m_supportFolder;
    if (m_supportFolder.empty()) PreparePovFolders(&m_supportFolder);
    m_intensity = RegistryReal("povIntAmbiente");
    m_brightness = RegistryReal("povBrightness");
    m_gray = RegistryReal("povGrayHold");
    m_noLights = RegistryInt("povSenzaLuci");
    m_quality = RegistryInt("qualitaRadiosity");
    m_ambient = static_cast<COLORREF>(RegistryInt("povColAmbiente"));
    m_background = static_cast<COLORREF>(RegistryInt("povColSfondo"));
    m_zenith = static_cast<COLORREF>(RegistryInt("povColZenit"));
    m_horizon = static_cast<COLORREF>(RegistryInt("povColOrizzonte"));
    m_registryAsOpened = RegistryTexts();
    m_registryAsOpened.front().second = storedFolder;  // the folder offered is stored at OK
    CDialog::OnInitDialog();

    for (const char* level : {"Niski", "Projektowy", "Średni", "Prezentacja", "Maksymalny"})
        m_qualityList.AddString(level);
    m_qualityList.SetCurSel(m_quality >= 0 && m_quality <= 4 ? m_quality : 2);
    m_distanceEdit.SetDecimals(10);
    m_distanceEdit.SetSignMode(0, 0);
    m_distanceEdit.SetDouble(m_imageDistance);
    m_heightEdit.SetDecimals(10);
    m_heightEdit.SetDouble(m_groundHeight);
    m_ambientSwatch.SetColor(m_ambient);
    m_backgroundSwatch.SetColor(m_background);
    m_zenithSwatch.SetColor(m_zenith);
    m_horizonSwatch.SetColor(m_horizon);
    EnableControls();
    m_intensitySlider.SetRange(0, 20);
    m_brightnessSlider.SetRange(0, 10);
    m_graySlider.SetRange(0, 10);
    m_intensitySlider.SetPos(SliderPosition(m_intensity, kIntensityStep));
    m_brightnessSlider.SetPos(SliderPosition(m_brightness, kBrightnessStep));
    m_graySlider.SetPos(SliderPosition(m_gray, kGrayStep));
    ShowValue(IDC_INTENSITY_VALUE, "%.2f", m_intensity);
    ShowValue(IDC_BRIGHTNESS_VALUE, "%.1f", m_brightness);
    ShowValue(IDC_GRAY_VALUE, "%.1f", m_gray);
    return TRUE;
}

void CDlgPrefPovRay::ShowValue(int id, const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(id, text);
}

void CDlgPrefPovRay::EnableControls() {
    auto enable = [this](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on);
    };
    enable(IDC_IMAGE_FILE, m_addImage != 0);
    enable(IDC_BROWSE_IMAGE, m_addImage != 0);
    enable(IDC_DISTANCE, m_addImage != 0);
    enable(IDC_BACKGROUND, !m_skySphere && !m_addImage);
    enable(IDC_ZENITH, m_skySphere != 0);
    enable(IDC_HORIZON, m_skySphere != 0);
}

void CDlgPrefPovRay::OnHScroll(UINT code, UINT pos, CWnd* bar) {
    CDialog::OnHScroll(code, pos, bar);
    if (bar == &m_intensitySlider) {
        m_intensity = m_intensitySlider.GetPos() * kIntensityStep;
        ShowValue(IDC_INTENSITY_VALUE, "%.2f", m_intensity);
    } else if (bar == &m_brightnessSlider) {
        m_brightness = m_brightnessSlider.GetPos() * kBrightnessStep;
        ShowValue(IDC_BRIGHTNESS_VALUE, "%.1f", m_brightness);
    } else if (bar == &m_graySlider) {
        m_gray = m_graySlider.GetPos() * kGrayStep;
        ShowValue(IDC_GRAY_VALUE, "%.1f", m_gray);
    }
}

void CDlgPrefPovRay::OnAddImage() {
    UpdateData(TRUE);
    if (m_addImage) m_skySphere = 0;
    UpdateData(FALSE);
    auto enable = [this](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on);
    };
    enable(IDC_IMAGE_FILE, m_addImage != 0);
    enable(IDC_BROWSE_IMAGE, m_addImage != 0);
    enable(IDC_DISTANCE, m_addImage != 0);
    enable(IDC_BACKGROUND, !m_addImage);
    enable(IDC_SKY, !m_addImage);
    enable(IDC_ZENITH, false);
    enable(IDC_HORIZON, false);
}

void CDlgPrefPovRay::OnSky() {
    UpdateData(TRUE);
    if (CWnd* w = GetDlgItem(IDC_BACKGROUND)) w->EnableWindow(!m_skySphere);
    if (CWnd* w = GetDlgItem(IDC_ZENITH)) w->EnableWindow(m_skySphere != 0);
    if (CWnd* w = GetDlgItem(IDC_HORIZON)) w->EnableWindow(m_skySphere != 0);
}

void CDlgPrefPovRay::OnBrowseImage() {
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog("Plik obrazu", "", "bmp;gif;png;jpg", "File immagine", 0, &answer);
    const host::ResbufList chosen(answer);
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        SetDlgItemText(IDC_IMAGE_FILE, chosen->resval.rstring);
}

void CDlgPrefPovRay::OnBrowseFolder() {
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog("POV-Ray katalog obsługi plików", "", "", "Directory pov",
                                        ZCUI_FILE_FOLDER_CHOICE, &answer);
    const host::ResbufList chosen(answer);
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        SetDlgItemText(IDC_FOLDER, chosen->resval.rstring);
}

void CDlgPrefPovRay::ChooseColour(COLORREF& colour, CadvColorStatic& swatch) {
    ZcUiTrueColor chosen;
    chosen.isTrueColor = true;
    chosen.rgb = colour;
    if (!zcedSetColorDialogTrueColor(chosen, false, ZcUiTrueColor())) return;
    colour = chosen.rgb;
    swatch.SetColor(colour);
}

void CDlgPrefPovRay::OnOK() {
    if (!UpdateData(TRUE) || !NumbersInRange({m_distanceEdit.Number(), m_heightEdit.Number()})) return;
    m_imageDistance = m_distanceEdit.GetDouble();
    m_groundHeight = m_heightEdit.GetDouble();
    m_quality = m_qualityList.GetCurSel();
    SetSettingInt(SetupVar::SETPOVADDIMG, m_addImage);
    SetSettingString(SetupVar::SETPOVFILEIMG, m_imageFile);
    SetSettingReal(SetupVar::SETPOVIMGDIST, m_imageDistance);
    SetSettingInt(SetupVar::SETPOVPIANOORI, m_groundPlane);
    SetSettingInt(SetupVar::SETPOVSFERACEL, m_skySphere);
    SetSettingReal(SetupVar::SETPOVPIANOQZ, m_groundHeight);
    // Only what was changed here is written: the settings are the user's,
    // and another program may have changed others since this dialog opened.
    for (const auto& value : RegistryTexts()) {
        const char* name = value.first;
        const std::string& text = value.second;
        const auto opened = std::find_if(m_registryAsOpened.begin(), m_registryAsOpened.end(),
                                         [&](const auto& v) { return zcutEqualsNoCase(v.first, name); });
        if (opened != m_registryAsOpened.end() && opened->second == text) continue;
        if (WriteRegistryVariable(name, nullptr, nullptr, text.c_str()) != ERROR_SUCCESS) break;  // said
    }
    CDialog::OnOK();
}

std::vector<std::pair<const char*, std::string>> CDlgPrefPovRay::RegistryTexts() const {
    auto integer = [](long long v) { return std::to_string(v); };
    auto real = [](double v) { return host::formatFixed(v, 6); };
    return {{"povDirSupporto", host::nativePath(m_supportFolder)},
            {"povIntAmbiente", real(m_intensity)},
            {"povColAmbiente", integer(static_cast<int>(m_ambient))},
            {"povColSfondo", integer(static_cast<int>(m_background))},
            {"povColZenit", integer(static_cast<int>(m_zenith))},
            {"povColOrizzonte", integer(static_cast<int>(m_horizon))},
            {"povBrightness", real(m_brightness)},
            {"povGrayHold", real(m_gray)},
            {"povSenzaLuci", integer(m_noLights)},
            {"qualitaRadiosity", integer(m_quality)}};
}
