// The block catalogue dialogs. The browser shows one group as a page of
// previews: a slot with its block file shows its own "<name>.bmp" (or the
// no-preview picture when it has none), a free slot the empty-slot picture;
// the selection frame sits over the chosen slot. Everything the entry
// editor or the browser could write into "catalog.ini" or a block path is
// checked first, so the file always reads back.
#include "objects/dialogs/dlg_catblocchi.h"

#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/level_layers.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ui/msgbox.h"
#include "host/ui/resources.h"
#include "host/ui/uitext.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

using namespace catblocchi;

namespace {

// The selection frame's places, by column and row of the page (pixels).
constexpr int kFrameX[] = {11, 115, 218, 322, 425};
constexpr int kFrameY[] = {130, 202, 273, 345};
bool FileExists(const std::string& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PictureFolder() {
    std::string folder;
    GetVxdListFolder(folder);
    return folder;
}

bool LayerNameValid(const std::string& name) {
    return zcdbSNValid(name.c_str(), 0) == RTNORM;
}

std::string CurrentLayer() {
    std::string layer;
    SysVarString("CLAYER", "", layer);
    return layer;
}

}  // namespace

// ------------------------------------------------------------ the browser

CDlgCatblocchiSel::CDlgCatblocchiSel(CWnd* parent) : CDialog(IDD_CATBLOCCHISEL, parent) {
    for (int k = 0; k < kCatalogSlots; ++k)
        HandleCommand(STN_CLICKED, PreviewId(k), [this, k] { OnPreview(k); });
    HandleCommand(LBN_SELCHANGE, kGroupList, [this] { OnGroupSelected(); });
    HandleCommand(BN_CLICKED, kAddGroup, [this] { OnAddGroup(); });
    HandleCommand(BN_CLICKED, kRenameGroup, [this] { OnRenameGroup(); });
    HandleCommand(BN_CLICKED, kLayerButton, [this] { OnLayer(); });
    HandleCommand(BN_CLICKED, kInsert, [this] { OnInsert(kInsertOnce); });
    HandleCommand(BN_CLICKED, kRepeat, [this] { OnInsert(kInsertRepeated); });
    HandleCommand(BN_CLICKED, kDefine, [this] {
        m_result = kDefineBlock;
        EndDialog(IDOK);
    });
}

BOOL CDlgCatblocchiSel::OnInitDialog() {
    CDialog::OnInitDialog();
    m_result = kClosed;
    m_pictureFolder = PictureFolder();
    m_groupList.SubclassDlgItem(kGroupList, this);
    for (const CatalogGroup* g = m_groups->head; g; g = g->next) m_groupList.AddString(g->name);
    if (m_state->group) {
        SetDlgItemText(kGroupName, m_state->group->name);
        m_groupList.SetCurSel(m_groupList.FindStringExact(-1, m_state->group->name));
    }
    m_frame = std::make_unique<CStatic>();
    m_frame->Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZEIMAGE, CRect(0, 0, 0, 0), this,
                    static_cast<UINT>(kFrame));
    if (HBITMAP bmp = LoadBitmapFromFile(m_pictureFolder + "VELMatsel.bmp")) m_frame->SetBitmap(bmp);
    ShowCatalogPage();
    return TRUE;
}

HBITMAP CDlgCatblocchiSel::LoadSlotPreview(const CatalogEntry& entry) const {
    if (!entry.filePresent) return LoadBitmapFromFile(m_pictureFolder + "VELMatlib.bmp");
    const std::string preview = CatalogPreviewPath(m_folder, entry.blockName);
    if (FileExists(preview))
        if (HBITMAP bmp = LoadBitmapFromFile(preview)) return bmp;
    return LoadBitmapFromFile(m_pictureFolder + "VELMatnos.bmp");
}

