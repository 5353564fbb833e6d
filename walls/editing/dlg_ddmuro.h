// The wall properties palette, dialog 156 "Ustawienia ściany 3D": the
// module's one modeless dialog. It shows the 3D settings of the walls of the
// pick-first selection (height, floor-line offset, which horizontal edges of
// the sides show, whether the height holds under slabs), kept on each wall
// LINE or ARC as the record "VELM5$_$DDMURO-", and writes them back on
// "Zastosuj". While it is open, every change of the pick-first selection
// refills it; "Obwód" selects the walls of a room contour. At most one
// palette exists; "Zamknij", a switch of drawings and the module unload
// close it.
//
// A value the walls do not share shows "*RÓŻNE*" (no radio button, the
// indeterminate check), and Apply leaves it as each wall has it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/ui/dialog.h"
#include "host/util/adscodes.h"

inline constexpr UINT IDD_DDMURO = 156;
inline constexpr const char* kWall3DApp = "VELM5$_$DDMURO-";
inline constexpr const char* kDiffering = "*RÓŻNE*";
// The host's keep-focus message, answered with true.
inline constexpr UINT kKeepFocusMessage = 0x7101;

// The five values of the record, in their order; a wall without the record
// reads as the defaults.
struct Wall3DXData {
    double height = 0.0;  // 0.0: by floor
    double offset = 0.0;
    std::int16_t edgeVisibility = 0;  // 0 both, 1 lower, 2 upper, 3 none
    double keepHeight = 0.0;          // 0.0 or 1.0
    std::int16_t reserved = 0;
};

class CDlgDDMuro : public CDialog {
public:
    CDlgDDMuro();
    ~CDlgDDMuro() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnCancel() override;
    void OnOK() override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    bool IsWallEntity(const ads_name entity) const;
    // The fields from the walls of the set (the controls too, unless the
    // set is empty).
    void LoadFromWalls();
    void OnApply();
    void OnPerimeter();
    // Replaces the set by the pick-first selection's walls and refills.
    void RefillFromPickFirst();
    // Keeps the walls of a selection set (the set stays the caller's).
    void TakeWalls(const ads_name set);

    std::string m_offsetText = "0.0";
    std::string m_heightText;
    int m_edgeVisibility = 0;  // -1: none of the four
    int m_keepHeight = 0;      // 2: indeterminate
    int m_byFloor = 1;
    bool m_levels = false;
    std::vector<std::string> m_wallLayers;
    std::vector<std::array<std::int64_t, 2>> m_walls;

private:
    void Exchange(void (CDlgDDMuro::*change)());
    void OnByFloor();
    void OnHeightChange();
    void SetEdge(int edge);
    bool m_exchanging = false;
};

// The open palette, null when none is open.
CDlgDDMuro* WallPalette();
// The palette's refill on a new pick-first selection; nothing when none is
// open.
void WallPalettePickFirstChanged();
// Closes the palette when one is open.
void CloseWallPalette();
// Deletes the palette closed last (at unload, after CloseWallPalette).
void DropClosedWallPalette();
// Reads the record of a wall (the defaults when it has none); false when
// the entity cannot be read.
bool ReadWall3DXData(const ads_name entity, Wall3DXData& out);

// VELMDDWALL
void CmdDDWall();
