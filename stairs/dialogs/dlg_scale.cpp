// The stair option dialogs.
#include "stairs/dialogs/dlg_scale.h"

#include <numbers>

#include "core/dialogs/dlg_slide.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "resources/velmresources.h"
#include "stairs/stair_record.h"

namespace {

constexpr int IDC_LAST_STEP_AT_END = 1187;
constexpr int IDC_STEP_COUNT = 1160;
constexpr int IDC_START_OFFSET = 1159;
constexpr int IDC_USE_RISERS = 1166;
constexpr int IDC_FLOOR_DISTANCE = 1158;
constexpr int IDC_STEP_HEIGHT = 1157;
constexpr int IDC_ROUNDED = 1163;
constexpr int IDC_CHAMFERED = 1164;
constexpr int IDC_NOSING_RADIUS = 1167;
constexpr int IDC_NOSING_LENGTH = 1168;
constexpr int IDC_NOSING_THICKNESS = 1169;
constexpr int IDC_LINTEL = 1161;
constexpr int IDC_SLAB = 1162;
constexpr int IDC_FULL = 1170;
constexpr int IDC_STEPS = 1171;
constexpr int IDC_LANDING = 1172;
constexpr int IDC_STEPS_ONLY = 1189;
constexpr int IDC_STEP_THICKNESS = 1173;
constexpr int IDC_RISER_THICKNESS = 1174;
constexpr int IDC_LANDING_THICKNESS = 1175;
constexpr int IDC_PLATFORM_THICKNESS = 1176;
constexpr int IDC_PICK_LANDING = 1177;
constexpr int IDC_START_FLOOR = 1179;
constexpr int IDC_BELOW_FIRST = 1181;
constexpr int IDC_END_FLOOR = 1180;
constexpr int IDC_ABOVE_FIRST = 1184;
constexpr int IDC_CUT_HEIGHT = 1188;
constexpr int IDC_ADVANCED = 1207;
constexpr int IDC_HELP = 1178;

constexpr int IDC_RISER_PLAN = 1208;
constexpr int IDC_STEP_PLAN = 1209;
constexpr int IDC_ARROW_SIDE = 1211;
constexpr int IDC_CUT_LINE_DISTANCE = 1222;
constexpr int IDC_CUT_PLANE_ANGLE = 1223;
constexpr int IDC_MARKER_NONE = 1221;
constexpr int IDC_MARKER_SIZE = 1215;
constexpr int IDC_BAL_START_LEFT = 1347;
constexpr int IDC_BAL_START_RIGHT = 1348;
constexpr int IDC_BAL_JOIN_LEFT = 1351;
constexpr int IDC_BAL_JOIN_RIGHT = 1352;

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

dlgScale::dlgScale(CWnd* parent) : CDialog(IDD_SCALE, parent) {
    HandleCommand(BN_CLICKED, IDC_USE_RISERS, [this] { OnUseRisers(); });
    HandleCommand(BN_CLICKED, IDC_LAST_STEP_AT_END, [this] { OnLastStepAtEnd(); });
    HandleCommand(EN_KILLFOCUS, IDC_STEP_HEIGHT, [this] { OnStepHeightLeft(); });
    HandleCommand(EN_KILLFOCUS, IDC_FLOOR_DISTANCE, [this] { OnFloorDistanceLeft(); });
    HandleCommand(EN_KILLFOCUS, IDC_STEP_THICKNESS, [this] { OnStepThicknessLeft(); });
    for (int id : {IDC_ROUNDED, IDC_CHAMFERED, IDC_FULL, IDC_STEPS, IDC_LANDING, IDC_STEPS_ONLY})
        HandleCommand(BN_CLICKED, id, [this] { OnOption(); });
    HandleCommand(BN_CLICKED, IDC_PICK_LANDING, [this] { OnLanding(); });
    HandleCommand(BN_CLICKED, IDC_ADVANCED, [this] { OnAdvanced(); });
    HandleCommand(BN_CLICKED, IDC_HELP, [this] { OnHelp(); });
}

void dlgScale::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_LAST_STEP_AT_END, m_lastStepAtEnd);
    DDX_Text(dx, IDC_STEP_COUNT, m_stepCount);
    DDX_Text(dx, IDC_START_OFFSET, m_startOffset);
    DDX_Check(dx, IDC_USE_RISERS, m_useRisers);
    DDX_Text(dx, IDC_FLOOR_DISTANCE, m_floorDistance);
    DDX_Text(dx, IDC_STEP_HEIGHT, m_stepHeight);
    DDX_Radio(dx, IDC_ROUNDED, m_nosingType);
    DDX_Text(dx, IDC_NOSING_RADIUS, m_nosingRadius);
    DDX_Text(dx, IDC_NOSING_LENGTH, m_nosingLength);
    DDX_Text(dx, IDC_NOSING_THICKNESS, m_nosingThickness);
    DDX_Text(dx, IDC_LINTEL, m_lintelHeight);
    DDX_Text(dx, IDC_SLAB, m_slabThickness);
    DDX_Radio(dx, IDC_FULL, m_structureType);
    DDX_Text(dx, IDC_STEP_THICKNESS, m_stepThickness);
    DDX_Text(dx, IDC_RISER_THICKNESS, m_riserThickness);
    DDX_Text(dx, IDC_LANDING_THICKNESS, m_landingThickness);
    DDX_Text(dx, IDC_PLATFORM_THICKNESS, m_platformThickness);
    DDX_Text(dx, IDC_START_FLOOR, m_startFloorHeight);
    DDX_Radio(dx, IDC_BELOW_FIRST, m_belowRepresentation);
    DDX_Text(dx, IDC_END_FLOOR, m_endFloorHeight);
    DDX_Radio(dx, IDC_ABOVE_FIRST, m_aboveRepresentation);
    DDX_Text(dx, IDC_CUT_HEIGHT, m_cutHeight);
}

