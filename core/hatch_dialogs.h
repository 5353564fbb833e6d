// The hatch dialogs: the pattern picker (102), which lists every pattern
// name the system finds and shows them as pages of twenty pictures, and the
// two settings dialogs that the hatch commands open: CDlgTratt (170) for
// the free 3D hatch and the floor hatch, CDlgTMuro (171) for the wall hatch.
// The settings dialogs read and write the drawing's settings store only
// when told to (Load… before the run, Save… after OK).
#pragma once

#include <string>
#include <vector>

#include "host/ui/controls.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_HATCH_PATTERN = 102;
inline constexpr UINT IDD_TRATT = 170;
inline constexpr UINT IDD_TMURO = 171;

// The names of the host's pattern file "zwcadiso.pat", then of the ".pat"
// files in the folder of "VXD.LST" and in its "pat" subfolder (file names
// in name order); unsorted, duplicates kept.
void LoadPatternNames(std::vector<std::string>& names);

// The pattern controls that every dialog with a hatch pattern shares: the
// name (102), the picker button (6) and the picture (1374).
// Shows the pattern's picture in control 1374, "NONDISPO" when it has none.
void ShowPatternPreview(CWnd& dialog, const std::string& pattern);
// Opens the picker on the pattern; true, and the chosen name, on OK.
bool RunPatternPicker(std::string& pattern);
// Leaving the name refreshes the picture; the button and the picture open
// the picker. The dialog's data exchange must carry the name in `pattern`.
void WirePatternControls(CDialog& dialog, std::string& pattern);

class CDlgHatch : public CDialog {
public:
    static constexpr int kButtons = 20;
    static constexpr int kFirstButton = 1394;

    explicit CDlgHatch(CWnd* parent = nullptr);

    void SetPattern(const std::string& name) { m_pattern = name; }
    void GetPattern(std::string& name) const { name = m_pattern; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CListBox m_list;
    std::string m_pattern;
    CWnd* m_buttons[kButtons] = {};
    int m_count = 0;
    int m_pageStart = 0;
    int m_selButton = -1;
    int m_selPage = -1;
    std::vector<std::string> m_names;

private:
    void ShowPage();
    void SelectButton(int k);
    void PreviousPage();
    void NextPage();
    void OnListChange();
    void ShowPicture(int k, bool highlighted);
};

class CDlgTratt : public CDialog {
public:
    explicit CDlgTratt(CWnd* parent = nullptr);

    void Load3D();
    void LoadFloor();
    void Save3D() const;
    void SaveFloor() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    double m_angle = 0.0;
    std::string m_layer;
    std::string m_pattern;
    double m_scale = 0.0;
    CWnd* m_preview = nullptr;
    std::string m_title;

private:
    void Load(int pattern, int layer, int scale, int angle, const char* title);
    void Save(int pattern, int layer, int scale, int angle) const;
};

class CDlgTMuro : public CDialog {
public:
    explicit CDlgTMuro(CWnd* parent = nullptr);

    void Load();
    void Save() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    double m_angle = 0.0;
    std::string m_pattern;
    CWnd* m_preview = nullptr;
    double m_lowerHeight = 0.0;
    double m_upperHeight = 0.0;
    int m_variableHeight = 0;
};
