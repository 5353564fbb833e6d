// The layer catalogue dialog, its owner-drawn list and "c:ddlcolor".
#include "settings/dialogs/dlg_layerc.h"

#include <algorithm>
#include <unordered_map>

#include "core/layer_catalogue.h"
#include "core/support_files.h"
#include "host/ads/lisp.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/msgbox.h"
#include "host/util/adscodes.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/textutil.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_linepickers.h"
#include "settings/dialogs/layer_linetypes.h"

namespace {
constexpr int IDC_NAME = 101;
constexpr int IDC_LIST = 1001;
constexpr int IDC_TREE = 1021;
constexpr int IDC_ASSIGN = 4;
constexpr int IDC_FILE_TO_LAYERS = 6;
constexpr int IDC_LAYERS_TO_FILE = 7;
constexpr int IDC_COLOUR = 8;
constexpr int IDC_LINETYPE = 9;
constexpr int IDC_WEIGHT = 10;
constexpr int IDC_ADD = 1237;
constexpr int IDC_REMOVE = 1238;
constexpr int kNoSelection = -1;
constexpr int kSeveral = -2;

struct ColumnLayout {
    UINT heading;
    int width;
};
constexpr ColumnLayout kColumnLayouts[] = {{1041, 80}, {1042, 80}, {1043, 40}, {1045, 120}, {1046, 100}};

bool IsHeading(const AA_LAYERC& row) {
    return row.key.starts_with("**");
}

// Upper-cased layer name -> index of the first catalogue row of that layer.
std::unordered_map<std::string, std::size_t> IndexByLayerName(const AAR_LAYERC& catalogue) {
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        index.emplace(host::toUpper(catalogue[i].layerName), i);
    return index;
}

// Whether the catalogue file holds a data row, its lines split at any line
// end: a catalogue that reads without one must not be written over it.
bool FileHoldsDataLines(const std::string& fileName) {
    const std::optional<std::string> path = FindSupportFile(fileName);
    std::string bytes;
    if (!path || !host::readWholeFile(*path, bytes)) return false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string_view line = std::string_view(bytes).substr(start, end - start);
        if (line.find_first_not_of(" \t") != std::string_view::npos && !line.starts_with("**")) return true;
        start = end + 1;
    }
    return false;
}

ZcDbDatabase* WorkingDatabase() {
    return zcdbHostApplicationServices()->workingDatabase();
}

// Calls fn(layer, row) for every layer of the drawing that has a catalogue
// row, the layer open in `mode`. The layer table is let go before the walk:
// loading a linetype opens another table of the drawing for write.
template <class Fn>
void ForEachCatalogueLayer(ZcDbDatabase* db, AAR_LAYERC& catalogue, ZcDb::OpenMode mode, Fn fn) {
    if (!db) return;
    ZcDbSymbolTableIterator* it = nullptr;
    {
        ZcDbObjectPointer<ZcDbLayerTable> layers(db->layerTableId(), ZcDb::kForRead);
        if (!layers) return;
        layers->newIterator(it);
    }
    auto byName = IndexByLayerName(catalogue);
    for (; it && !it->done(); it->step()) {
        ZcDbObjectId id;
        it->getRecordId(id);
        ZcDbObjectPointer<ZcDbLayerTableRecord> layer(id, mode);
        if (!layer) continue;
        auto found = byName.find(host::toUpper(layer->name()));
        if (found != byName.end()) fn(*layer, catalogue[found->second]);
    }
    delete it;
}

}  // namespace

// ---------------------------------------------------------------- "c:ddlcolor"