int dlgScale::StepCount() const {
    if (!m_record) return 0;
    return m_lastStepAtEnd ? m_record->riserCount - 1 : m_record->riserCount;
}

BOOL dlgScale::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CSCALA* s = m_record) {
        m_lastStepAtEnd = s->lastStepAtEnd ? 1 : 0;
        m_startOffset = s->startOffset;
        m_useRisers = s->useRisers ? 1 : 0;
        m_floorDistance = s->floorDistance;
        m_stepHeight = s->stepHeight;
        m_nosingType = InRange(s->nosingType, 0, 1) ? s->nosingType : -1;
        m_nosingRadius = s->nosingLength;
        m_nosingLength = s->nosingLength;
        m_nosingThickness = s->nosingThickness;
        m_lintelHeight = s->lintelHeight;
        m_slabThickness = s->slabThickness;
        m_structureType = InRange(s->structureType, 0, 3) ? s->structureType : -1;
        m_stepThickness = s->stepThickness;
        m_riserThickness = s->riserThickness;
        m_landingThickness = s->landingThickness;
        m_platformThickness = s->platformThickness;
        m_startFloorHeight = s->startFloorHeight;
        m_belowRepresentation = InRange(s->belowRepresentation, 0, 2) ? s->belowRepresentation : -1;
        m_endFloorHeight = s->endFloorHeight;
        m_aboveRepresentation = InRange(s->aboveRepresentation, 0, 2) ? s->aboveRepresentation : -1;
        m_cutHeight = s->cutHeight;
    }
    m_stepCount = StepCount();
    // Without steps there is nothing to divide by: the height stays.
    if (m_stepCount > 0) m_stepHeight = m_floorDistance / m_stepCount;
    UpdateData(FALSE);
    ApplyEnabling();
    return TRUE;
}

void dlgScale::Enable(int id, bool on) {
    if (CWnd* w = GetDlgItem(id)) w->EnableWindow(on ? TRUE : FALSE);
}

void dlgScale::ApplyEnabling() {
    Enable(IDC_FLOOR_DISTANCE, !m_useRisers);
    Enable(IDC_STEP_HEIGHT, m_useRisers != 0);
    const int s = m_structureType;
    Enable(IDC_STEP_THICKNESS, s == 1 || s == 3);
    Enable(IDC_RISER_THICKNESS, s == 1);
    Enable(IDC_LANDING_THICKNESS, s == 2);
    Enable(IDC_PLATFORM_THICKNESS, s == 2);
    Enable(IDC_PICK_LANDING, s == 2);
    const bool stepsOnly = s == 3;
    if (m_nosingType == 1) {
        Enable(IDC_NOSING_RADIUS, false);
        Enable(IDC_NOSING_LENGTH, true);
        Enable(IDC_NOSING_THICKNESS, !stepsOnly);
    } else {
        Enable(IDC_NOSING_RADIUS, !stepsOnly && m_nosingType == 0);
        Enable(IDC_NOSING_LENGTH, false);
        Enable(IDC_NOSING_THICKNESS, false);
    }
}

