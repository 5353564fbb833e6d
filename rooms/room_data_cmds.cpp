// VELMSPACEUNIT, VELMSUNITV, VELMSUNITR, VELMVFLOOR and UpdateRoomLabel.
#include "rooms/room_data_cmds.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "objects/placement/object_run.h"
#include "rooms/labels/label_templates.h"
#include "rooms/room_deductions.h"
#include "rooms/room_graph.h"
#include "rooms/room_records.h"
#include "settings/floor_cmds_run.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/contour_highlight.h"

namespace {

constexpr const char* kLabelPointPrompt =
    "\nOkreśl nowy punkt wstawienia etykiety pokoju lub Enter, aby pozostawić ją w aktualnej pozycji:";
constexpr const char* kPolylinePointPrompt = "\nWybierz wewnętrzny punkt polilini:";

// The previous room's non-usable flag, per drawing; 0 for a drawing not
// met yet.
std::map<const ZcDbDatabase*, int> g_previousNonUsable;

// The triangle layers of a room under roof pitches: the block layer on the
// floor, the line, code and value layers without a level. The room keeps
// the names they were given.
void MakeTriangleLayers(CCALCVANI& room) {
    if (room.heightFromField || !room.drawTriangles) return;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    EnsureLayer(room.triangleBlock, layers, true, room.level, false);
    EnsureLayer(room.triangleLayer, layers, false, 0.0, false);
    EnsureLayer(room.triangleCodeLayer, layers, false, 0.0, false);
    EnsureLayer(room.triangleValueLayer, layers, false, 0.0, false);
}

bool ReadTemplate(CCALCVANI& room) {
    LabelTemplate names;
    if (!ReadUaFile(room.templateName, names) || !room.ReadLabelFieldSet()) return false;
    room.labelDefinition = names.labelBlock;
    room.cardDefinition = names.cardBlock;
    room.rowDefinition = names.rowBlock;
    room.totalDefinition = names.totalBlock;
    return true;
}

void SetField(CCALCVANI& room, int number, const std::string& value) {
    if (CDefEti* f = room.Field(number)) f->value = value;
}

void PresetFields(CCALCVANI& room) {
    char text[64];
    resbuf dimzin;
    const bool saved = zcedGetVar("DIMZIN", &dimzin) == RTNORM;
    resbuf eight;
    eight.restype = RTSHORT;
    eight.resval.rint = 8;
    zcedSetVar("DIMZIN", &eight);
    zcdbRToS(GetFloorHeightAt(room.level), 2, -1, text);
    if (saved) zcedSetVar("DIMZIN", &dimzin);
    SetField(room, 70, text);
    SetField(room, 71, std::to_string(g_previousNonUsable[zcdbCurDwg()]));
    SetField(room, 75, SettingString(SetupVar::ULTIMODESTTAB));
    SetField(room, 78, std::to_string(SettingInt(SetupVar::ULTIMORIFRIGA) + 1));
    SetField(room, 79, SettingString(SetupVar::ULTIMORIFTAB));
}

// The room takes its fields back.
void TakeFields(CCALCVANI& room) {
    if (const CDefEti* f = room.Field(room.strInfVani)) room.roomTextForOpenings = f->value;
    if (const CDefEti* f = room.Field(room.numInfVani))
        room.roomNumberForOpenings = std::atof(f->value.c_str());
    if (const CDefEti* f = room.Field(71)) {
        int flag = 0;
        std::sscanf(f->value.c_str(), "%d", &flag);
        room.livingAreaFlag = flag == 0;
    }
    if (const CDefEti* f = room.Field(75)) room.roomNameForOpenings = f->value;
    if (const CDefEti* f = room.Field(78)) {
        room.rowNumber = std::atoi(f->value.c_str());
        room.cardNumber = room.rowNumber;
    }
    if (const CDefEti* f = room.Field(79)) room.cardName = f->value;
}

// The fields of a room whose label was placed, kept to preset the next
// room's: only then, so that a room given up keeps the counter where it was.
void KeepFieldsForNextRoom(const CCALCVANI& room) {
    if (const CDefEti* f = room.Field(71)) {
        int flag = 0;
        std::sscanf(f->value.c_str(), "%d", &flag);
        g_previousNonUsable[zcdbCurDwg()] = flag;
    }
    if (const CDefEti* f = room.Field(75)) SetSettingString(SetupVar::ULTIMODESTTAB, f->value);
    if (const CDefEti* f = room.Field(78))
        SetSettingInt(SetupVar::ULTIMORIFRIGA, std::atoi(f->value.c_str()));
    if (const CDefEti* f = room.Field(79)) SetSettingString(SetupVar::ULTIMORIFTAB, f->value);
}

void EraseNewOutline(CCALCVANI& room) {
    if (room.newOutline[0] || room.newOutline[1]) zcdbEntDel(room.newOutline);
    room.newOutline[0] = room.newOutline[1] = 0;
}

// The label of the room placed through the object run with the interior
// point preset; false when no label was written.
bool DrawLabel(CCALCVANI& room, const Point3& at, double rotation, const char* prompt) {
    room.StartRun(room.labelDefinition, at, rotation, prompt);
    if (!room.context) return false;
    Point3 preset = room.interiorPoint;
    RunInsertParamObject(*room.context, 1, &preset);
    if (room.context->blockName.empty()) {
        room.FreeRun();
        return false;
    }
    room.context->insertionPoint[2] = room.level;
    room.interiorPoint.z = room.level;
    const int ok = room.CreateRoomLabel();
    room.FreeRun();
    return ok != 0;
}

// Asks for a point inside the room or the polyline keyword; 1 a point,
// 2 a polyline measured and its interior point, 0 nothing (Enter with
// `allowEnter`), -1 cancel or failure.
int AskInterior(CCALCVANI& room, const char* prompt, bool allowEnter) {
    ads_point p;
    const int rc = GetPointInRange(allowEnter ? 0 : 1, "Polilinia", nullptr, prompt, p);
    if (rc == RTNORM) {
        room.interiorPoint = {p[0], p[1], p[2]};
        return 1;
    }
    if (rc == RTNONE && allowEnter) return 0;
    if (rc != RTKWORD) return -1;
    room.outlineHandle.clear();
    if (!room.MeasurePolylineRoom()) return -1;
    if (GetPointInRange(1, nullptr, nullptr, kPolylinePointPrompt, p) != RTNORM) return -1;
    room.interiorPoint = {p[0], p[1], p[2]};
    room.polylineRoom = true;
    return 2;
}

void ComputeRoomData(bool heightFromField, RoofPitch* pitches) {
    CCALCVANI room;
    room.templateName = MapLabelTemplateName(SettingString(SetupVar::NOMEFILEUA));
    room.level = SettingReal(SetupVar::SQPAV);
    room.heightFromField = heightFromField;
    room.roofPitches = pitches;
    room.labelLayer = kRoomDataLayerKey;
    MakeLevelLayerName(room.labelLayer, room.level);
    const bool noCalculation = SettingInt(SetupVar::NOCALCOLOUA) != 0;
    if (!ReadTemplate(room)) return;
    for (;;) {
        PresetFields(room);
        if (!room.EditLabelFields()) return;
        TakeFields(room);
        room.cardPointPrompt = "\nPunkt wstawienia na karcie pokoju:";
        if (!room.cardDefinition.empty() && !room.FindRoomCard() && !room.CreateRoomCard(1)) return;
        room.polylineRoom = false;
        room.outlineHandle.clear();
        if (AskInterior(
                room,
                "\nWybierz wewnętrzny punkt pokoju, dla którego będą prowadzone obliczenia danych lub "
                "[Polilinia]:",
                false) < 0)
            return;
        // Made once the room is given, for the measuring under the pitches.
        MakeTriangleLayers(room);
        if (!noCalculation) {
            if (room.polylineRoom) {
                room.SetPolylineRoomValues();
            } else {
                CFACCIATE& graph = KeptRoomGraph(room.level, GetFloorHeightAt(room.level));
                if (!room.FindRoomOutline(room.interiorPoint, graph)) return;
                if (SettingInt(SetupVar::GENPOLICONT) != 0) room.WriteRoomOutline(graph.contour);
            }
        }
        if (!DrawLabel(room, room.interiorPoint, 0.0, kLabelPointPrompt)) {
            EraseNewOutline(room);
            return;
        }
        KeepFieldsForNextRoom(room);
        room.newOutline[0] = room.newOutline[1] = 0;
        if (!noCalculation) {
            if (!room.cardDefinition.empty() && !room.rowDefinition.empty()) room.CreateCardRow();
            return;
        }
    }
}

}  // namespace

