#include "objects/placement/insert_run.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/util/nocase.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "objects/placement/host_pickers.h"
#include "objects/placement/param_input.h"
#include "objects/placement/placers.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"
#include "roofs/slab_openings.h"
#include "settings/dialogs/layer_linetypes.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/wall3d_commands.h"

namespace {

constexpr const char* kSyntaxError = "Błąd składni w sekcji pliku";
constexpr const char* kLastParameters = "Wstaw ostatnie parametry";
constexpr double kPi = 3.14159265358979323846;

void SectionError(const char* section) {
    zcutPrintf("\n%s: %s", kSyntaxError, section);
}

void SetReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 1, u'R', "", value, "", 0, 0, c.vars);
}
void SetText(ObjContext& c, int number, const std::string& text, int kind = kVarFixed) {
    SetObjVar(number, kind, 1, u'S', "", 0.0, text, 0, 0, c.vars);
}

bool NameGiven(const ads_name name) {
    return name && !ads_name_nil(name);
}

// The values of the source object's stored parameters, for the variables
// this definition declares.
void TakeSourceValues(ObjContext& c, const ads_name source) {
    host::ResbufList list(GetEntXData(source, kParamRecordApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kParamRecordApp) : nullptr;
    if (!app) return;
    const resbuf* rb = app->rbnext;
    while (rb && rb->restype != 1000) rb = rb->rbnext;
    for (int i = 0; i < 8 && rb; ++i) rb = rb->rbnext;
    while (rb && rb->restype == 1070 && rb->rbnext) {
        ObjVar* var = FindObjVar(rb->resval.rint, c.vars);
        const resbuf* value = rb->rbnext;
        if (!var) {
            rb = value;
            while (rb && rb->restype != 1070) rb = rb->rbnext;
            continue;
        }
        var->value = value->restype == 1040 ? value->resval.rreal : 0.0;
        var->text = value->restype == 1000 && value->resval.rstring ? value->resval.rstring : "";
        rb = value->rbnext;
    }
}

void DefineOpeningPrefix(ObjContext& c) {
    const ObjVar* category = FindObjVar(11102, c.vars);
    if (!category || !c.prefix) return;
    std::string prefix;
    if (zcutEqualsNoCase(category->text, "WINDOWS"))
        prefix = SettingString(SetupVar::INS_PREFISSOVFIN);
    else if (zcutEqualsNoCase(category->text, "DOORS"))
        prefix = SettingString(SetupVar::INS_PREFISSOVPOR);
    else if (zcutEqualsNoCase(category->text, "OPENINGS"))
        prefix = SettingString(SetupVar::INS_PREFISSOVAPE);
    SetText(c, 11098, prefix, kVarParameter);
}

std::string CharText(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "%c", static_cast<char>(code));
    return text;
}

// OSMODE and ELEVATION as they were when the object is set aside, put back
// on every way out of the placement step.
class SysVarGuard {
public:
    void SaveElevation(double elevation) {
        const int set = 1;
        m_elevation = SysVarReal("ELEVATION", &elevation, &set);
        m_elevationSaved = true;
    }
    void ClearOsmode() {
        const int none = 0;
        m_osmode = SysVarShort("OSMODE", &none);
        m_osmodeSaved = true;
    }
    ~SysVarGuard() {
        if (m_osmodeSaved) SysVarShort("OSMODE", &m_osmode);
        if (m_elevationSaved) {
            const int set = 1;
            SysVarReal("ELEVATION", &m_elevation, &set);
        }
    }

private:
    int m_osmode = 0;
    double m_elevation = 0.0;
    bool m_osmodeSaved = false, m_elevationSaved = false;
};

int PickHost(ObjContext& c, int iteration, const Point3* hostPoint) {
    const ParameterEditor edit = [](ObjContext& ctx) { EditObjectParametersDialog(0, ctx); };
    switch (c.insertionType) {
        case InsertionType::StraightWallOpening:
            c.workingType = InsertionType::StraightWallOpening;
            return hostPoint ? FindWallLineAtPoint(c, *hostPoint) : PickWallLine(c, iteration, edit);
        case InsertionType::ArcWallOpening:
        case InsertionType::ArcWallFaceOpening:
            return PickWallArc(c, iteration, edit);
        case InsertionType::WallCorner:
            return PickCornerForObject(c, iteration, edit);
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow:
            return PickSlabForObject(c, iteration, edit);
        case InsertionType::StairBalustrade:
            return PickStairSideForBalustrade(c, iteration, edit);
        case InsertionType::HandrailCorner:
            return PickStairForHandrailCorner(c, iteration, edit);
        case InsertionType::Accessory:
            return PickMainObjectForAccessory(c, iteration, edit);
        default:
            return 1;
    }
}

