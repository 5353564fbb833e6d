// The two render dialogs: the material dialog (318), which gives each layer
// key a material of the library, its scale, and adds or removes layer keys
// inside the groups of the drawing's assignment (also imported from and
// exported to "LAYERPOV.DEF"); and the render options dialog (333), which
// edits the six render settings of the drawing and the user's render
// settings in the registry (at OK only those changed in the dialog are
// stored, so that what another program stored meanwhile stays).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"
#include "visual/povray/pov_tables.h"

inline constexpr UINT IDD_POVRAY_MAT = 318;
inline constexpr UINT IDD_PREF_POVRAY = 333;

class CPovRayListCtrl : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

class CDlgPovRayMat : public CDialog {
public:
    explicit CDlgPovRayMat(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    AAR_LAYERPOV m_layers;
    AAR_TEXTUREPOV m_materials;

    // A tree node: the root (both names empty), a group or a sub-group.
    struct GroupNode {
        HTREEITEM item = nullptr;
        std::string group, subGroup;
    };

private:
    void FillLayerList();
    void FillMaterialList();
    // The table index of the n-th row the layer filter lets through; -1.
    int LayerRowOfItem(int item) const;
    int MaterialRowOfItem(int item) const;
    bool PassesLayerFilter(const std::string& path) const;
    bool PassesMaterialFilter(const std::string& path) const;
    std::string DescriptionOf(const std::string& texture) const;
    // -1 none, -2 several, else the one selected list item.
    int SelectionState() const;
    void ShowPreview(const std::string& texture);
    void OnLayerTree();
    void OnMaterialTree();
    void OnMaterialSelected();
    void OnAttach();
    void OnScaleLeft();
    void OnListClick();
    void OnNewNameChanged();
    void OnAdd();
    void OnRemove();
    void OnExport();
    void OnImport();

    CPovRayListCtrl m_list;
    CTreeCtrl m_layerTree, m_materialTree;
    CListBox m_materialList;
    CStatic m_picture;
    CadvNumEdit m_scale;
    std::string m_newName;
    std::string m_supportFolder;
    std::vector<GroupNode> m_layerNodes, m_materialNodes;
    GroupNode m_layerFilter, m_materialFilter;
    HBITMAP m_defaultPicture = nullptr;
};

class CDlgPrefPovRay : public CDialog {
public:
    explicit CDlgPrefPovRay(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnHScroll(UINT code, UINT pos, CWnd* bar) override;

    // Drawing settings.
    int m_addImage = 0;
    std::string m_imageFile;
    double m_imageDistance = 3000.0;
    int m_groundPlane = 0;
    int m_skySphere = 0;
    double m_groundHeight = 0.0;
    // The user's render settings.
    std::string m_supportFolder;
    double m_intensity = 1.0;
    double m_brightness = 0.0;
    double m_gray = 0.0;
    int m_noLights = 0;
    int m_quality = 2;
    COLORREF m_ambient = 0, m_background = 0, m_zenith = 0, m_horizon = 0;

private:
    void EnableControls();
    void OnAddImage();
    void OnSky();
    void OnBrowseImage();
    void OnBrowseFolder();
    void ChooseColour(COLORREF& colour, CadvColorStatic& swatch);
    void ShowValue(int id, const char* format, double value);
    // The user's render settings as the registry stores them, in the order
    // they are written.
    std::vector<std::pair<const char*, std::string>> RegistryTexts() const;

    std::vector<std::pair<const char*, std::string>> m_registryAsOpened;

    CSliderCtrl m_intensitySlider, m_brightnessSlider, m_graySlider;
    CComboBox m_qualityList;
    CadvNumEdit m_distanceEdit, m_heightEdit;
    CadvColorStatic m_ambientSwatch, m_backgroundSwatch, m_zenithSwatch, m_horizonSwatch;
};
