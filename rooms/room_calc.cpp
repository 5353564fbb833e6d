// The room calculation's state, its user fields and its label variables.
#include "rooms/room_calc.h"

#include <cstdio>

#include "core/geometry/host_geometry.h"
#include "core/support_files.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "rooms/dialogs/dlg_etichetta.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

CCALCVANI::CCALCVANI() {
    using namespace SetupVar;
    // One open of the store, a slot that cannot be read giving what
    // SettingInt gives.
    int leader = 0, triangles = 0, places = 2;
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true)); s) {
        s->getInt(ETIDIRETTRICE, leader);
        s->getInt(DISEGNATRIANGOLI, triangles);
        if (!s->getInt(CIFRE_COMPUTO, places)) places = 2;
    }
    drawLeader = leader;
    drawTriangles = triangles;
    digits = places;
    scaleSize1 = GetScaleFactor(1);
    const std::vector<int> config = ReadConfigInts({"STR_INF_VANI", "NUM_INF_VANI"});
    strInfVani = config[0];
    numInfVani = config[1];
}

CCALCVANI::~CCALCVANI() {
    if (context) FreeObjContext(std::move(context));
    labelFields.clear();
    while (roofPitches) {
        RoofPitch* next = roofPitches->next;
        delete roofPitches;
        roofPitches = next;
    }
    while (cardRows) {
        CardRowNode* next = cardRows->next;
        delete cardRows;
        cardRows = next;
    }
}

int CCALCVANI::ReadLabelFieldSet() {
    labelFields.clear();
    return ::ReadLabelFieldSet(templateName, labelFields);
}

const CDefEti* CCALCVANI::Field(int number) const {
    for (const CDefEti& f : labelFields)
        if (f.number == number) return &f;
    return nullptr;
}

CDefEti* CCALCVANI::Field(int number) {
    return const_cast<CDefEti*>(static_cast<const CCALCVANI*>(this)->Field(number));
}

double CCALCVANI::FieldNumber(const CDefEti& field) {
    double value = 0.0;
    return std::sscanf(field.value.c_str(), "%lf", &value) == 1 ? value : 0.0;
}

bool CCALCVANI::EditLabelFields() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgEtichetta form;
    form.fields = labelFields;
    form.heightFromField = heightFromField;
    form.drawLeader = drawLeader;
    const bool flags[3] = {fixedLivingFlag, fixedWindowFlag, fixedVentilationFlag};
    const double values[3] = {fixedLivingArea, fixedWindowArea, fixedVentilationArea};
    for (int i = 0; i < 3; ++i) {
        form.fixedFlags[i] = flags[i] ? 1 : 0;
        form.fixedValues[i] = values[i];
    }
    const bool ok = form.DoModal() == IDOK;
    drawLeader = form.drawLeader;
    if (!ok) return false;
    labelFields = form.fields;
    fixedLivingFlag = form.fixedFlags[0] > 0;
    fixedWindowFlag = form.fixedFlags[1] > 0;
    fixedVentilationFlag = form.fixedFlags[2] > 0;
    fixedLivingArea = form.fixedValues[0];
    fixedWindowArea = form.fixedValues[1];
    fixedVentilationArea = form.fixedValues[2];
    return true;
}

void CCALCVANI::SetPolylineRoomValues() {
    windowArea = openingArea = deductibleOpeningArea = 0.0;
    deductedArea = polylineDeduction;
    livingArea = livingAreaFlag ? polylineArea : 0.0;
    nonUsableArea = livingAreaFlag ? 0.0 : polylineArea;
    perimeter = polylinePerimeter;
}

bool CCALCVANI::ComputeUnderRoof(const VertexNode* room) {
    UnderRoofJob job;
    job.pitches = roofPitches;
    job.level = level;
    job.drawTriangles = drawTriangles != 0;
    job.decimals = digits;
    job.textHeight = scaleSize1;
    job.lineLayer = triangleLayer;
    job.textLayer = triangleValueLayer;
    job.insertLayer = triangleBlock;
    job.cardName = cardName;
    job.rowNumber = rowNumber;
    job.roomName = roomNameForOpenings;
    VertexNode* ring = CopyVertexList(room);
    const UnderRoofResult result = ::ComputeUnderRoof(job, ring, &HostUserBreak);
    FreeList(ring);
    height = result.height;
    surface = result.wallSurface;
    if (result.broken) return false;
    if (CDefEti* f = Field(70)) {
        char text[64];
        std::snprintf(text, sizeof text, "%f", height);
        f->value = text;
    }
    return true;
}

void CCALCVANI::FillLabelParameters() {
    if (!context) return;
    ObjContext& c = *context;
    using namespace SetupVar;
    // The store's slots read in one open of it (a label and its row each
    // ask), with the values SettingInt, SettingReal and SettingString give
    // for a slot that cannot be read.
    int digits = 2;
    double unitRatio = 0.0;
    std::string textStyle, secondTextStyle;
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true)); s) {
        if (!s->getInt(CIFRE_COMPUTO, digits)) digits = 2;
        s->getReal(SRAPPORTO_UM, unitRatio);
        s->getString(STILETESTOUA1, textStyle);
        s->getString(STILETESTOUA2, secondTextStyle);
    }
    ObjVarSetter vars(c.vars);
    const auto real = [&vars](int number, double value) { vars.set(number, 0, 0, u'R', "", value, ""); };
    const auto text = [&vars](int number, const std::string& value) {
        vars.set(number, 0, 0, u'S', "", 0.0, value);
    };
    real(55, cardPoint.x);
    real(56, cardPoint.y);
    real(40, cardNumber.value_or(0));
    real(19, drawLeader);
    real(45, digits);
    real(46, 0.0);
    real(47, unitRatio);
    real(48, GetScaleFactor(4));
    text(49, textStyle);
    text(50, secondTextStyle);
    double height70 = 0.0;
    for (int n = 70; n <= 84; ++n) {
        const CDefEti* f = Field(n);
        if (n == 79) {
            text(79, cardName);
        } else if (!IsNumberField(n)) {
            text(n, f ? f->value : std::string());
        } else {
            double value = f ? FieldNumber(*f) : 0.0;
            if (n == 70 && !f) value = GetFloorHeightAt(level);
            if (n == 70) height70 = value;
            real(n, value);
        }
    }
    text(79, cardName);
    real(60, livingArea);
    real(61, windowArea);
    real(62, openingArea);
    real(63, perimeter);
    real(64, nonUsableArea);
    real(65, ventilationArea);
    real(66, (fixedLivingFlag ? 1 : 0) + (fixedWindowFlag ? 2 : 0) + (fixedVentilationFlag ? 4 : 0));
    real(67, wallPerimeter);
    real(68, (livingArea + nonUsableArea) * height70);
    real(69, surface);
}

void PrepareRoomGraph(CFACCIATE& graph, double level) {
    graph.level = level;
    graph.floorHeight = GetFloorHeightAt(level);
    graph.Build(false, false, nullptr, false);
    graph.MergePillars();
    graph.SplitAtJunctions();
    graph.MergeFunLines();
}
