// The wall types editor.
#include "walls/types/dlg_strati.h"

#include <climits>
#include <memory>
#include <optional>

#include "core/base/typed_number.h"
#include "core/host_services.h"
#include "host/db/dbobjptr.h"
#include "host/ui/resources.h"
#include "host/win/textutil.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "walls/types/dlg_muro.h"
#include "walls/types/mxt_file.h"

namespace {

constexpr int IDC_NEW = 1002;
constexpr int IDC_MODIFY = 1003;
constexpr int IDC_COPY = 1006;
constexpr int IDC_DELETE = 1007;
constexpr int IDC_INSERT_AFTER = 1012;
constexpr int IDC_TREE = 1021;

constexpr const char* kNewLayerMaterial = "Ściana";
constexpr int kNewTypeScale = 100;
constexpr int kNormalImages = 0;  // the tree's normal image list

// The build-up number a scale node shows: its leading digits, 0 when none.
int ScaleNumber(const std::string& text) {
    std::optional<long long> v = host::parseIntegerPrefix(text);
    return v ? static_cast<int>(*v) : 0;
}

// A layer list holding one layer of that material, as thick as the wall:
// a layer without a thickness would be written as an empty line that the
// file's reader refuses.
std::shared_ptr<CListStrati> OneLayer(const char* material) {
    auto layers = std::make_shared<CListStrati>();
    CStrato layer;
    layer.material = material;
    layer.thickness = "$";
    layers->InsertNumbered(layers->end(), layer, CListStrati::kTail);
    return layers;
}

// A copy with lists of its own; layers get fresh keys from 1.
std::shared_ptr<CListStrati> CopyLayers(const std::shared_ptr<CListStrati>& from) {
    auto layers = std::make_shared<CListStrati>();
    if (from)
        for (const CStrato& layer : *from) layers->InsertNumbered(layers->end(), layer, CListStrati::kTail);
    return layers;
}

}  // namespace

CDlgStrati::CDlgStrati(CWnd* parent) : CDialog(IDD_STRATI, parent) {
    HandleCommand(BN_CLICKED, IDC_NEW, [this] { OnNew(); });
    HandleCommand(BN_CLICKED, IDC_MODIFY, [this] { OnModify(); });
    HandleCommand(BN_CLICKED, IDC_COPY, [this] { OnCopy(); });
    HandleCommand(BN_CLICKED, IDC_DELETE, [this] { OnDelete(); });
    HandleNotify(TVN_BEGINLABELEDIT, IDC_TREE, [this](NMHDR* h, LRESULT* r) { OnBeginLabelEdit(h, r); });
    HandleNotify(TVN_ENDLABELEDIT, IDC_TREE, [this](NMHDR* h, LRESULT* r) { OnEndLabelEdit(h, r); });
}

CDlgStrati::~CDlgStrati() {
    m_types.RemoveAll();
}

BOOL CDlgStrati::OnInitDialog() {
    CDialog::OnInitDialog();
    FillTree();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgStrati::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TREE, m_tree);
    DDX_Check(dx, IDC_INSERT_AFTER, m_insertAfter);
}

void CDlgStrati::FillTree() {
    m_images.Create(IDB_STRATI_TREE, 16, 1, RGB(255, 0, 255));
    m_tree.SetImageList(&m_images, kNormalImages);
    LoadWallTypes(m_types);
    m_wallLayers.clear();
    if (ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject()); walls) {
        m_wallLayers = walls->entries;
    }
    for (CMuro& type : m_types) InsertWallType(InsertTypeNode(type), type);
}

void CDlgStrati::InsertWallType(HTREEITEM node, CMuro& type) {
    if (!type.scales) return;
    for (CScala& scale : *type.scales) InsertScaleNode(node, scale, TVI_LAST);
}

void CDlgStrati::FillLayers(HTREEITEM parent, CListStrati& layers) {
    for (const CStrato& layer : layers) {
        HTREEITEM node = m_tree.InsertItem(layer.material, 2, 2, parent, TVI_LAST);
        m_tree.SetItemData(node, layer.number);
    }
}

