// The floors page (147) of the preferences sheet with its two dialogs, the
// new elevation (132) and the layers linked to a floor (201).
//
// Adding, deleting, copying and moving floors, shifting the floors above
// one whose height changed, and layer links act on the drawing at once;
// heights, visibility, edge modes, the current floor and the section
// settings wait for the sheet's apply or OK. Each row carries its floor's
// stored elevation and height, so that a value the user did not edit is
// never replaced by its rounded text.
#pragma once

#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dc.h"
#include "host/ui/dialog.h"
#include "settings/dialogs/exact_number.h"
#include "settings/preferences/image_list_ctrl.h"
#include "settings/preferences/pref_page.h"

inline constexpr UINT IDD_PREF_FLOORS = 147;
inline constexpr UINT IDD_NEW_FLOOR = 132;
inline constexpr UINT IDD_FLOOR_LAYERS = 201;
inline constexpr UINT IDB_FLOOR_IMAGES = 138;

// Asks for one elevation (edit 1003), starting from the caller's value.
class CDlgNuovaQpav : public CDialog {
public:
    explicit CDlgNuovaQpav(double* elevation, CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    double* m_elevation;
};

// The layer names linked to one floor, chosen among the drawing's layers.
class CDlgLayerPiano : public CDialog {
public:
    explicit CDlgLayerPiano(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    void SetLinkedLayers(const std::vector<std::string>& names) { m_linked = names; }
    void SetDrawingLayers(const std::vector<std::string>& names) { m_drawing = names; }
    void GetLinkedLayers(std::vector<std::string>& names) const { names = m_linked; }

    CListBox m_linkedList;
    CListBox m_drawingList;
    std::vector<std::string> m_linked;
    std::vector<std::string> m_drawing;
};

class CDlgPrefDatiPiano : public CPrefPage {
public:
    CDlgPrefDatiPiano();

    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void Reload() override;

    // The stored values behind each list row, in row order.
    struct RowData {
        double elevation = 0.0;
        double height = 0.0;
    };

    CImageList m_images;
    CImageListCtrl m_list;
    CadvNumEdit m_heightEdit;
    int m_visible = 1;   // 2 mixed
    int m_edgeMode = 0;  // -1 none
    int m_intersections = 0;
    int m_layerColour = 0;
    int m_oneBlock = 0;
    int m_cutVolumes = 0;
    int m_cutHatch = 0;
    int m_addHatches = 0;
    CadvNumEdit m_hatchScaleEdit;
    CadvNumEdit m_axisEdit;
    std::string m_pattern;
    int m_current = -1;
    std::vector<RowData> m_rows;

private:
    void Load();
    void LoadRows();
    int AddRow(int index, const RowData& data, const std::string& visible, const std::string& edge);
    void DeleteRow(int index);
    void SetRowElevation(int index, double elevation);
    void SetRowHeight(int index, double height);
    void MakeCurrent(int index);
    std::vector<int> SelectedRows() const;
    void SelectOnly(int index);
    int RowOfElevation(double z) const;
    int RowOfText(const std::string& text) const;
    void ShowPreview();
    void FocusList();

    void OnSelectionChanged();
    void OnVisible();
    void OnEdgeMode();
    // Takes a typed height over; false when it is refused (a text that is
    // no number said only when `applying`).
    bool OnHeightKillFocus(bool applying = false);
    void OnNew();
    void OnDelete();
    void OnCurrent();
    void OnCopy();
    void OnMove();
    void OnLayers();
    void OnPatterns();

    // Moves the floors above `from` by `delta`, farthest along the shift
    // first; false (nothing moved) when one would land on a floor that stays.
    bool ShiftUpperFloors(double from, double delta);
    // Moves one whole floor with its objects and links to `target`.
    void MoveFloor(double source, double target);
    void StoreRows(bool regenWalls);

    ExactNumber m_heightExact;
    ExactNumber m_hatchScale;
    ExactNumber m_axis;
    double m_hatchScaleValue = 0.0;
    double m_axisValue = 0.0;
    int m_storedIntersections = 0;
};

// Row placement of a new floor: before the first row whose elevation is
// greater, at the end when none.
int NewRowIndex(const std::vector<CDlgPrefDatiPiano::RowData>& rows, double elevation);
