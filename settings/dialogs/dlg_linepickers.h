// The two small pickers of the layer catalogue dialog:
// - CDlgSpessLinea (180): a line weight from the fixed list "Default",
//   "0.00 mm" … "2.11 mm"; "0.05 mm" is stored as 5 (hundredths of a
//   millimetre), "Default" as -3; by-layer (-1) and by-block (-2) show no
//   selection and are kept when nothing is chosen;
// - CDlgTipoLinea (177): a linetype from "Continuous" and the definitions
//   ("*NAME,description") of the host's linetype file "zwcad.lin".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_TIPOLINEA = 177;
inline constexpr UINT IDD_SPESSLINEA = 180;

// "DEFAULT", "BLOCK", "LAYER" for -3, -2, -1, else "%.2f mm" of the
// hundredths.
std::string FormatLineWeight(std::int16_t lineWeight);
// The line weight of a picker entry: -3 for "Default", else "%d.%d mm" read
// as whole and hundredths; nullopt when the text does not read so.
std::optional<std::int16_t> ParseLineWeightEntry(const std::string& text);

class CDlgSpessLinea : public CDialog {
public:
    explicit CDlgSpessLinea(CWnd* parent = nullptr);

    void SetLineWeight(std::int16_t w) { m_lineWeight = w; }
    std::int16_t GetLineWeight() const { return m_lineWeight; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    std::int16_t m_lineWeight = -3;
    std::string m_selected;
    CListBox m_list;
};

// The entry shown first by the linetype picker.
inline constexpr const char* kContinuousEntry = "Continuous, Continua ________________";

class CDlgTipoLinea : public CDialog {
public:
    explicit CDlgTipoLinea(CWnd* parent = nullptr);

    // The chosen entry up to its first comma: the linetype name.
    std::string GetLinetype() const;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    // Set by the caller to the current linetype before DoModal.
    std::string m_selected;
    CListBox m_list;
};

// The picker entries of linetype file lines: each line beginning with "*",
// without it, cut to 255 characters.
std::vector<std::string> LinetypeEntries(const std::vector<std::string>& lines);