// Step 5 of a pass: the interactive placement by the working type.
int PlaceByWorkingType(ObjContext& c, double unitFactor, const Point3* hostPoint) {
    switch (c.workingType) {
        case InsertionType::Free:
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
        case InsertionType::Pilaster:
        case InsertionType::SlabOpening:
        case InsertionType::Separator:
        case InsertionType::Free40:
        case InsertionType::Free41:
        case InsertionType::Free42:
        case InsertionType::Free43:
        case InsertionType::Free44:
        case InsertionType::Free45:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow:
        case InsertionType::CameraOrLight: {
            const int r = PlaceObjectInteractive(c, unitFactor);
            if (r == kReplaceChosen) return r;
            if (c.insertionType == InsertionType::SlabOpening || c.insertionType == InsertionType::OnSlab ||
                c.insertionType == InsertionType::RoofWindow)
                c.elevation = 0.0;
            return r;
        }
        case InsertionType::StraightWallOpening: {
            SysVarGuard guard;
            guard.SaveElevation(c.elevation);
            if (SettingInt(SetupVar::OSINSAPERTURE) != 0) guard.ClearOsmode();
            return hostPoint ? 1 : PlaceOpeningOnLine(c, c.elevation, unitFactor);
        }
        case InsertionType::ArcWallOpening: {
            SysVarGuard guard;
            if (SettingInt(SetupVar::OSINSAPERTURE) != 0) guard.ClearOsmode();
            return PlaceOpeningOnArc(c, c.elevation, unitFactor);
        }
        case InsertionType::LabelBlockOnly:
        case InsertionType::OpeningSchedule:
            return PlaceLabelObject(c, SettingInt(SetupVar::SETOPZRUOTAETI) > 0);
        case InsertionType::AtOrigin:
            c.insertionPoint[0] = c.insertionPoint[1] = c.insertionPoint[2] = 0.0;
            c.rotation = 0.0;
            return 1;
        case InsertionType::ProgressiveLabel: {
            c.replacementLayer = "\nOkreśl punkt wstawienia progresywnej etykiety:";
            const int r = PlaceLabelObject(c, false);
            return r <= 0 ? -1 : r;
        }
        default:
            return 1;
    }
}