HTREEITEM CDlgStrati::InsertTypeNode(CMuro& type) {
    HTREEITEM node = m_tree.InsertItem(type.name, 0, 0, TVI_ROOT, TVI_SORT);
    m_tree.SetItemData(node, kTypeNode);
    return node;
}

HTREEITEM CDlgStrati::InsertScaleNode(HTREEITEM typeNode, CScala& scale, HTREEITEM after) {
    HTREEITEM node = m_tree.InsertItem(std::to_string(scale.scale), 1, 1, typeNode, after);
    m_tree.SetItemData(node, kScaleNode);
    if (scale.layers) FillLayers(node, *scale.layers);
    return node;
}

int CDlgStrati::KindOf(HTREEITEM node) const {
    return static_cast<int>(m_tree.GetItemData(node) & 0xFFFF);
}

CListMuri::iterator CDlgStrati::TypeOf(HTREEITEM typeNode) {
    return m_types.FindByName(m_tree.GetItemText(typeNode));
}

CScala* CDlgStrati::ScaleOf(HTREEITEM scaleNode) {
    auto type = TypeOf(m_tree.GetParentItem(scaleNode));
    if (type == m_types.end() || !type->scales) return nullptr;
    auto scale = type->scales->FindByNumber(ScaleNumber(m_tree.GetItemText(scaleNode)));
    return scale == type->scales->end() ? nullptr : &*scale;
}

// ---------------------------------------------------------------- buttons

void CDlgStrati::OnModify() {
    HTREEITEM node = m_tree.GetSelectedItem();
    if (!node) return;
    if (KindOf(node) == kTypeNode) {
        auto type = TypeOf(node);
        if (type == m_types.end()) return;
        CMuro copy = *type;
        CDlgMuro dlg(m_types, copy, this);
        dlg.SetLayerNames(m_wallLayers);
        if (dlg.DoModal() == IDOK) {
            m_tree.SetItemText(node, copy.name);
            *type = copy;
        }
        m_tree.SelectItem(node);
    } else if (KindOf(node) == kLayerNode) {
        CScala* scale = ScaleOf(m_tree.GetParentItem(node));
        if (!scale || !scale->layers) return;
        auto layer = scale->layers->FindByNumber(static_cast<std::uint32_t>(m_tree.GetItemData(node)));
        if (layer == scale->layers->end()) return;
        CStrato copy = *layer;
        CDlgStrato dlg(copy, this);
        if (dlg.DoModal() == IDOK) {
            *layer = copy;
            m_tree.SetItemText(node, copy.material);
        }
    }
}

void CDlgStrati::OnNew() {
    HTREEITEM node = m_tree.GetSelectedItem();
    const int kind = node ? KindOf(node) : kTypeNode;
    if (kind == kTypeNode) {
        NewType();
    } else if (kind == kScaleNode) {
        HTREEITEM fresh = m_tree.InsertItem("", 1, 1, m_tree.GetParentItem(node), TVI_LAST);
        m_tree.SetItemData(fresh, kScaleNode);
        m_scaleWaiting = 1;
        if (!m_tree.EditLabel(fresh) && m_tree.IsItem(fresh)) {
            m_tree.DeleteItem(fresh);
            m_scaleWaiting = 0;
        }
    } else {
        NewLayer(node);
    }
}

void CDlgStrati::NewType() {
    CMuro type;
    CDlgMuro dlg(m_types, type, this);
    dlg.SetLayerNames(m_wallLayers);
    if (dlg.DoModal() != IDOK) return;
    type.scales = std::make_shared<CListScale>();
    type.scales->push_back(CScala{kNewTypeScale, OneLayer(kNewLayerMaterial)});
    CMuro& added = m_types.emplace_back(type);
    InsertWallType(InsertTypeNode(added), added);
}