int ddlcolor() {
    AAR_LAYERC table;
    // A catalogue that reads as nothing is not offered for editing: OK would
    // write an empty "LAYERC.DEF" over the real one. One read without a
    // single row from a file that holds some is said so.
    const bool found = table.ReadLayerDefFile("LAYERC.DEF") != 0;
    const bool hasRow =
        std::any_of(table.begin(), table.end(), [](const AA_LAYERC& row) { return !IsHeading(row); });
    if (found && !hasRow && FileHoldsDataLines("LAYERC.DEF")) {
        AfxMessageBox(kCatalogueUnread, MB_OK, 0);
    } else if (found && !table.empty()) {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgLayerc dialog;
        dialog.SetCatalogue(table);
        dialog.DoModal();
        // An edit that was not saved is a failed call, not a quiet one.
        if (dialog.m_writeFailed) return RTERROR;
    }
    zcedRetVoid();
    return RTNORM;
}

// ---------------------------------------------------------------- CDlgLayerc

CDlgLayerc::CDlgLayerc(CWnd* parent) : CDialog(IDD_LAYERC, parent) {
    HandleNotify(TVN_SELCHANGED, IDC_TREE, [this](NMHDR*, LRESULT*) { OnTreeSelChanged(); });
    HandleCommand(EN_CHANGE, IDC_NAME, [this] { OnNameChanged(); });
    HandleNotify(NM_CLICK, IDC_LIST, [this](NMHDR*, LRESULT*) { OnListClick(); });
    HandleCommand(BN_CLICKED, IDC_ASSIGN, [this] { OnAssign(); });
    HandleCommand(BN_CLICKED, IDC_COLOUR, [this] { OnColour(); });
    HandleCommand(BN_CLICKED, IDC_LINETYPE, [this] { OnLinetype(); });
    HandleCommand(BN_CLICKED, IDC_WEIGHT, [this] { OnLineWeight(); });
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAddLayer(); });
    HandleCommand(BN_CLICKED, IDC_REMOVE, [this] { OnRemoveLayer(); });
    HandleCommand(BN_CLICKED, IDC_FILE_TO_LAYERS, [this] { OnFileToLayers(); });
    HandleCommand(BN_CLICKED, IDC_LAYERS_TO_FILE, [this] { OnLayersToFile(); });
}

CDlgLayerc::~CDlgLayerc() {
    // Unlinked one by one so a long chain never recurses deeply.
    while (m_groups) m_groups = std::move(m_groups->next);
}

void CDlgLayerc::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_NAME, m_layerName);
    DDX_Control(dx, IDC_LIST, m_list);
    DDX_Control(dx, IDC_TREE, m_tree);
}

