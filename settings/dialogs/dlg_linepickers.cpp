// The line weight picker and the linetype picker.
#include "settings/dialogs/dlg_linepickers.h"

#include "core/support_files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {
constexpr int IDC_WEIGHT_LIST = 1379;
constexpr int IDC_LINETYPE_LIST = 1378;

constexpr const char* kWeights[] = {
    "Default", "0.00 mm", "0.05 mm", "0.09 mm", "0.13 mm", "0.15 mm", "0.18 mm", "0.20 mm", "0.25 mm",
    "0.30 mm", "0.35 mm", "0.40 mm", "0.50 mm", "0.53 mm", "0.60 mm", "0.70 mm", "0.80 mm", "0.90 mm",
    "1.00 mm", "1.06 mm", "1.20 mm", "1.40 mm", "1.58 mm", "2.00 mm", "2.11 mm",
};

std::string Millimetres(std::int16_t w) {
    return host::formatFixed(w / 100.0, 2) + " mm";
}
}  // namespace

std::string FormatLineWeight(std::int16_t lineWeight) {
    switch (lineWeight) {
        case -3:
            return "DEFAULT";
        case -2:
            return "BLOCK";
        case -1:
            return "LAYER";
        default:
            return Millimetres(lineWeight);
    }
}

std::optional<std::int16_t> ParseLineWeightEntry(const std::string& text) {
    if (text == "Default") return std::int16_t{-3};
    std::size_t used = 0;
    auto whole = host::parseIntegerPrefix(text, &used);
    if (!whole || used >= text.size() || text[used] != '.') return std::nullopt;
    std::string_view rest = std::string_view(text).substr(used + 1);
    std::size_t usedHundredths = 0;
    auto hundredths = host::parseIntegerPrefix(rest, &usedHundredths);
    if (!hundredths) return std::nullopt;
    long long value = *whole * 100 + *hundredths;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

// ---------------------------------------------------------------- CDlgSpessLinea

CDlgSpessLinea::CDlgSpessLinea(CWnd* parent) : CDialog(IDD_SPESSLINEA, parent) {}

void CDlgSpessLinea::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_WEIGHT_LIST, m_list);
    DDX_LBString(dx, IDC_WEIGHT_LIST, m_selected);
}

BOOL CDlgSpessLinea::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.ResetContent();
    for (const char* w : kWeights) m_list.AddString(w);
    int at = LB_ERR;
    if (m_lineWeight == -3) {
        at = 0;
    } else if (m_lineWeight >= 0) {
        std::string prefix = Millimetres(m_lineWeight);
        for (int i = 0; i < m_list.GetCount() && at == LB_ERR; ++i) {
            std::string text;
            m_list.GetText(i, text);
            if (text.starts_with(prefix)) at = i;
        }
    }
    m_list.SetCurSel(at);
    return TRUE;
}

void CDlgSpessLinea::OnOK() {
    int at = m_list.GetCurSel();
    if (at != LB_ERR) {
        std::string text;
        m_list.GetText(at, text);
        if (auto w = ParseLineWeightEntry(text)) m_lineWeight = *w;
    }
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- CDlgTipoLinea

CDlgTipoLinea::CDlgTipoLinea(CWnd* parent) : CDialog(IDD_TIPOLINEA, parent) {}

void CDlgTipoLinea::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LINETYPE_LIST, m_list);
}

BOOL CDlgTipoLinea::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.ResetContent();
    m_list.AddString(kContinuousEntry);
    if (auto path = FindSupportFile("zwcad.lin"))
        if (auto file = host::readTextFile(*path))
            for (const std::string& entry : LinetypeEntries(file->lines)) m_list.AddString(entry);
    // The first entry that begins with the current name, as the class
    // library's prefix search finds it (letter case ignored).
    if (!m_selected.empty()) m_list.SelectString(-1, m_selected);
    return TRUE;
}

void CDlgTipoLinea::OnOK() {
    int at = m_list.GetCurSel();
    if (at != LB_ERR) m_list.GetText(at, m_selected);
    EndDialog(IDOK);
}

std::string CDlgTipoLinea::GetLinetype() const {
    return m_selected.substr(0, m_selected.find(','));
}

std::vector<std::string> LinetypeEntries(const std::vector<std::string>& lines) {
    std::vector<std::string> entries;
    for (const std::string& line : lines) {
        if (!line.starts_with("*")) continue;
        entries.push_back(line.substr(1, 254));
    }
    return entries;
}