void dlgScale::OnUseRisers() {
    if (!UpdateData(TRUE)) return;
    const int n = StepCount();
    if (!m_useRisers)
        m_floorDistance = n * m_stepHeight;
    else if (n > 0)
        m_stepHeight = m_floorDistance / n;
    UpdateData(FALSE);
    ApplyEnabling();
}

void dlgScale::OnLastStepAtEnd() {
    if (!UpdateData(TRUE)) return;
    const int n = StepCount();
    m_stepCount = n;
    if (!m_useRisers) {
        if (n > 0) m_stepHeight = m_floorDistance / n;
    } else {
        m_floorDistance = n * m_stepHeight;
    }
    UpdateData(FALSE);
}

void dlgScale::OnStepHeightLeft() {
    if (!UpdateData(TRUE)) return;
    m_floorDistance = StepCount() * m_stepHeight;
    UpdateData(FALSE);
}

void dlgScale::OnFloorDistanceLeft() {
    if (!UpdateData(TRUE)) return;
    const int n = StepCount();
    if (n > 0) m_stepHeight = m_floorDistance / n;
    UpdateData(FALSE);
}

void dlgScale::OnStepThicknessLeft() {
    if (!UpdateData(TRUE)) return;
    m_nosingThickness = m_stepThickness;
    m_nosingRadius = m_stepThickness * 0.5;
    UpdateData(FALSE);
}

void dlgScale::OnOption() {
    if (!UpdateData(TRUE)) return;
    ApplyEnabling();
}

void dlgScale::StoreIntoRecord() {
    CSCALA* s = m_record;
    if (!s) return;
    s->lastStepAtEnd = m_lastStepAtEnd != 0;
    s->startOffset = m_startOffset;
    s->stepHeight = m_stepHeight;
    s->useRisers = m_useRisers != 0;
    s->floorDistance = m_floorDistance;
    s->lintelHeight = m_lintelHeight;
    s->slabThickness = m_slabThickness;
    s->cutHeight = m_cutHeight;
    s->startFloorHeight = m_startFloorHeight;
    s->endFloorHeight = m_endFloorHeight;
    if (InRange(m_belowRepresentation, 0, 2)) s->belowRepresentation = m_belowRepresentation;
    if (InRange(m_aboveRepresentation, 0, 2)) s->aboveRepresentation = m_aboveRepresentation;
    if (InRange(m_nosingType, 0, 1)) s->nosingType = m_nosingType;
    s->nosingLength = m_nosingType == 1 ? m_nosingLength : m_nosingRadius;
    s->nosingThickness = m_nosingThickness;
    if (InRange(m_structureType, 0, 3)) s->structureType = m_structureType;
    s->riserThickness = m_structureType == 3 ? 0.0 : m_riserThickness;
    s->stepThickness = m_stepThickness;
    s->platformThickness = m_platformThickness;
    s->landingThickness = m_landingThickness;
}

// The floor distance is what the stair is built up to; the other values
// only need to be numbers a drawing can hold. Out of range the dialog says
// so and stays open.
bool dlgScale::ValuesInRange() const {
    bool inRange = SizeInRange(m_floorDistance);
    for (double v : {m_startOffset, m_stepHeight, m_nosingRadius, m_nosingLength, m_nosingThickness,
                     m_lintelHeight, m_slabThickness, m_stepThickness, m_riserThickness, m_landingThickness,
                     m_platformThickness, m_startFloorHeight, m_endFloorHeight, m_cutHeight})
        inRange = inRange && CoordinateInRange(v);
    if (!inRange) ModuleMessageBox(OutOfRangeMessage(), MB_OK, 0);
    return inRange;
}

void dlgScale::OnLanding() {
    if (!UpdateData(TRUE) || !ValuesInRange()) return;
    StoreIntoRecord();
    m_exitCode = kScaleExitLanding;
    EndDialog(IDOK);
}

void dlgScale::OnOK() {
    if (!UpdateData(TRUE) || !ValuesInRange()) return;
    StoreIntoRecord();
    m_exitCode = kScaleExitOk;
    EndDialog(IDOK);
}