BOOL CDlgLayerc::OnInitDialog() {
    CDialog::OnInitDialog();
    BuildGroupTree();
    for (int c = 0; c < 5; ++c)
        m_list.InsertColumn(c, ResourceString(kColumnLayouts[c].heading), LVCFMT_LEFT,
                            kColumnLayouts[c].width);
    m_groupFilter.clear();
    m_subgroupFilter.clear();
    FillLayerList();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgLayerc::BuildGroupTree() {
    m_groups = std::make_unique<LayercGroupNode>();
    m_groups->item = m_tree.InsertItem("Wszystkie warstwy", TVI_ROOT, TVI_LAST);
    LayercGroupNode* lastGroup = m_groups.get();
    for (const AA_LAYERC& row : m_catalogue) {
        std::string group, subgroup;
        SplitAtPercent(row.groupPath, group, subgroup);
        if (group.empty()) continue;
        LayercGroupNode* node = m_groups->next.get();
        while (node && node->name != group) node = node->next.get();
        if (!node) {
            lastGroup->next = std::make_unique<LayercGroupNode>();
            node = lastGroup = lastGroup->next.get();
            node->name = group;
            node->item = m_tree.InsertItem(group, m_groups->item, TVI_LAST);
        }
        if (subgroup.empty()) continue;
        LayercGroupNode* sub = node->child.get();
        LayercGroupNode* lastSub = nullptr;
        for (; sub && sub->name != subgroup; sub = sub->next.get()) lastSub = sub;
        if (sub) continue;
        auto made = std::make_unique<LayercGroupNode>();
        made->name = subgroup;
        made->parent = node;
        made->item = m_tree.InsertItem(subgroup, node->item, TVI_LAST);
        if (lastSub)
            lastSub->next = std::move(made);
        else
            node->child = std::move(made);
    }
    m_tree.Expand(m_groups->item, TVE_EXPAND);
}

bool CDlgLayerc::IsVisible(const AA_LAYERC& row) const {
    if (m_groupFilter.empty() && m_subgroupFilter.empty()) return true;
    std::string group, subgroup;
    SplitAtPercent(row.groupPath, group, subgroup);
    if (group != m_groupFilter) return false;
    return m_subgroupFilter.empty() || subgroup == m_subgroupFilter;
}

int CDlgLayerc::FindRowOfItem(int n) const {
    if (n < 0) return -1;
    for (std::size_t i = 0; i < m_catalogue.size(); ++i)
        if (IsVisible(m_catalogue[i]) && n-- == 0) return static_cast<int>(i);
    return -1;
}

void CDlgLayerc::FillLayerList() {
    m_list.DeleteAllItems();
    int item = 0;
    for (const AA_LAYERC& row : m_catalogue) {
        if (!IsVisible(row)) continue;
        m_list.InsertItem(item, row.key);
        SetRowTexts(item, row);
        ++item;
    }
    EnableButtons(false, false, false);
}

void CDlgLayerc::SetRowTexts(int item, const AA_LAYERC& row) {
    m_list.SetItemText(item, m_columns[kLayer], row.layerName);
    m_list.SetItemText(item, m_columns[kColour], std::to_string(row.color));
    m_list.SetItemText(item, m_columns[kSpare], row.spare);
    m_list.SetItemText(item, m_columns[kLinetype], row.linetype);
    m_list.SetItemText(item, m_columns[kWeight], FormatLineWeight(row.lineWeight));
}

void CDlgLayerc::EnableButtons(bool assign, bool add, bool remove) {
    if (CWnd* w = GetDlgItem(IDC_ASSIGN)) w->EnableWindow(assign);
    if (CWnd* w = GetDlgItem(IDC_ADD)) w->EnableWindow(add);
    if (CWnd* w = GetDlgItem(IDC_REMOVE)) w->EnableWindow(remove);
}

LayercGroupNode* CDlgLayerc::FindNode(HTREEITEM item) const {
    for (LayercGroupNode* g = m_groups.get(); g; g = g->next.get()) {
        if (g->item == item) return g;
        for (LayercGroupNode* s = g->child.get(); s; s = s->next.get())
            if (s->item == item) return s;
    }
    return nullptr;
}

void CDlgLayerc::OnTreeSelChanged() {
    UpdateData(FALSE);
    m_groupFilter.clear();
    m_subgroupFilter.clear();
    if (LayercGroupNode* node = FindNode(m_tree.GetSelectedItem()); node && node != m_groups.get()) {
        if (node->parent) {
            m_subgroupFilter = node->name;
            m_groupFilter = node->parent->name;
        } else {
            m_groupFilter = node->name;
        }
    }
    FillLayerList();
}

int CDlgLayerc::SelectionState() const {
    int count = m_list.GetSelectedCount();
    if (count == 0) return kNoSelection;
    if (count > 1) return kSeveral;
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

std::vector<int> CDlgLayerc::SelectedEditableRows(std::vector<int>* items) const {
    std::vector<int> rows;
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0;
         item = m_list.GetNextItem(item, LVNI_SELECTED)) {
        int row = FindRowOfItem(item);
        if (row < 0 || IsHeading(m_catalogue[row])) continue;
        rows.push_back(row);
        if (items) items->push_back(item);
    }
    return rows;
}

void CDlgLayerc::OnNameChanged() {
    UpdateData(TRUE);
    if (m_layerName.empty()) {
        if (CWnd* w = GetDlgItem(IDC_ASSIGN)) w->EnableWindow(FALSE);
        if (CWnd* w = GetDlgItem(IDC_ADD)) w->EnableWindow(FALSE);
        return;
    }
    int state = SelectionState();
    bool assign = state != kNoSelection;
    bool add = state >= 0;
    if (CWnd* w = GetDlgItem(IDC_ASSIGN)) w->EnableWindow(assign);
    if (CWnd* w = GetDlgItem(IDC_ADD)) w->EnableWindow(add);
}

void CDlgLayerc::OnListClick() {
    UpdateData(TRUE);
    int state = SelectionState();
    if (state == kNoSelection)
        EnableButtons(false, false, false);
    else if (state == kSeveral)
        EnableButtons(true, false, false);
    else
        EnableButtons(!m_layerName.empty(), !m_layerName.empty(), true);
}

void CDlgLayerc::OnAssign() {
    UpdateData(TRUE);
    // An empty layer name would leave rows that map to no layer at all.
    if (m_layerName.empty()) return;
    std::vector<int> items;
    std::vector<int> rows = SelectedEditableRows(&items);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_catalogue[rows[i]].layerName = m_layerName;
        m_list.SetItemText(items[i], m_columns[kLayer], m_layerName);
    }
}

