// The floor commands. See floor_cmds_run.h.
#include "settings/floor_cmds_run.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/dialogs/dlg_traslap.h"
#include "settings/editor_steps.h"
#include "settings/floor_cmds.h"
#include "settings/floors_edit.h"
#include "settings/pane_texts.h"
#include "settings/viewmode_cmds.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kLevelsOffMessage =
    "\nTo polecenie nie może być użyte, jeśli system wielopodłogowy jest wyłączony";
constexpr const char* kNoFloorMessage = "\nWybrany obiekt nie jest identyfikowany jako podłoga";
constexpr const char* kNotOnFloorMessage = "\nWybrane obiekty nie należą do podłogi";

int Tilemode() {
    return SysVarShort("TILEMODE", nullptr);
}
double CurrentFloor() {
    return SettingReal(SetupVar::SQPAV);
}

// The store's setter of the current floor also sets ELEVATION.
void SetCurrentFloor(double z) {
    SetSettingReal(SetupVar::SQPAV, z);
    UpdateFloorPane();
}

bool RefusedWithLevelsOff() {
    if (SettingInt(SetupVar::VELMLAYERQP) != 0) {
        zcutPrintf("%s", kLevelsOffMessage);
        return true;
    }
    return false;
}

// The level of a picked entity; none when the pick ended the command
// (silently) or the entity has no level (with the message).
std::optional<double> PickFloorLevel(const char* prompt) {
    ZcDbObjectId id;
    if (PickEntity(prompt, id) != RTNORM) return std::nullopt;
    std::optional<double> level;
    if (ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead); ent) level = EntityLevel(*ent.get(), false);
    if (!level) zcutPrintf("%s", kNoFloorMessage);
    return level;
}

void TranslateSelection(const std::vector<ZcDbObjectId>& ids, double dz) {
    for (ZcDbObjectId id : ids) {
        if (ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite); ent)
            ent->transformBy(ZcDbXform::translation({0, 0, dz}));
    }
}

// The target floor of a transfer: typed, or taken from a picked entity.
std::optional<double> AskTargetFloor() {
    double target = 0.0;
    const int status = GetRealInRange(
        0, nullptr,
        "\nOkreśl wysokość podłogi na którą przenieść/skopiować obiekty lub Enter, aby wybrać docelową "
        "podłogę:",
        &target);
    if (status == RTNORM) return target;
    if (status != RTNONE) return std::nullopt;
    for (;;) {
        ZcDbObjectId id;
        const int pick = PickEntity("\nWybierz obiekt do znalezienia docelowej podłogi:", id);
        if (pick == RTERROR) continue;  // a pick that found nothing asks again
        if (pick != RTNORM) return std::nullopt;
        std::optional<double> level;
        if (ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead); ent) level = EntityLevel(*ent.get(), true);
        if (level) return level;
        zcutPrintf("%s", kNotOnFloorMessage);
    }
}

}  // namespace

double GetFloorHeightAt(double z) {
    const double fallback = 275.0 * DrawingUnitFactor();
    std::optional<double> height;
    ReadFloors([&](const VELM_PIANI& floors) { height = FloorHeightNear(floors, z, SharedTolerance); });
    return height.value_or(fallback);
}

int GetFloorIntAt(double z) {
    std::optional<int> mode;
    ReadFloors([&](const VELM_PIANI& floors) { mode = FloorEdgeModeNear(floors, z, SharedTolerance); });
    return mode.value_or(0);
}