// Step 7: the current fixed point onto the insertion point; an opening in
// a straight wall is then projected onto its wall line.
bool ApplyFixedPosition(ObjContext& c) {
    if (ReadFixpSection(c, false) < 0) {
        SectionError("FIXP");
        return false;
    }
    double p[3];
    GetObjPoint(c, p);
    const double cs = std::cos(c.rotation), sn = std::sin(c.rotation);
    c.insertionPoint[0] -= p[0] * cs - p[1] * sn;
    c.insertionPoint[1] -= p[0] * sn + p[1] * cs;
    if (!c.only3d && c.insertionType == InsertionType::StraightWallOpening) {
        const Point3 at{c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
        const double a = c.rotation + kPi / 2;
        const Point3 toward{at.x + 100.0 * std::cos(a), at.y + 100.0 * std::sin(a), at.z};
        Point3 hit;
        if (IntersectLines2d(c.host.wallLine[0], c.host.wallLine[1], at, toward, hit, 0, ZcGeContext::gTol)) {
            c.insertionPoint[0] = hit.x;
            c.insertionPoint[1] = hit.y;
            c.host.pickPoint = {hit.x, hit.y, c.insertionPoint[2]};
        }
    }
    return true;
}

void DefinePlacementVars(ObjContext& c) {
    if (!ads_name_nil(c.firstEntity)) {
        host::ResbufList data(zcdbEntGet(c.firstEntity));
        const resbuf* layer = data ? FindRbCode(data.get(), 8) : nullptr;
        if (layer && layer->resval.rstring) SetText(c, 11030, layer->resval.rstring);
    }
    double fixed[3];
    GetObjPoint(c, fixed);
    SetReal(c, 10025, c.insertionPoint[0]);
    SetReal(c, 10026, c.insertionPoint[1]);
    SetReal(c, 10007, fixed[0]);
    SetReal(c, 10008, fixed[1]);
    SetReal(c, 30, c.rotation);
    SetReal(c, 5001, c.rotation > 0.74 * kPi && c.rotation < 1.74 * kPi ? 1.0 : 0.0);
}

void DefinePlaneElevation(ObjContext& c) {
    double a = 0, b = 0, d = 0;
    std::string text;
    GetObjVar(20, a, text, c.vars);
    GetObjVar(21, b, text, c.vars);
    GetObjVar(23, d, text, c.vars);
    SetReal(c, 23, c.insertionPoint[0] * a + c.insertionPoint[1] * b + d);
}

// Step 10: what the host gives once the position is known.
bool ReadHostVars(ObjContext& c, const Point3* hostPoint, bool fixed) {
    switch (c.workingType) {
        case InsertionType::StraightWallOpening:
            FindWallLinesAtPick(c, hostPoint != nullptr);
            break;
        case InsertionType::ArcWallOpening:
        case InsertionType::ArcWallFaceOpening:
            FindArcWallAtPick(c);
            break;
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
            ComputeRatioVars(c);
            break;
        case InsertionType::SlabOpening:
        case InsertionType::RoofWindow:
            DefinePlaneElevation(c);
            c.rotation = 0.0;
            break;
        case InsertionType::OnSlab:
            if (!fixed) DefinePlaneElevation(c);
            c.rotation = 0.0;
            break;
        case InsertionType::StairBalustrade:
        case InsertionType::HandrailCorner:
            if (ReadHandRailSection(c) <= 0) {
                SectionError("DCHANDRAIL");
                return false;
            }
            break;
        default:
            break;
    }
    return true;
}

bool ReadRemainingSections(ObjContext& c) {
    struct Reader {
        int (*read)(ObjContext&);
        const char* label;
    };
    const Reader readers[] = {
        {&ReadIslandHSection, "ISLANDH"},     {&ReadComSection, "COMP"},
        {&ReadTabelleSection, "TABELLE"},     {&ReadCutSection, "TAG"},
        {&ReadPoligSection, "POLIG"},         {&ReadPoligDedSection, "POLIGDED"},
        {&ReadSt3dPlaneSection, "ST3DPLANE"},
    };
    for (const Reader& r : readers) {
        if (r.read(c) < 0) {
            SectionError(r.label);
            return false;
        }
    }
    if (c.insertionType != InsertionType::StairBalustrade &&
        c.insertionType != InsertionType::HandrailCorner && ReadHandStairSection(c) < 0) {
        SectionError("CORRIMANO");
        return false;
    }
    return true;
}

// A selection holding the given entities, for the finders that search one.
host::SelectionSet PairSelection(const ads_name a, const ads_name b) {
    host::SelectionSet set;
    zcedSSAdd(nullptr, nullptr, set.put());
    if (!ads_name_nil(a)) set.add(a);
    if (!ads_name_nil(b)) set.add(b);
    return set;
}

// The wall faces the object was placed on, each found by the part of the
// gap that lies on it.
void CutHostWalls(ObjContext& c, const ads_name insert, bool autoCut) {
    const ads_name none = {0, 0};
    const bool cut2d = autoCut && !c.only3d;
    switch (c.workingType) {
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
        case InsertionType::SlabOpening:
        case InsertionType::RoofWindow:
            CutOpeningIntoSlab(insert, c.firstEntity);
            break;
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening: {
            Regen3DWallsAround(c.firstEntity, c.secondEntity, c.elevation, none, none);
            if (cut2d) {
                if (const OwnedOutline o{ReadTag3DiStr(insert)}) {
                    const host::SelectionSet hosts = PairSelection(c.firstEntity, c.secondEntity);
                    ads_name a{0, 0}, b{0, 0};
                    if (c.workingType == InsertionType::StraightWallOpening) {
                        FindStraightWallLinesAtGap(*o, hosts.get(), a, b);
                        CutStraightWallAtOpening(insert, a, b);
                    } else {
                        FindArcWallArcsAtGap(*o, hosts.get(), a, b);
                        CutArcWallAtOpening(insert, a, b);
                    }
                }
            }
            if (c.runMode == 0) AdvanceObjectCounters(c, 0);
            break;
        }
        case InsertionType::WallCorner: {
            ads_name lines[4];
            if (FindWallLinesAtOpening(insert, lines)) {
                Regen3DWallsAround(lines[0], lines[1], c.elevation, lines[2], lines[3]);
                if (cut2d) CutCornerWallAtObject(insert, lines);
            }
            if (c.runMode == 0) AdvanceObjectCounters(c, 0);
            break;
        }
        case InsertionType::Pilaster:
            if (autoCut) CutWallAtPilaster(insert);
            break;
        case InsertionType::ProgressiveLabel:
            if (c.runMode == 0) AdvanceObjectCounters(c, 1);
            break;
        default:
            break;
    }
}

}  // namespace