bool UpdateRoomLabel(CCALCVANI& room, const ads_name label, bool interactive, CFACCIATE& graph) {
    ads_name old{label[0], label[1]};
    if (!room.ReadFromLabel(label, nullptr, nullptr, -1)) {
        zcutPrintf("\nNie mogę poprawnie odczytać rozszerzonych danych z etykiety pokoju");
        return false;
    }
    ads_name row{0, 0};
    const bool rowErased = room.EraseCardRow(nullptr, -1, row);
    bool labelErased = false;
    auto restore = [&] {
        if (rowErased) zcdbEntDel(row);
        if (labelErased) zcdbEntDel(old);
        return false;
    };
    if (interactive) {
        if (!room.EditLabelFields()) return restore();
        TakeFields(room);
    }
    if (!room.cardDefinition.empty() && !room.FindRoomCard()) {
        zcutPrintf("\nNie istnieje już tabela, która jest powiązana z etykietą");
        return restore();
    }
    zcdbEntDel(old);
    labelErased = true;
    if (interactive &&
        AskInterior(
            room,
            "\nWskaż wewnętrzny punkt pokoju, Enter, aby pozostawić w aktualnej pozycji lub [Polilinia]:",
            true) < 0)
        return restore();
    if (!room.heightFromField) {
        room.roofPitches = CollectRoofPitches(room.level);
        MakeTriangleLayers(room);
    }
    if (room.polylineRoom) {
        if (!room.MeasurePolylineRoom()) {
            restore();
            HighlightEntity(old, 1);
            return false;
        }
        room.SetPolylineRoomValues();
    } else {
        if (!room.FindRoomOutline(room.interiorPoint, graph)) return restore();
        if (SettingInt(SetupVar::GENPOLICONT) != 0) room.WriteRoomOutline(graph.contour);
    }
    const bool drawn = interactive ? DrawLabel(room, room.interiorPoint, 0.0, kLabelPointPrompt)
                                   : DrawLabel(room, room.labelPoint, room.labelRotation, "");
    if (!drawn) return restore();
    if (!room.cardDefinition.empty() && !room.rowDefinition.empty()) room.CreateCardRow();
    return true;
}