void CDlgCatblocchiSel::ShowCatalogPage() {
    if (m_state->slot < 0 || m_state->slot >= kCatalogSlots) m_state->slot = 0;
    if (!m_state->group) return;
    for (int k = 0; k < kCatalogSlots; ++k)
        if (auto* preview = dynamic_cast<CStatic*>(GetDlgItem(PreviewId(k))))
            preview->SetBitmap(LoadSlotPreview(m_state->group->entries[static_cast<std::size_t>(k)]));
    const int slot = m_state->slot;
    if (m_frame) {
        int w = 0, h = 0;
        if (const HBITMAP& bmp = m_frame->GetBitmap()) w = bmp->width, h = bmp->height;
        m_frame->MoveWindow(kFrameX[slot % 5], kFrameY[slot / 5], w, h);
    }
    const CatalogEntry& e = m_state->Entry();
    SetDlgItemText(kDescriptionLabel, "Opis:" + e.description);
    SetDlgItemText(kNameLabel, "Nazwa:" + e.blockName);
    SetDlgItemText(kRotationLabel, "Obrót:" + (e.rotation == "?"   ? std::string("Dowolny")
                                               : e.rotation == "!" ? std::string("Prostokątny")
                                                                   : e.rotation));
    std::string scale;
    if (e.scaleX == "?")
        scale = "Współczynnik skali:Dowolny";
    else if (e.scaleX == "R")
        scale = "Współczynnik skali:Rzeczywisty";
    else if (e.scaleX == "S")
        scale = "Współczynnik skali:Symbol";
    else
        scale = zcui::Format("Współczynnik skali: (%.2f, %.2f, %.2f)", std::atof(e.scaleX.c_str()),
                             std::atof(e.scaleY.c_str()), std::atof(e.scaleZ.c_str()));
    SetDlgItemText(kScaleLabel, scale);
    CheckDlgButton(kExplode, e.explode == 'S' ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kRedefine, m_state->redefine ? BST_CHECKED : BST_UNCHECKED);
    m_state->insertLayer = e.layer == "?" ? std::string() : e.layer;
    if (e.currentFloor) MakeLevelLayerName(m_state->insertLayer, SettingReal(SetupVar::SQPAV));
    SetDlgItemText(kLayer, m_state->insertLayer);
    for (int id : {kInsert, kRepeat})
        if (CWnd* button = GetDlgItem(id)) button->EnableWindow(e.filePresent);
}

void CDlgCatblocchiSel::OnPreview(int slot) {
    m_state->slot = slot;
    ShowCatalogPage();
}

void CDlgCatblocchiSel::OnGroupSelected() {
    const int sel = m_groupList.GetCurSel();
    if (sel < 0) return;
    std::string name;
    m_groupList.GetText(sel, name);
    SetDlgItemText(kGroupName, name);
    if (CatalogGroup* g = m_groups->Find(name)) m_state->group = g;
    m_state->slot = 0;
    ShowCatalogPage();
}

bool CDlgCatblocchiSel::CheckNewGroupName(const std::string& name) {
    if (name.empty()) {
        AfxMessageBox("Nazwa grupy nie może być pusta");
        return false;
    }
    // A blank would cut the name when the file is read back.
    if (!CatalogGroupNameValid(name)) {
        AfxMessageBox("Nazwa grupy nie może zawierać spacji");
        return false;
    }
    if (m_groups->Find(name)) {
        AfxMessageBox("Nazwa grupy już istnieje");
        return false;
    }
    return true;
}

void CDlgCatblocchiSel::OnAddGroup() {
    std::string name;
    GetDlgItemText(kGroupName, name);
    if (!CheckNewGroupName(name)) return;
    m_groupList.SetCurSel(m_groupList.AddString(name));
    m_state->group = m_groups->Append(name);
    m_state->slot = 0;
    ShowCatalogPage();
}

void CDlgCatblocchiSel::OnRenameGroup() {
    std::string name;
    GetDlgItemText(kGroupName, name);
    if (!CheckNewGroupName(name)) return;
    const int sel = m_groupList.GetCurSel();
    if (sel < 0) return;
    m_groupList.DeleteString(sel);
    m_groupList.SetCurSel(m_groupList.AddString(name));
    if (m_state->group) m_state->group->name = name;
}

void CDlgCatblocchiSel::OnLayer() {
    CDlgCatBlocchiLayer chooser(this);
    GetLayerNames(chooser.m_names);
    if (chooser.DoModal() != IDOK) return;
    if (chooser.m_selected < 0 || chooser.m_selected >= static_cast<int>(chooser.m_names.size())) return;
    m_state->insertLayer = chooser.m_names[static_cast<std::size_t>(chooser.m_selected)];
    SetDlgItemText(kLayer, m_state->insertLayer);
}