void CDlgStrati::NewLayer(HTREEITEM layerNode) {
    HTREEITEM scaleNode = m_tree.GetParentItem(layerNode);
    CScala* scale = ScaleOf(scaleNode);
    if (!scale || !scale->layers) return;
    CListStrati& layers = *scale->layers;
    auto at = layers.FindByNumber(static_cast<std::uint32_t>(m_tree.GetItemData(layerNode)));
    m_insertAfter = IsDlgButtonChecked(IDC_INSERT_AFTER) ? 1 : 0;
    CStrato layer;
    CDlgStrato dlg(layer, this);
    if (dlg.DoModal() != IDOK) return;
    auto made = layers.InsertNumbered(at, layer, m_insertAfter ? CListStrati::kAfter : CListStrati::kBefore);
    if (made == layers.end()) return;
    HTREEITEM after = layerNode;
    if (!m_insertAfter) {
        after = m_tree.GetPrevSiblingItem(layerNode);
        if (!after) after = TVI_FIRST;
    }
    HTREEITEM node = m_tree.InsertItem(made->material, 2, 2, scaleNode, after);
    m_tree.SetItemData(node, made->number);
}

void CDlgStrati::OnCopy() {
    HTREEITEM node = m_tree.GetSelectedItem();
    if (!node) return;
    if (KindOf(node) == kTypeNode)
        CopyType(node);
    else if (KindOf(node) == kScaleNode)
        CopyScale(node);
}

void CDlgStrati::CopyType(HTREEITEM typeNode) {
    auto from = TypeOf(typeNode);
    if (from == m_types.end()) return;
    std::string suffix;
    LoadModuleString(suffix, IDS_COPY_SUFFIX);
    CMuro copy = *from;
    copy.name = from->name + suffix;
    copy.scales.reset();
    CDlgMuro dlg(m_types, copy, this);
    dlg.SetLayerNames(m_wallLayers);
    if (dlg.DoModal() != IDOK) return;
    if (from->scales) {
        copy.scales = std::make_shared<CListScale>();
        for (const CScala& scale : *from->scales)
            copy.scales->push_back(CScala{scale.scale, CopyLayers(scale.layers)});
    }
    CMuro& added = m_types.emplace_back(copy);
    InsertWallType(InsertTypeNode(added), added);
}

// The copy takes the next number the type has no build-up of: two
// build-ups of one number would make the copy's node find the original.
void CDlgStrati::CopyScale(HTREEITEM scaleNode) {
    HTREEITEM typeNode = m_tree.GetParentItem(scaleNode);
    auto type = TypeOf(typeNode);
    CScala* from = ScaleOf(scaleNode);
    if (type == m_types.end() || !from) return;
    int number = from->scale + 1;
    while (type->scales->FindByNumber(number) != type->scales->end()) ++number;
    CScala& added = type->scales->emplace_back(CScala{number, CopyLayers(from->layers)});
    InsertScaleNode(typeNode, added, TVI_SORT);
}

void CDlgStrati::OnDelete() {
    HTREEITEM node = m_tree.GetSelectedItem();
    if (!node) return;
    const int kind = KindOf(node);
    if (kind == kTypeNode) {
        if (auto type = TypeOf(node); type != m_types.end()) m_types.RemoveAt(type);
        m_tree.DeleteItem(node);
    } else if (kind == kScaleNode) {
        HTREEITEM typeNode = m_tree.GetParentItem(node);
        auto type = TypeOf(typeNode);
        if (type == m_types.end() || !type->scales) return;
        auto scale = type->scales->FindByNumber(ScaleNumber(m_tree.GetItemText(node)));
        if (scale != type->scales->end()) type->scales->RemoveAt(scale);
        if (type->scales->empty()) {
            type->scales.reset();
            m_types.RemoveAt(type);
            m_tree.DeleteItem(typeNode);
        } else {
            m_tree.DeleteItem(node);
        }
    } else {
        HTREEITEM scaleNode = m_tree.GetParentItem(node);
        CScala* scale = ScaleOf(scaleNode);
        if (!scale || !scale->layers) return;
        CListStrati& layers = *scale->layers;
        auto layer = layers.FindByNumber(static_cast<std::uint32_t>(m_tree.GetItemData(node)));
        if (layer != layers.end()) layers.RemoveAt(layer);
        if (!layers.empty()) {
            m_tree.DeleteItem(node);
            return;
        }
        auto type = TypeOf(m_tree.GetParentItem(scaleNode));
        if (type == m_types.end() || !type->scales) return;
        scale->layers.reset();
        type->scales->RemoveAt(type->scales->FindByNumber(scale->scale));
        m_tree.DeleteItem(scaleNode);
    }
}