void CopyToFloor(int copyMode, bool wholeFloor, double source, double target, const std::string& sourceText,
                 const std::vector<ZcDbObjectId>* selection) {
    ZcDbDatabase* db = WorkingDrawing();
    FloorSets sets;
    std::vector<std::string> linked;
    if (wholeFloor) {
        ReadFloors([&](const VELM_PIANI& floors) {
            // The stored elevation, not the one read back from a layer name.
            if (const AA_PIANO* floor = floors.FindFloorNear(source)) {
                source = floor->elevation;
                linked = floor->layers;
            }
        });
        sets = WholeFloorSets(db, sourceText, source, SharedTolerance, linked);
    } else {
        if (!selection) return;
        sets = SelectionSets(*selection);
    }
    if (sets.empty()) {
        zcutPrintf("%s", kNotOnFloorMessage);
        return;
    }
    bool copy = copyMode == kFloorCopy;
    if (copyMode == kFloorAsk) {
        const std::optional<double> asked = AskTargetFloor();
        if (!asked) return;
        target = *asked;
        // A cancel here moves, as a "Tak" does.
        copy = AskYesNo("Czy chcesz usunąć podłogę z poprzednią wysokością? <N>", 0) == 0;
    }
    // Level layers are named and made by the layer service from the layer
    // catalogue, the element key being the layer's base name.
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    const LayerMaker makeLayer = [&](ZcDbDatabase* drawing, const std::string& base, double level) {
        return CatalogueLevelLayer(drawing, catalogue, base, level);
    };
    const std::optional<double> left = MoveSetsToFloor(db, sets, target, copy, makeLayer);

    if (wholeFloor && !copy && left) {
        // The linked layers go with their entities to the target floor, and
        // nothing left behind is erased with the source floor.
        EditFloors([&](VELM_PIANI& floors) {
            if (!linked.empty()) {
                AA_PIANO* to = floors.FindFloorByElevation(target);
                if (!to) {
                    const AA_PIANO* from = floors.FindFloorByElevation(source);
                    AA_PIANO made = from ? *from : AA_PIANO{};
                    made.elevation = target;
                    made.layers.clear();
                    floors.piani.floors.push_back(made);
                    to = &floors.piani.floors.back();
                }
                for (const std::string& name : linked)
                    if (!to->IsNameInList(name)) to->layers.push_back(name);
                floors.SetFloorLayers(source, {});
            }
            DeleteFloor(
                floors, source, db,
                [](const std::string& layer) { ModuleMessageBox(KeptLayerMessage(layer), MB_OK, 0); }, false);
        });
    }

    if (copyMode == kFloorAsk) {
        if (!copy) {
            SetCurrentFloor(target);
        } else {
            if (AskYesNo("Czy chcesz zmienić aktualną podłogę? <N>", 0) == 1) SetCurrentFloor(target);
        }
    }
}

int ChooseFloor(std::string& text, double& elevation) {
    const std::vector<std::string> texts = FloorTextsOfLayers(WorkingDrawing());
    std::optional<std::string> chosen;
    if (texts.empty()) {
        zcutPrintf("\nBrak elementów na warstwach podłogowych");
        return 0;
    }
    if (texts.size() == 1) {
        zcutPrintf("\nTylko podłoga na wysokości %s zawiera obiekty", texts[0].c_str());
        chosen = texts[0];
    } else {
        chosen = ChooseFloorTextDialog(texts);
    }
    if (!chosen) return 0;
    const std::optional<double> z = host::parseDoublePrefix(*chosen);
    if (!z) return 0;
    text = *chosen;
    elevation = *z;
    return 1;
}

void CmdAssignZ() {
    double z = 0.0;
    if (GetRealInRange(RSG_NONULL, nullptr, "\nWysokość Z na której chcesz umieścić elementy:", &z) != RTNORM)
        return;
    const std::optional<std::vector<ZcDbObjectId>> ids = SelectObjects();
    if (!ids) return;
    for (ZcDbObjectId id : *ids) {
        if (ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite); ent) AssignEntityZ(*ent, z);
    }
}

void CmdMoveZ() {
    double dz = 0.0;
    if (GetRealInRange(RSG_NONULL | RSG_NOZERO, nullptr, "\nWartość przemieszczenia:", &dz) != RTNORM) return;
    const std::optional<std::vector<ZcDbObjectId>> ids = SelectObjects();
    if (!ids) return;
    TranslateSelection(*ids, dz);
}

void CmdCurrentFloor() {
    if (RefusedWithLevelsOff()) return;
    const std::optional<double> level =
        PickFloorLevel("\nWybierz obiekt należący do podłogi, którą chcesz ustawić jako aktualną:");
    if (level) SetCurrentFloor(*level);
}