void AdvanceObjectCounters(ObjContext& c, int label) {
    if (label == 0) {
        const ObjVar* category = FindObjVar(11102, c.vars);
        const bool window = category && zcutEqualsNoCase(category->text, "WINDOWS");
        const int slot = window ? SetupVar::SUFFISSOFINES : SetupVar::SUFFISSOPORTA;
        const int next = SettingInt(slot) + 1;
        SetSettingInt(slot, next);
        SetReal(c, window ? 11100 : 11101, next);
        return;
    }
    ObjVar* progressive = FindObjVar(11034, c.vars);
    if (!progressive) return;
    if (progressive->type == u'S') {
        const int next = SettingInt(SetupVar::PROGRESSIVALET) + 1;
        SetSettingInt(SetupVar::PROGRESSIVALET, next);
        progressive->text = CharText(next);
    } else {
        const int next = SettingInt(SetupVar::PROGRESSIVANUM) + 1;
        SetSettingInt(SetupVar::PROGRESSIVANUM, next);
        progressive->value = next;
    }
}

int PlaceParamObject(ObjContext& c, const AAR_LAYERC& layers, const Point3* hostPoint) {
    const double unitFactor = DrawingUnitFactor();
    const bool autoCut = SettingInt(SetupVar::SAPRI_AUTO, 1) != 0;
    bool positionFixed = c.positionFixed != 0;
    for (int iteration = 0;; ++iteration) {
        int picked = 1;
        if (!positionFixed) {
            ads_name savedFirst, savedSecond;
            ads_name_set(c.firstEntity, savedFirst);
            ads_name_set(c.secondEntity, savedSecond);
            picked = PickHost(c, iteration, hostPoint);
            if (picked == kReplaceChosen) return kReplaceChosen;
            if (picked < 0) return -1;
            if (picked == 0) {
                if (c.runMode == 0 && iteration > 0) {
                    c.repeat = 0;
                    return 1;
                }
                if (c.runMode == 0 && c.insertionType == InsertionType::StraightWallOpening) {
                    c.insertionType = c.workingType = InsertionType::Free;
                } else if (c.runMode == 0 && c.insertionType == InsertionType::Accessory) {
                    c.workingType = InsertionType::Free;
                } else {
                    const InsertionType t = c.insertionType;
                    const bool firstOnly = t == InsertionType::SlabOpening || t == InsertionType::OnSlab ||
                                           t == InsertionType::RoofWindow ||
                                           t == InsertionType::StairBalustrade ||
                                           t == InsertionType::HandrailCorner;
                    const bool keepFirst = c.runMode == 0 || t != InsertionType::Accessory;
                    const bool keepSecond = c.runMode == 0 || (t != InsertionType::Accessory && !firstOnly);
                    if (keepFirst) ads_name_set(savedFirst, c.firstEntity);
                    if (keepSecond) ads_name_set(savedSecond, c.secondEntity);
                    positionFixed = true;
                }
            }
            if (c.runMode == 7 && c.insertionType == InsertionType::StraightWallOpening) positionFixed = true;
            if (EvaluateComputedVars(c, unitFactor) != 1) return -1;
            if (ReadFixpSection(c, false) < 0) {
                SectionError("FIXP");
                return -1;
            }
            if (ReadDragSection(c) < 0) {
                SectionError("DRAG");
                return -1;
            }
            if (!positionFixed && (c.runMode == 0 || picked != 0)) {
                const int placed = PlaceByWorkingType(c, unitFactor, hostPoint);
                if (placed == kReplaceChosen) return kReplaceChosen;
                if (placed < 0) return -1;
            }
        }
        if (EvaluateComputedVars(c, unitFactor) != 1) return -1;
        if (positionFixed && !ApplyFixedPosition(c)) return -1;
        DefinePlacementVars(c);
        if (!ReadHostVars(c, hostPoint, positionFixed)) return -1;
        if (EvaluateComputedVars(c, unitFactor) != 1) return -1;
        if (!ReadRemainingSections(c)) return -1;
        c.attdefs.clear();
        c.hatches.clear();

        if (c.runMode != 5) {
            const ObjVar* code = FindObjVar(14, c.vars);
            if (code && !code->text.empty() && FindObjectByUniqueCode(code->text)) {
                zcutPrintf("\nObiekt z unikalnym kodem >%s< już istnieje", code->text.c_str());
                return -1;
            }
        }
        if (!FindSection("DRAW", *c.text, true)) {
            SectionError("DRAW");
            return -1;
        }
        std::string layer = ReadTextLine(*c.text, 258, true).value_or("");
        while (!layer.empty() && (layer.back() == '\r' || layer.back() == ' ')) layer.pop_back();
        if (!zcutEqualsNoCase(layer, "PLACEHOLDER"))
            PrepareStatementLayer(false, layer, &c, layers, c.elevationGiven != 0, c.elevation);
        c.insertLayer = layer;
        const int drawn = RunDrawBlock(c, layers);
        if (drawn == kDrawRunRefused) return -1;  // named with its bound
        if (drawn < 0) {
            zcutPrintf("\n%s, %d: DRAW", kSyntaxError, drawn);
            return -1;
        }
        if (c.insertionType == InsertionType::BlockOnly || c.insertionType == InsertionType::LabelBlockOnly)
            return -1;

        ads_name insert{0, 0};
        if (AttachParamXdata(c, insert) < 0) return -1;
        if (c.madeLayers) {
            LoadLayerLinetypes(c.madeLayers.get());
            c.madeLayers.reset();
        }
        CutHostWalls(c, insert, autoCut);
        if (!c.repeat) return 1;
    }
}