void CDlgLayerc::OnColour() {
    std::vector<int> items;
    std::vector<int> rows = SelectedEditableRows(&items);
    int colour = rows.empty() ? 256 : m_catalogue[rows.front()].color;
    if (!zcedSetColorDialog(colour, false, 1)) return;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_catalogue[rows[i]].color = colour;
        m_list.SetItemText(items[i], m_columns[kColour], std::to_string(colour));
    }
}

void CDlgLayerc::OnLinetype() {
    std::vector<int> items;
    std::vector<int> rows = SelectedEditableRows(&items);
    CDlgTipoLinea picker(this);
    if (!rows.empty()) picker.m_selected = m_catalogue[rows.front()].linetype;
    if (picker.DoModal() != IDOK) return;
    std::string linetype = picker.GetLinetype();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_catalogue[rows[i]].linetype = linetype;
        m_list.SetItemText(items[i], m_columns[kLinetype], linetype);
    }
}

void CDlgLayerc::OnLineWeight() {
    std::vector<int> items;
    std::vector<int> rows = SelectedEditableRows(&items);
    CDlgSpessLinea picker(this);
    if (!rows.empty()) picker.SetLineWeight(m_catalogue[rows.front()].lineWeight);
    if (picker.DoModal() != IDOK) return;
    std::int16_t weight = picker.GetLineWeight();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_catalogue[rows[i]].lineWeight = weight;
        m_list.SetItemText(items[i], m_columns[kWeight], FormatLineWeight(weight));
    }
}

void CDlgLayerc::OnAddLayer() {
    UpdateData(TRUE);
    // A row without a key could never be found again by its element.
    if (m_layerName.empty()) return;
    for (const AA_LAYERC& row : m_catalogue)
        if (zcutEqualsNoCase(row.key, m_layerName)) {
            AfxMessageBox(kLayerKeyExists, MB_OK, 0);
            return;
        }
    int state = SelectionState();
    if (m_list.GetItemCount() == 0 || state < 0) {
        AfxMessageBox(kSelectOneRow, MB_OK, 0);
        return;
    }
    int at = FindRowOfItem(state);
    if (at < 0 || IsHeading(m_catalogue[at])) return;
    AA_LAYERC row;
    row.key = m_layerName;
    row.layerName = m_layerName;
    row.groupPath = m_groupFilter;
    if (!m_subgroupFilter.empty()) row.groupPath += "%" + m_subgroupFilter;
    m_catalogue.insert(m_catalogue.begin() + at, std::move(row));
    FillLayerList();
}