void dlgScale::OnCancel() {
    m_exitCode = kScaleExitCancel;
    EndDialog(IDCANCEL);
}

void dlgScale::OnAdvanced() {
    DLGSCALEavan advanced(this);
    advanced.m_record = m_record;
    advanced.DoModal();
}

void dlgScale::OnHelp() {
    CDlgSlide help(this);
    help.SetImageName("scaleHlp");
    help.m_title = "Pomoc dotycząca tworzenia parametrów schodów";
    help.DoModal();
}

// ---- advanced settings ----

DLGSCALEavan::DLGSCALEavan(CWnd* parent) : CDialog(IDD_SCALE_ADVANCED, parent) {}

void DLGSCALEavan::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_RISER_PLAN, m_riserThicknessPlan);
    DDX_Text(dx, IDC_STEP_PLAN, m_stepThicknessPlan);
    DDX_Text(dx, IDC_ARROW_SIDE, m_arrowSideLength);
    DDX_Text(dx, IDC_CUT_LINE_DISTANCE, m_cutLineDistance);
    DDX_Text(dx, IDC_CUT_PLANE_ANGLE, m_cutPlaneAngleDegrees);
    DDX_Radio(dx, IDC_MARKER_NONE, m_startMarker);
    DDX_Text(dx, IDC_MARKER_SIZE, m_startMarkerSize);
    DDX_Text(dx, IDC_BAL_START_LEFT, m_balustradeStartLeft);
    DDX_Text(dx, IDC_BAL_START_RIGHT, m_balustradeStartRight);
    DDX_Text(dx, IDC_BAL_JOIN_LEFT, m_balustradeJoinLeft);
    DDX_Text(dx, IDC_BAL_JOIN_RIGHT, m_balustradeJoinRight);
}

BOOL DLGSCALEavan::OnInitDialog() {
    CDialog::OnInitDialog();
    if (const CSCALA* s = m_record) {
        m_riserThicknessPlan = s->riserThicknessPlan;
        m_stepThicknessPlan = s->stepThicknessPlan;
        m_arrowSideLength = s->arrowSideLength;
        m_cutLineDistance = s->cutLineDistance;
        m_cutPlaneAngleDegrees = s->cutPlaneAngle * 180.0 / std::numbers::pi;
        m_startMarker = InRange(s->startMarker, 0, 2) ? s->startMarker : -1;
        m_startMarkerSize = s->startMarkerSize;
        m_balustradeStartLeft = s->balustradeStartLeft;
        m_balustradeStartRight = s->balustradeStartRight;
        m_balustradeJoinLeft = s->balustradeJoinLeft;
        m_balustradeJoinRight = s->balustradeJoinRight;
    }
    UpdateData(FALSE);
    return TRUE;
}

void DLGSCALEavan::OnOK() {
    if (!UpdateData(TRUE)) return;
    for (double v : {m_riserThicknessPlan, m_stepThicknessPlan, m_arrowSideLength, m_cutLineDistance,
                     m_cutPlaneAngleDegrees, m_startMarkerSize, m_balustradeStartLeft, m_balustradeStartRight,
                     m_balustradeJoinLeft, m_balustradeJoinRight})
        if (!CoordinateInRange(v)) {
            ModuleMessageBox(OutOfRangeMessage(), MB_OK, 0);
            return;
        }
    if (CSCALA* s = m_record) {
        s->riserThicknessPlan = m_riserThicknessPlan;
        s->stepThicknessPlan = m_stepThicknessPlan;
        s->arrowSideLength = m_arrowSideLength;
        s->cutLineDistance = m_cutLineDistance;
        s->cutPlaneAngle = m_cutPlaneAngleDegrees * std::numbers::pi / 180.0;
        if (InRange(m_startMarker, 0, 2)) s->startMarker = m_startMarker;
        s->startMarkerSize = m_startMarkerSize;
        s->balustradeStartLeft = m_balustradeStartLeft;
        s->balustradeStartRight = m_balustradeStartRight;
        s->balustradeJoinLeft = m_balustradeJoinLeft;
        s->balustradeJoinRight = m_balustradeJoinRight;
    }
    EndDialog(IDOK);
}

int ShowStairOptions(CSCALA& record) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    dlgScale dlg;
    dlg.m_record = &record;
    if (dlg.DoModal() != IDOK) return kScaleExitCancel;
    return dlg.m_exitCode;
}