int InsertParamObject(ObjContext& c, const Point3* hostPoint, const ads_name source, int takeFileValues) {
    const std::shared_ptr<const AAR_LAYERC> shared = SharedLayerDefFile(c.layerDefFile);
    const AAR_LAYERC& layers = *shared;
    const int loaded = LoadObjFile(c, c.objectName);
    if (loaded == 0)
        zcutPrintf("\n%s(.txt) !%s", c.objectName.c_str(), "Nie mogę znaleźć pliku definicji obiektu");
    if (loaded <= 0) return 0;
    if (const int r = ReadVarSection(takeFileValues != 0, c); r != 0) {
        zcutPrintf("\n%s: %s", kSyntaxError, VarSectionErrorLabel(r).c_str());
        return 0;
    }
    if (NameGiven(source)) TakeSourceValues(c, source);
    ReadInsertionType(c);
    if (c.runMode == 0 &&
        (c.insertionType == InsertionType::StraightWallOpening ||
         c.insertionType == InsertionType::ArcWallOpening || c.insertionType == InsertionType::WallCorner))
        DefineOpeningPrefix(c);
    if (ReadTypoSection(c) == -1) {
        SectionError("TYPO");
        return 0;
    }
    if (!zcutEqualsNoCase(c.paramSetName, kLastParameters) && !ApplyParameterSet(c, c.paramSetName)) return 0;
    if (c.insertionType == InsertionType::OpeningSchedule && (c.runMode == 0 || c.runMode == 1)) {
        InitObjSettingVars(c, SettingString(SetupVar::NOMEFILEOA));
        c.replacementLayer = "\nOkreśl punkt wstawienia tabeli otworów:";
    }
    const bool label = c.insertionType == InsertionType::ProgressiveLabel && c.runMode == 0;
    if (label) {
        c.skipParamInput = 0;
        if (ObjVar* v = FindObjVar(11034, c.vars)) {
            if (v->type == u'S')
                v->text = CharText(SettingInt(SetupVar::PROGRESSIVALET));
            else
                v->value = SettingInt(SetupVar::PROGRESSIVANUM);
        }
    }
    if (!c.skipParamInput) {
        const int r =
            SettingInt(SetupVar::DLGOGGETTO) == 0 ? ChooseParameterSet(c) : EditObjectParametersDialog(0, c);
        if (r < 0) return 0;
    }
    if (label) {
        if (const ObjVar* v = FindObjVar(11034, c.vars)) {
            if (v->type == u'S')
                SetSettingInt(SetupVar::PROGRESSIVALET,
                              v->text.empty() ? 0 : static_cast<unsigned char>(v->text[0]));
            else
                SetSettingInt(SetupVar::PROGRESSIVANUM, static_cast<int>(v->value));
        }
    }
    if (c.runMode != 0) c.repeat = 0;
    return PlaceParamObject(c, layers, hostPoint) == kReplaceChosen ? kReplaceChosen : 0;
}