void VelmSpaceUnit() {
    ComputeRoomData(true, nullptr);
}

void VelmSUnitV() {
    ComputeRoomData(false, CollectRoofPitches(SettingReal(SetupVar::SQPAV)));
}

namespace {

// Every label on the floors chosen: the current one, or all.
void UpdateFloors(bool all) {
    std::vector<AA_PIANO> floors;
    // A new drawing has no floor list yet: opened for write it is made,
    // with its one floor, so the labels of floor 0 are found.
    {
        ZcDbObjectPointer<VELM_PIANI> piani(OpenPianiObject(true));
        if (!piani) piani = ZcDbObjectPointer<VELM_PIANI>(OpenPianiObject(false));
        if (piani) floors = piani->piani.floors;
    }
    const double current = SettingReal(SetupVar::SQPAV);
    for (const AA_PIANO& floor : floors) {
        if (!all && floor.elevation != current) continue;
        const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomLabelApp, 0));
        ads_name labels;
        const bool any = zcedSSGet("X", nullptr, nullptr, filter.get(), labels) == RTNORM;
        if (!any) {
            zcutPrintf("\nBrak etykiet pokoju w rysunku");
            return;
        }
        CFACCIATE& graph = KeptRoomGraph(floor.elevation, floor.height);
        RoomRecordScope records;
        std::int32_t n = 0;
        zcedSSLength(labels, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name label;
            double level = 0.0;
            if (zcedSSName(labels, i, label) != RTNORM || GetEntityLevel(label, level, nullptr, false) != 1 ||
                level != floor.elevation)
                continue;
            CCALCVANI room;
            room.level = level;
            if (UpdateRoomLabel(room, label, false, graph)) room.CreateRoomCardTotal(true);
        }
        zcedSSFree(labels);
    }
}

}  // namespace

