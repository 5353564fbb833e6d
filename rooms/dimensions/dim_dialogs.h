// The option dialogs of the dimensioning commands: plan chains (110), room
// chains (155), dimension symbols along room walls (127) and the layer and
// style of vertex chains (346). Each is filled from the drawing settings
// before it shows and writes them back only when it ends with OK, so a
// cancelled dialog changes nothing.
#pragma once

#include <string>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_QE = 110;
inline constexpr UINT IDD_QI = 127;
inline constexpr UINT IDD_QPUNTO = 155;
inline constexpr UINT IDD_QV = 346;

// Plan dimensions. Buttons 3 and 4 both end the dialog as OK; which one
// was pressed is the chain mode the command reads afterwards.
class CDlgQe : public CDialog {
public:
    enum Mode { kIntersections = 0, kSurfaces = 1 };

    explicit CDlgQe(CWnd* parent = nullptr);
    void LoadSettings();
    void SaveSettings() const;
    int GetMode() const { return m_mode; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_direction = 1;  // 0 horizontal, 1 vertical, 2 aligned
    int m_openings = 0;   // 0 wall ends only, 1 opening centres, 2 jambs
    int m_lines = 1;      // 0 wall lines only, 1 every line
    std::string m_layer;
    std::string m_style;

private:
    void EndWithMode(int mode);
    void PickRadio(int& member, int value);
    CComboBox m_styles;
    std::string m_standIn;  // the style shown for a stored one the drawing lacks
    int m_mode = kIntersections;
};

// Room dimensions across a picked point.
class CDlgQPunto : public CDialog {
public:
    explicit CDlgQPunto(CWnd* parent = nullptr);
    void LoadSettings();
    void SaveSettings() const;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_direction = 1;
    int m_openings = 1;
    std::string m_layer;
    std::string m_style;

private:
    void PickRadio(int& member, int value);
    CComboBox m_styles;
    std::string m_standIn;  // the style shown for a stored one the drawing lacks
};

// Dimension symbols along the walls of rooms.
class CDlgQi : public CDialog {
public:
    explicit CDlgQi(CWnd* parent = nullptr);
    void LoadSettings();
    void SaveSettings() const;

    void DoDataExchange(CDataExchange* dx) override;

    double m_distance = 30.0;
    int m_decimals = 2;
    int m_wholeWalls = 0;  // 0 pieces between openings, 1 whole walls
    int m_style = 1;       // symbol style 0 to 3
    int m_ignoreSeparators = 0;

private:
    void PickStyle(int value);
};

// The layer and style of vertex chains; the same two settings as CDlgQe,
// read when it opens and written by its OK.
class CDlgQV : public CDialog {
public:
    explicit CDlgQV(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    std::string m_layer;
    std::string m_style;

private:
    CComboBox m_styles;
    std::string m_standIn;  // the style shown for a stored one the drawing lacks
};