// ---------------------------------------------------------------- labels

void CDlgStrati::OnBeginLabelEdit(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTVDISPINFO*>(header);
    m_editText = m_tree.GetItemText(info->item.hItem);
    *result = 0;
}

void CDlgStrati::OnEndLabelEdit(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTVDISPINFO*>(header);
    HTREEITEM node = info->item.hItem;
    *result = 0;
    if (!info->item.pszText) {
        if (m_scaleWaiting) m_tree.DeleteItem(node);
        m_scaleWaiting = 0;
        return;
    }
    const std::string text = info->item.pszText;
    m_tree.SetItemText(node, text);
    const int kind = KindOf(node);
    if (kind == kTypeNode) {
        EndTypeEdit(node, text);
    } else if (kind == kScaleNode) {
        EndScaleEdit(node, text);
    } else {
        CScala* scale = ScaleOf(m_tree.GetParentItem(node));
        if (scale && scale->layers) {
            auto layer = scale->layers->FindByNumber(static_cast<std::uint32_t>(m_tree.GetItemData(node)));
            if (layer != scale->layers->end()) layer->material = text;
        }
    }
    m_scaleWaiting = 0;
}

void CDlgStrati::EndTypeEdit(HTREEITEM node, const std::string& text) {
    if (text == m_editText) return;
    if (m_types.FindByName(text) == m_types.end()) {
        if (auto type = m_types.FindByName(m_editText); type != m_types.end()) type->name = text;
        return;
    }
    std::string message;
    FormatModuleString(message, IDS_WALL_EXISTS, text.c_str());
    ModuleMessageBox(message, MB_OK, 0);
    m_tree.SetItemText(node, m_editText);
}

void CDlgStrati::EndScaleEdit(HTREEITEM node, const std::string& text) {
    // A build-up's scale is a whole number from 1 up, typed whole: "12abc"
    // or "0x10" is refused and the label put back, not read as 12 or 0.
    const std::optional<long long> typed = TypedInteger(text);
    if (!typed || *typed < 1 || *typed > INT_MAX) {
        ModuleMessageBox(kInvalidValueMessage, MB_OK, 0);
        if (m_scaleWaiting)
            m_tree.DeleteItem(node);
        else
            m_tree.SetItemText(node, m_editText);
        return;
    }
    const int number = static_cast<int>(*typed);
    auto type = TypeOf(m_tree.GetParentItem(node));
    if (type == m_types.end()) {
        if (m_scaleWaiting) m_tree.DeleteItem(node);
        return;
    }
    if (!type->scales) type->scales = std::make_shared<CListScale>();
    CListScale& scales = *type->scales;
    auto edited = m_scaleWaiting ? scales.end() : scales.FindByNumber(ScaleNumber(m_editText));
    auto other = scales.FindByNumber(number);
    if (other != scales.end() && other != edited) {
        std::string message;
        FormatModuleString(message, IDS_SCALE_EXISTS, number);
        ModuleMessageBox(message, MB_OK, 0);
        if (m_scaleWaiting)
            m_tree.DeleteItem(node);
        else
            m_tree.SetItemText(node, m_editText);
        return;
    }
    m_tree.SetItemText(node, std::to_string(number));
    if (m_scaleWaiting) {
        CScala& added = scales.emplace_back(CScala{number, OneLayer(kNewLayerMaterial)});
        FillLayers(node, *added.layers);
    } else if (edited != scales.end()) {
        edited->scale = number;
    }
}

void CDlgStrati::OnOK() {
    SaveWallTypes(m_types);
    EndDialog(IDOK);
}

void CmdDefMxt() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgStrati dlg;
    dlg.DoModal();
}
