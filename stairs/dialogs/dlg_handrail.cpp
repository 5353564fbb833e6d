// The handrail dialog (see the header).
#include "stairs/dialogs/dlg_handrail.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "resources/velmresources.h"
#include "stairs/handrail_record.h"

namespace {

constexpr int IDC_SOLID = 1192;
constexpr int IDC_RAIL_ONLY = 1193;
constexpr int IDC_WITH_POSTS = 1194;
constexpr int IDC_THICKNESS = 1030;
constexpr int IDC_POST_RADIUS = 1035;
constexpr int IDC_SIDE_COUNT = 1036;
constexpr int IDC_SPACING = 1037;
constexpr int IDC_OUTSIDE = 1188;
constexpr int IDC_WIDTH = 1195;
constexpr int IDC_HEIGHT = 1031;
constexpr int IDC_MAX_STEPS = 1034;

}  // namespace

CDLG_CORRIMANO::CDLG_CORRIMANO(CWnd* parent) : CDialog(IDD_HANDRAIL, parent) {
    for (int id : {IDC_SOLID, IDC_RAIL_ONLY, IDC_WITH_POSTS})
        HandleCommand(BN_CLICKED, id, [this] { OnType(); });
}

void CDLG_CORRIMANO::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Radio(dx, IDC_SOLID, m_type);
    DDX_Number(dx, IDC_THICKNESS, m_thickness);
    DDX_Number(dx, IDC_POST_RADIUS, m_postRadius);
    DDX_Text(dx, IDC_SIDE_COUNT, m_sideElementCount);
    DDX_Number(dx, IDC_SPACING, m_spacing);
    DDX_Radio(dx, IDC_OUTSIDE, m_position);
    DDX_Size(dx, IDC_WIDTH, m_width);
    DDX_Size(dx, IDC_HEIGHT, m_height);
    DDX_Number(dx, IDC_MAX_STEPS, m_maxSteps);
}

BOOL CDLG_CORRIMANO::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CScalaCorriData* d = m_data) {
        m_type = d->type;
        m_position = d->position;
        m_thickness = d->thickness;
        m_postRadius = d->postRadius;
        m_sideElementCount = d->sideElementCount;
        m_spacing = d->spacing;
        m_width = d->width;
        m_height = d->height;
        m_maxSteps = d->maxSteps;
    }
    UpdateData(FALSE);
    ApplyEnabling();
    return TRUE;
}

void CDLG_CORRIMANO::ApplyEnabling() {
    auto enable = [this](int id, bool on) {
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on ? TRUE : FALSE);
    };
    enable(IDC_THICKNESS, m_type == 1 || m_type == 2);
    for (int id : {IDC_POST_RADIUS, IDC_SIDE_COUNT, IDC_SPACING}) enable(id, m_type == 2);
}

void CDLG_CORRIMANO::OnType() {
    if (!UpdateData(TRUE)) return;
    ApplyEnabling();
}

void CDLG_CORRIMANO::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_sideElementCount < 2) {
        ModuleMessageBox(kHandrailSideCountMessage, MB_OK, 0);
        return;
    }
    // The elements are placed at this distance apart.
    if (m_type == 2 && !(m_spacing > 0.0)) {
        ModuleMessageBox(kHandrailSpacingMessage, MB_OK, 0);
        return;
    }
    // The rail's thickness and the elements' radius are sizes wherever the
    // type uses them (their fields are open then).
    if ((m_type >= 1 && !SizeInRange(m_thickness)) || (m_type == 2 && !SizeInRange(m_postRadius))) {
        AfxMessageBox(OutOfRangeMessage(), MB_ICONEXCLAMATION);
        return;
    }
    if (CScalaCorriData* d = m_data) {
        if (m_type >= 0 && m_type <= 2) d->type = m_type;
        if (m_position >= 0 && m_position <= 1) d->position = m_position;
        d->thickness = m_thickness;
        d->postRadius = m_postRadius;
        d->sideElementCount = m_sideElementCount;
        d->spacing = m_spacing;
        d->width = m_width;
        d->height = m_height;
        d->maxSteps = m_maxSteps;
    }
    m_result = 1;
    EndDialog(IDOK);
}

void CDLG_CORRIMANO::OnCancel() {
    m_result = 0;
    EndDialog(IDCANCEL);
}

bool ShowHandrailDialog(CScalaCorriData& data) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDLG_CORRIMANO dlg;
    dlg.m_data = &data;
    dlg.DoModal();
    return dlg.m_result == 1;
}
