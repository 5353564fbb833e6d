// The dialogs of the user block catalogue: the browser (groups, a page of
// 20 previews, the chosen entry's settings and the insert buttons), the
// entry editor and the layer chooser. They work on the catalogue's records
// and hand a code back to the command.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/ui/controls.h"
#include "host/ui/dialog.h"
#include "objects/dialogs/catalog_file.h"

inline constexpr UINT IDD_CATBLOCCHISEL = 214;
inline constexpr UINT IDD_CATBLOCCHIDEF = 216;
inline constexpr UINT IDD_CATBLOCCHILAYER = 218;

namespace catblocchi {
// The browser.
inline constexpr int kInsert = 6;
inline constexpr int kFirstPreview = 1020;  // slots 0-15; 16-19 are 1037-1040
inline constexpr int kScaleLabel = 1046;
inline constexpr int kLayer = 1041;
inline constexpr int kDescriptionLabel = 1093;
inline constexpr int kGroupList = 1107;
inline constexpr int kAddGroup = 1108;
inline constexpr int kRenameGroup = 1109;
inline constexpr int kExplode = 1110;
inline constexpr int kRedefine = 1111;
inline constexpr int kLayerButton = 1112;
inline constexpr int kNameLabel = 1113;
inline constexpr int kGroupName = 1114;
inline constexpr int kDefine = 1115;
inline constexpr int kRotationLabel = 1116;
inline constexpr int kRepeat = 1118;
inline constexpr int kFrame = 580;
// Result codes of the browser.
inline constexpr int kClosed = 0;
inline constexpr int kDefineBlock = 1;
inline constexpr int kInsertOnce = 2;
inline constexpr int kInsertRepeated = 3;
// The entry editor.
inline constexpr int kZ = 105;
inline constexpr int kAngle = 106;
inline constexpr int kLayerName = 107;
inline constexpr int kScaleReal = 1117;  // the four scale radios 1117-1120
inline constexpr int kScaleFixed = 1120;
inline constexpr int kX = 1121;
inline constexpr int kY = 1122;
inline constexpr int kCurrentLayer = 1123;
inline constexpr int kEditLayerButton = 1124;
inline constexpr int kRotationAny = 1125;  // the three rotation radios 1125-1127
inline constexpr int kRotationFixed = 1127;
inline constexpr int kBlockName = 1128;
inline constexpr int kDescription = 1129;
inline constexpr int kCurrentFloor = 1148;
inline constexpr int kPicture = 1374;
inline constexpr int kChooseObjects = 1115;
// Result codes of the editor.
inline constexpr int kEditCancelled = 0;
inline constexpr int kEditDone = 1;
inline constexpr int kEditChoose = 2;
// The layer chooser.
inline constexpr int kLayerList = 1131;

// The control of preview slot k.
inline constexpr int PreviewId(int slot) {
    return slot < 16 ? kFirstPreview + slot : 1037 + (slot - 16);
}
}  // namespace catblocchi

class CDlgCatblocchiSel : public CDialog {
public:
    explicit CDlgCatblocchiSel(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    CatalogList* m_groups = nullptr;
    CatalogState* m_state = nullptr;
    int m_result = catblocchi::kClosed;
    std::string m_folder;

private:
    void ShowCatalogPage();
    HBITMAP LoadSlotPreview(const CatalogEntry& entry) const;
    void OnPreview(int id);
    void OnGroupSelected();
    bool CheckNewGroupName(const std::string& name);
    void OnAddGroup();
    void OnRenameGroup();
    void OnLayer();
    void OnInsert(int code);

    std::string m_pictureFolder;
    CListBox m_groupList;
    std::unique_ptr<CStatic> m_frame;
};

class CDlgcatblocchidef : public CDialog {
public:
    explicit CDlgcatblocchidef(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    CatalogState* m_state = nullptr;
    std::string m_folder;
    bool m_loadFromEntry = true;
    int m_result = catblocchi::kEditCancelled;

    // What the user set, kept from one showing to the next.
    struct Values {
        double angle = 0, x = 0, y = 0, z = 0;
        std::string description, blockName, layerName;
        int explode = 0, currentLayer = 0, currentFloor = 0;
        int scaleMode = -1, rotationMode = -1;
    };
    Values m_values;

private:
    void LoadFromEntry();
    void EnableControls();
    void OnLayerButton();
    void OnChooseObjects();
};

class CDlgCatBlocchiLayer : public CDialog {
public:
    explicit CDlgCatBlocchiLayer(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    std::vector<std::string> m_names;
    int m_selected = 0;
};
