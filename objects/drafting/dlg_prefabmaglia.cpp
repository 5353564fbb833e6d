// The structural grid's dialog (see the header).
#include "objects/drafting/dlg_prefabmaglia.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ui/hostdialogs.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_COLUMNS = 1262;
constexpr int IDC_HORIZONTAL = 1261;
constexpr int IDC_ROWS = 1260;
constexpr int IDC_VERTICAL = 1259;
constexpr int IDC_FLOOR = 1263;
constexpr int IDC_COLOR_BUTTON = 1296;
constexpr int IDC_SWATCH = 1295;
constexpr int IDC_STYLE = 1264;
constexpr int IDC_TEXT_HEIGHT = 1265;
constexpr int IDC_COLUMN_PREFIX = 1266;
constexpr int IDC_ROW_PREFIX = 1267;
constexpr int IDC_COLUMN_INDEX = 1269;
constexpr int IDC_ROW_INDEX = 1268;
constexpr int IDC_LEFT = 1310;
constexpr int IDC_RIGHT = 1311;
constexpr int IDC_BOTTOM = 1312;
constexpr int IDC_TOP = 1313;

std::string CharText(int code) {
    return code > 0 && code < 128 ? std::string(1, static_cast<char>(code)) : std::string();
}

int FirstChar(const std::string& text) {
    return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
}

}  // namespace

CDLGPREFABMAGLIA::CDLGPREFABMAGLIA(CWnd* parent) : CDialog(IDD_PREFABMAGLIA, parent) {
    HandleCommand(BN_CLICKED, IDC_COLOR_BUTTON, [this] { OnColorButton(); });
}

BOOL CDLGPREFABMAGLIA::OnInitDialog() {
    using namespace SetupVar;
    m_columns = SettingInt(SETMAGLIA_NCMAGLIA, 8);
    m_horizontal = SettingReal(SETMAGLIA_IOMAGLIA, 200.0);
    m_rows = SettingInt(SETMAGLIA_NRMAGLIA, 8);
    m_vertical = SettingReal(SETMAGLIA_IVMAGLIA, 200.0);
    m_floorHeight = SettingReal(SQPAV, 0.0);
    m_color = SettingInt(SETMAGLIA_MAGLIACOL, 1);
    m_textStyle = SettingString(SETMAGLIA_ETISTILE, "Standard");
    m_textHeight = SettingReal(SETMAGLIA_ETIALTTXT, 5.0);
    m_columnPrefix = SettingString(SETMAGLIA_ETIPREFORI);
    m_rowPrefix = SettingString(SETMAGLIA_ETIPREFVER);
    m_columnIndex = CharText(SettingInt(SETMAGLIA_ETIINDORI, 'A'));
    m_rowIndex = CharText(SettingInt(SETMAGLIA_ETIINDVER, '1'));
    m_left = SettingInt(SETMAGLIA_ETIMSIN, 1);
    m_right = SettingInt(SETMAGLIA_ETIMDES, 0);
    m_top = SettingInt(SETMAGLIA_ETIMSOP, 0);
    m_bottom = SettingInt(SETMAGLIA_ETIMSOT, 1);
    CDialog::OnInitDialog();
    m_swatch.SetColor(zcedGetRGB(m_color));
    m_swatch.EnableChoose(0);
    return TRUE;
}

void CDLGPREFABMAGLIA::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SWATCH, m_swatch);
    DDX_Text(dx, IDC_COLUMNS, m_columns);
    DDX_Number(dx, IDC_HORIZONTAL, m_horizontal);
    DDX_Text(dx, IDC_ROWS, m_rows);
    DDX_Number(dx, IDC_VERTICAL, m_vertical);
    DDX_Number(dx, IDC_FLOOR, m_floorHeight);
    DDX_Text(dx, IDC_STYLE, m_textStyle);
    DDX_Size(dx, IDC_TEXT_HEIGHT, m_textHeight);
    DDX_Text(dx, IDC_COLUMN_PREFIX, m_columnPrefix);
    DDX_Text(dx, IDC_ROW_PREFIX, m_rowPrefix);
    DDX_Text(dx, IDC_COLUMN_INDEX, m_columnIndex);
    DDX_Text(dx, IDC_ROW_INDEX, m_rowIndex);
    DDX_Check(dx, IDC_LEFT, m_left);
    DDX_Check(dx, IDC_RIGHT, m_right);
    DDX_Check(dx, IDC_BOTTOM, m_bottom);
    DDX_Check(dx, IDC_TOP, m_top);
}

void CDLGPREFABMAGLIA::OnColorButton() {
    int color = m_color;
    if (zcedSetColorDialog(color, false, 1)) {
        m_color = color;
        m_swatch.SetColor(zcedGetRGB(m_color));
    }
}

void CDLGPREFABMAGLIA::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!(m_horizontal > 0.0) || !(m_vertical > 0.0)) {
        ModuleMessageBox("Rozstaw siatki musi być większy od zera", MB_OK | MB_ICONEXCLAMATION, 0);
        return;
    }
    // The counts go into 16-bit slots and each axis is a row of entities:
    // a count the store cannot hold, or none at all, draws nonsense.
    if (m_columns < 1 || m_columns > kMaxGridAxes || m_rows < 1 || m_rows > kMaxGridAxes) {
        ModuleMessageBox("Liczba kolumn i rzędów musi wynosić od 1 do 500", MB_OK | MB_ICONEXCLAMATION, 0);
        return;
    }
    using namespace SetupVar;
    SetSettingInt(SETMAGLIA_NCMAGLIA, m_columns);
    SetSettingReal(SETMAGLIA_IOMAGLIA, m_horizontal);
    SetSettingInt(SETMAGLIA_NRMAGLIA, m_rows);
    SetSettingReal(SETMAGLIA_IVMAGLIA, m_vertical);
    SetSettingInt(SETMAGLIA_MAGLIACOL, m_color);
    SetSettingString(SETMAGLIA_ETISTILE, m_textStyle);
    SetSettingReal(SETMAGLIA_ETIALTTXT, m_textHeight);
    SetSettingString(SETMAGLIA_ETIPREFORI, m_columnPrefix);
    SetSettingString(SETMAGLIA_ETIPREFVER, m_rowPrefix);
    SetSettingInt(SETMAGLIA_ETIINDORI, FirstChar(m_columnIndex));
    SetSettingInt(SETMAGLIA_ETIINDVER, FirstChar(m_rowIndex));
    SetSettingInt(SETMAGLIA_ETIMSIN, m_left);
    SetSettingInt(SETMAGLIA_ETIMDES, m_right);
    SetSettingInt(SETMAGLIA_ETIMSOP, m_top);
    SetSettingInt(SETMAGLIA_ETIMSOT, m_bottom);
    EndDialog(IDOK);
}