void VelmSUnitR() {
    const char* prompt = "\nWybierz etykietę pokoju lub [Cała aktualna podłoga/wszystkie piętra]:";
    for (bool first = true;; first = false) {
        // Enter ends only once a label was asked for.
        zcedInitGet(first ? 1 : 0, "Całe piętra");
        ads_name label;
        ads_point at;
        const int rc = zcedEntSel(prompt, label, at);
        if (rc == RTKWORD) {
            char word[64] = "";
            zcedGetInput(word);
            UpdateFloors(std::string(word) == "piętra");
            return;
        }
        if (rc == RTCAN) return;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return;
        }
        const host::ResbufList apps(zcutBuildList(RTSTR, kRoomLabelApp, 0));
        const host::ResbufList list(zcdbEntGetX(label, apps.get()));
        const bool isLabel = FindXDataApp(list.get(), kRoomLabelApp) != nullptr;
        const resbuf* layer = FindRbCode(list.get(), 8);
        double level = 0.0;
        const bool leveled =
            layer && layer->resval.rstring && ParseDollarNumber(layer->resval.rstring, level);
        if (!isLabel) {
            zcutPrintf("\nWybrany obiekt nie jest etykietą pokoju");
        } else if (!leveled) {
            zcutPrintf("\nNiemożliwe jest tworzenie etykiety pokoju na wysokości podłogi");
        } else {
            CFACCIATE& graph = KeptRoomGraph(level, GetFloorHeightAt(level));
            CCALCVANI room;
            room.level = level;
            if (UpdateRoomLabel(room, label, true, graph)) room.CreateRoomCardTotal(true);
        }
        prompt = "\nWybierz etykietę pokoju lub Enter, aby zamknąć:";
    }
}

void VelmVFloor() {
    const double level = SettingReal(SetupVar::SQPAV);
    constexpr const char* kNotWall = "\nWybrany obiekt nie jest linią ani łukiem reprezentującym ścianę";
    ads_name picked;
    for (;;) {
        ads_point at;
        const int rc = zcedEntSel("\nWybierz zewnętrzny obwód podłogi lub pomieszczenia:", picked, at);
        if (rc == RTCAN) return;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return;
        }
        double own = level;
        if (CheckEntityLevelLayer(picked, "LINE", false, own, true, false) ||
            CheckEntityLevelLayer(picked, "ARC", false, own, true, false))
            break;
        zcutPrintf(kNotWall);
    }
    const double height = GetFloorHeightAt(level);
    CFACCIATE graph;
    graph.level = level;
    graph.floorHeight = height;
    graph.Build(false, false, nullptr, false);
    graph.MergePillars();
    WallFace* face = graph.FindFaceById(picked);
    if (!face) {
        zcutPrintf(kNotWall);
        return;
    }
    double curveArea = 0.0;
    VertexNode* ring = graph.ApproximateContourCurves(face, &curveArea, 0, false, -1.0);
    // A closed outline leaves its faces among the used ones; an open one
    // gives them back.
    if (!graph.usedFaces) {
        HighlightContour(ring, 1, true);
        FreeList(ring);
        return;
    }
    HighlightContour(ring, 0, true);
    const double polygon = PolygonAreaByEars(ring, &HostUserBreak);
    FreeList(ring);
    // A break answers a negative area: no report.
    if (polygon < 0.0) return;
    const double area = polygon + curveArea;
    const double r = SettingReal(SetupVar::SRAPPORTO_UM);
    char areaText[64], volumeText[64];
    zcdbRToS(area * r * r, -1, -1, areaText);
    zcdbRToS(area * height * r * r * r, -1, -1, volumeText);
    zcutPrintf("\nWYSOKOŚĆ PODŁOGI:%s\nPOWIERZCHNIA=%s\nOBJĘTOŚĆ=%s (ŚREDNIA WYSOKOŚĆ PODŁOGI=%.2f)",
               FormatRealTrim(level).c_str(), areaText, volumeText, height);
}