void CDlgLayerc::OnRemoveLayer() {
    int state = SelectionState();
    if (m_list.GetItemCount() == 0 || state < 0) {
        AfxMessageBox(kSelectOneRow, MB_OK, 0);
        return;
    }
    int at = FindRowOfItem(state);
    if (at < 0) return;
    if (IsHeading(m_catalogue[at])) {
        AfxMessageBox(kCannotRemoveGroup, MB_OK, 0);
        return;
    }
    std::string group, subgroup;
    SplitAtPercent(m_catalogue[at].groupPath, group, subgroup);
    int same = 0;
    for (const AA_LAYERC& row : m_catalogue) {
        std::string g, s;
        SplitAtPercent(row.groupPath, g, s);
        if (g == group && s == subgroup && ++same >= 2) break;
    }
    if (same < 2) {
        AfxMessageBox(kGroupNotEmpty, MB_OK, 0);
        return;
    }
    m_catalogue.erase(m_catalogue.begin() + at);
    FillLayerList();
}

void CDlgLayerc::OnFileToLayers() {
    ZcDbDatabase* db = WorkingDatabase();
    ForEachCatalogueLayer(
        db, m_catalogue, ZcDb::kForWrite, [db](ZcDbLayerTableRecord& layer, const AA_LAYERC& row) {
            // The table is let go while a missing linetype is loaded.
            bool have = false;
            if (ZcDbObjectPointer<ZcDbLinetypeTable> linetypes(db->linetypeTableId(), ZcDb::kForRead);
                linetypes)
                have = linetypes->has(row.linetype);
            if (!have) have = LoadLinetypeFromLin(db, row.linetype);
            if (!have) return;
            ZcDbObjectPointer<ZcDbLinetypeTable> linetypes(db->linetypeTableId(), ZcDb::kForRead);
            ZcDbObjectId linetypeId;
            if (linetypes && linetypes->getAt(row.linetype, linetypeId) == Zcad::eOk) {
                layer.setLinetypeObjectId(linetypeId);
                ApplyLayerColour(layer, row.color);
                ApplyLayerLineWeight(layer, row.lineWeight);
            }
        });
    OnOK();
}

void CDlgLayerc::OnLayersToFile() {
    ForEachCatalogueLayer(
        WorkingDatabase(), m_catalogue, ZcDb::kForRead, [](ZcDbLayerTableRecord& layer, AA_LAYERC& row) {
            if (ZcDbObjectPointer<ZcDbSymbolTableRecord> linetype(layer.linetypeObjectId(), ZcDb::kForRead);
                linetype)
                row.linetype = linetype->name();
            row.color = static_cast<std::int16_t>(layer.colorIndex());
            row.lineWeight = static_cast<std::int16_t>(layer.lineWeight());
        });
    OnOK();
}

void CDlgLayerc::OnOK() {
    m_writeFailed = !m_catalogue.WriteLayerDefFile(m_fileName);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- CLayercListCtrl

void CLayercListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    CDC& dc = *dis->hDC;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    dc.FillSolidRect(dis->rcItem, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (dis->itemState & ODS_FOCUS) dc.DrawFocusRect(dis->rcItem);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int item = static_cast<int>(dis->itemID);
    auto cell = [&](int column) {
        int left = dis->rcItem.left;
        for (int c = 0; c < column; ++c) left += GetColumnWidth(c);
        return CRect(left, dis->rcItem.top, left + GetColumnWidth(column), dis->rcItem.bottom);
    };
    auto text = [&](int column) {
        CRect r = cell(column);
        r.left += 2;
        r.right -= 2;
        std::string s = GetItemText(item, column);
        dc.DrawText(s, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    text(0);
    if (GetItemText(item, 0).starts_with("*")) return;
    text(1);
    CRect swatch = cell(2);
    // The swatch frame contrasts with colour 7, which is white on a dark
    // screen and black on a light one.
    dc.FillSolidRect(swatch, zcedGetRGB(7) != RGB(0, 0, 0) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    swatch.DeflateRect(3, 3);
    int colour = static_cast<int>(host::parseIntegerPrefix(GetItemText(item, 2)).value_or(0));
    dc.FillSolidRect(swatch, zcedGetRGB(colour));
    text(3);
    text(4);
}