void CDlgCatblocchiSel::OnInsert(int code) {
    std::string layer;
    GetDlgItemText(kLayer, layer);
    if (!layer.empty() && !LayerNameValid(layer)) {
        AfxMessageBox("Nazwa warstwy nie jest prawidłowa");
        return;
    }
    m_state->explode = IsDlgButtonChecked(kExplode) == BST_CHECKED;
    m_state->insertLayer = layer.empty() ? CurrentLayer() : layer;
    m_state->redefine = IsDlgButtonChecked(kRedefine) == BST_CHECKED;
    m_result = code;
    EndDialog(IDOK);
}

// -------------------------------------------------------- the entry editor

CDlgcatblocchidef::CDlgcatblocchidef(CWnd* parent) : CDialog(IDD_CATBLOCCHIDEF, parent) {
    HandleCommand(BN_CLICKED, kCurrentLayer, [this] { EnableControls(); });
    for (int id = kScaleReal; id <= kScaleFixed; ++id)
        HandleCommand(BN_CLICKED, id, [this] { EnableControls(); });
    for (int id = kRotationAny; id <= kRotationFixed; ++id)
        HandleCommand(BN_CLICKED, id, [this] { EnableControls(); });
    HandleCommand(BN_CLICKED, kEditLayerButton, [this] { OnLayerButton(); });
    HandleCommand(BN_CLICKED, kChooseObjects, [this] { OnChooseObjects(); });
}

void CDlgcatblocchidef::LoadFromEntry() {
    const CatalogEntry& e = m_state->Entry();
    Values& v = m_values;
    v.currentFloor = e.currentFloor;
    v.description = e.description;
    v.blockName = e.blockName;
    v.explode = e.explode == 'S';
    v.currentLayer = e.layer == "?";
    if (!v.currentLayer) v.layerName = e.layer;
    v.x = v.y = v.z = 1.0;
    if (e.scaleX == "R") {
        v.scaleMode = 0;
    } else if (e.scaleX == "S") {
        v.scaleMode = 1;
    } else if (e.scaleX == "?") {
        v.scaleMode = 2;
    } else {
        v.scaleMode = 3;
        v.x = std::atof(e.scaleX.c_str());
        v.y = std::atof(e.scaleY.c_str());
        v.z = std::atof(e.scaleZ.c_str());
    }
    if (e.rotation == "?") {
        v.rotationMode = 0;
    } else if (e.rotation == "!") {
        v.rotationMode = 1;
    } else {
        v.rotationMode = 2;
        v.angle = std::atof(e.rotation.c_str());
    }
}

void CDlgcatblocchidef::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    Values& v = m_values;
    DDX_Number(dx, kZ, v.z);
    DDX_Number(dx, kY, v.y);
    DDX_Number(dx, kX, v.x);
    DDX_Number(dx, kAngle, v.angle);
    DDX_Text(dx, kDescription, v.description);
    DDX_Text(dx, kBlockName, v.blockName);
    DDX_Check(dx, kExplode, v.explode);
    DDX_Check(dx, kCurrentLayer, v.currentLayer);
    DDX_Text(dx, kLayerName, v.layerName);
    DDX_Radio(dx, kScaleReal, v.scaleMode);
    DDX_Radio(dx, kRotationAny, v.rotationMode);
    DDX_Check(dx, kCurrentFloor, v.currentFloor);
}

BOOL CDlgcatblocchidef::OnInitDialog() {
    m_result = kEditCancelled;
    if (m_loadFromEntry) LoadFromEntry();
    CDialog::OnInitDialog();
    EnableControls();
    const std::string preview = CatalogPreviewPath(m_folder, m_state->Entry().blockName);
    HBITMAP bmp = FileExists(preview) ? LoadBitmapFromFile(preview) : nullptr;
    if (!bmp) bmp = LoadBitmapFromFile(PictureFolder() + "VELMatnos.bmp");
    if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(kPicture))) picture->SetBitmap(bmp);
    return TRUE;
}