void CmdFloorOff() {
    if (RefusedWithLevelsOff()) return;
    const std::optional<double> level =
        PickFloorLevel("\nWybierz obiekt należący do podłogi, którą chcesz wyłączyć:");
    if (!level) return;
    if (std::abs(*level - CurrentFloor()) < SharedTolerance)
        zcedAlert("Ostrzeżenie: aktualna podłoga zostanie wyłączony");
    const int tilemode = Tilemode();
    EditFloors([&](VELM_PIANI& floors) {
        for (AA_PIANO& floor : floors.piani.floors)
            if (std::abs(floor.elevation - *level) < SharedTolerance) floor.visible = false;
        if (tilemode != 0) {
            UpdateFloorLayers(floors, WorkingDrawing());
        } else {
            for (const AA_PIANO& floor : floors.piani.floors)
                if (std::abs(floor.elevation - *level) < SharedTolerance)
                    ApplyFloorToCurrentViewport(floor, floors);
        }
    });
    RunQuiet({"_REGEN"});
}

void CmdFloorSelect() {
    if (RefusedWithLevelsOff()) return;
    const std::optional<double> level =
        PickFloorLevel("\nWybierz obiekt na tym piętrze, które chcesz określić:");
    if (!level) return;
    std::optional<AA_PIANO> floor;
    ReadFloors([&](const VELM_PIANI& floors) {
        if (const AA_PIANO* f = floors.FindFloorByElevation(*level)) floor = *f;
    });
    if (!floor) return;
    ZcDbDatabase* db = WorkingDrawing();
    // Every entity of the floor: on its linked layers or its level layers.
    const FloorSets sets = WholeFloorSets(db, "*", *level, -1.0, floor->layers);
    std::vector<ZcDbObjectId> found = sets.linked;
    for (ZcDbObjectId id : sets.plain) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
        if (!ent) continue;
        const std::optional<double> entLevel = LayerNameLevel(ent->layer());
        if (entLevel && *entLevel == floor->elevation) found.push_back(id);
    }
    zcedInitGet(0, "Przesuń Kopiuj");
    char answer[64] = {};
    const int status = zcedGetKword(
        "\nNaciśnij Enter, aby rozpocząć tworzenie zestawu wyboru lub [Przesuń/Kopiuj]:", answer);
    std::string command;
    if (status == RTNONE)
        command = "_SELECT";
    else if (status == RTNORM || status == RTKWORD)
        command = zcutEqualsNoCase(answer, "Przesuń") ? "_MOVE" : "_COPY";
    else
        return;
    RunOnSelection(command, found);
}

void CmdFloorTransfer() {
    if (RefusedWithLevelsOff()) return;
    zcutPrintf("\nEnter, aby przemieścić całe piętro lub");
    const std::optional<std::vector<ZcDbObjectId>> ids = SelectObjects();
    if (!ids) return;
    if (!ids->empty()) {
        CopyToFloor(kFloorAsk, false, 0.0, 0.0, "", &*ids);
        return;
    }
    std::string text;
    double source = 0.0;
    if (ChooseFloor(text, source) == 0) return;
    CopyToFloor(kFloorAsk, true, source, 0.0, text, nullptr);
}

void CmdViewportScale() {
    if (Tilemode() != 0) {
        zcutPrintf("\nPolecenie to nie może być stosowane w obszarze modelu");
        return;
    }
    const bool switched = SysVarShort("CVPORT", nullptr) != 1;
    if (switched) {
        zcutPrintf("\nUstawienie tymczasowe w przestrzeni papieru");
        RunQuiet({"_PSPACE"});
    }
    double scale = 0.0;
    if (GetRealInRange(RSG_NONULL | RSG_NOZERO | RSG_NONEG, nullptr, "\nSkala drukowania:", &scale) ==
        RTNORM) {
        const std::optional<std::vector<ZcDbObjectId>> ids =
            SelectViewports("Wybierz okno, do którego zastosować współczynnik skali drukowania:",
                            "Usuń obiekt z wybranego zbioru:");
        for (ZcDbObjectId id : ids.value_or(std::vector<ZcDbObjectId>{})) {
            ZcDbObjectPointer<ZcDbViewport> vp(id, ZcDb::kForWrite);
            if (vp) vp->setViewHeight(ViewportViewHeight(vp->height(), scale, DrawingUnitFactor()));
        }
    }
    if (switched) RunQuiet({"_MSPACE"});
}
