// The room information dialog.
#include "rooms/dialogs/dlg_info_vani.h"

namespace {

constexpr int IDC_AREA = 1155;
constexpr int IDC_PERIMETER = 1156;
constexpr int IDC_OPENING_AREA = 1157;
constexpr int IDC_WINDOW_AREA = 1158;
constexpr int IDC_RATIO = 1159;
constexpr int IDC_VENTILATION_AREA = 1161;

}  // namespace

cInfoVani::cInfoVani(CWnd* parent) : CDialog(IDD_INFO_VANI, parent) {}

void cInfoVani::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_AREA, area);
    DDX_Text(dx, IDC_PERIMETER, perimeter);
    DDX_Text(dx, IDC_OPENING_AREA, openingArea);
    DDX_Text(dx, IDC_WINDOW_AREA, windowArea);
    DDX_Text(dx, IDC_RATIO, floorWindowRatio);
    DDX_Text(dx, IDC_VENTILATION_AREA, ventilationArea);
}