void CDlgcatblocchidef::EnableControls() {
    const bool currentLayer = IsDlgButtonChecked(kCurrentLayer) == BST_CHECKED;
    for (int id : {kLayerName, kEditLayerButton, kCurrentFloor})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(!currentLayer);
    const bool fixedScale = GetCheckedRadioButton(kScaleReal, kScaleFixed) == kScaleFixed;
    for (int id : {kX, kY, kZ})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(fixedScale);
    const bool fixedAngle = GetCheckedRadioButton(kRotationAny, kRotationFixed) == kRotationFixed;
    if (CWnd* w = GetDlgItem(kAngle)) w->EnableWindow(fixedAngle);
}

void CDlgcatblocchidef::OnLayerButton() {
    CDlgCatBlocchiLayer chooser(this);
    GetLayerNames(chooser.m_names);
    if (chooser.DoModal() != IDOK) return;
    if (chooser.m_selected < 0 || chooser.m_selected >= static_cast<int>(chooser.m_names.size())) return;
    SetDlgItemText(kLayerName, chooser.m_names[static_cast<std::size_t>(chooser.m_selected)]);
}

void CDlgcatblocchidef::OnChooseObjects() {
    if (!UpdateData(TRUE)) return;
    m_result = kEditChoose;
    EndDialog(IDOK);
}

void CDlgcatblocchidef::OnOK() {
    if (!UpdateData(TRUE)) return;
    const Values& v = m_values;
    if (v.scaleMode == 3 && (v.x <= GeomEpsilon || v.y <= GeomEpsilon || v.z <= GeomEpsilon)) {
        AfxMessageBox("Współczynnik skali musi być większy niż zero");
        return;
    }
    if (!v.currentLayer && !LayerNameValid(v.layerName)) {
        AfxMessageBox("Nazwa warstwy nie jest prawidłowa");
        return;
    }
    // The name becomes a file name and the key of its line in the file.
    if (!CatalogBlockNameValid(v.blockName)) {
        AfxMessageBox("Nazwa bloku nie jest prawidłowa");
        return;
    }
    if (!CatalogDescriptionValid(v.description)) {
        AfxMessageBox("Opis nie może zawierać cudzysłowu");
        return;
    }
    CatalogEntry& e = m_state->Entry();
    switch (v.scaleMode) {
        case 0:
            e.scaleX = e.scaleY = e.scaleZ = "R";
            break;
        case 1:
            e.scaleX = e.scaleY = e.scaleZ = "S";
            break;
        case 2:
            e.scaleX = e.scaleY = e.scaleZ = "?";
            break;
        default:
            e.scaleX = zcui::Format("%f", v.x);
            e.scaleY = zcui::Format("%f", v.y);
            e.scaleZ = zcui::Format("%f", v.z);
            break;
    }
    e.blockName = v.blockName;
    e.description = v.description;
    e.explode = v.explode ? 'S' : 'N';
    if (!v.currentLayer) {
        m_state->insertLayer = v.layerName;
        e.layer = v.layerName;
    } else {
        e.layer = "?";
    }
    e.rotation = v.rotationMode == 0   ? std::string("?")
                 : v.rotationMode == 1 ? std::string("!")
                                       : zcui::Format("%f", v.angle);
    e.currentFloor = !v.currentLayer && v.currentFloor;
    m_result = kEditDone;
    CDialog::OnOK();
}

// -------------------------------------------------------- the layer chooser

CDlgCatBlocchiLayer::CDlgCatBlocchiLayer(CWnd* parent) : CDialog(IDD_CATBLOCCHILAYER, parent) {}

BOOL CDlgCatBlocchiLayer::OnInitDialog() {
    CDialog::OnInitDialog();
    if (auto* list = dynamic_cast<CListBox*>(GetDlgItem(kLayerList))) {
        for (const std::string& name : m_names) list->AddString(name);
        list->SetCurSel(0);
    }
    m_selected = 0;
    return TRUE;
}

void CDlgCatBlocchiLayer::OnOK() {
    if (auto* list = dynamic_cast<CListBox*>(GetDlgItem(kLayerList))) m_selected = list->GetCurSel();
    CDialog::OnOK();
}
