// Rescaling after a unit change and the print-scale updates.
#include "settings/rescale.h"

#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/dimtext.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/vertex_list.h"
#include "core/hatch.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdim.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "host/util/nocase.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_fscala.h"
#include "settings/floors.h"
#include "store/open_or_create.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

// The real slots that hold lengths in drawing units.
constexpr int kLengthSlots[] = {
    SetupVar::DISCMURO,
    SetupVar::SFTMTCM,
    SetupVar::AREAMENOINF,
    SetupVar::AREAMENOSUP,
    SetupVar::SDIST_QUOTE,
    SetupVar::SPOSYQUOTE,
    SetupVar::SDIST_QUOTEP,
    SetupVar::SPOSYQUOTEP,
    SetupVar::SQSOGLIA_TEDIT,
    SetupVar::SQ_SPOSTAMENTO,
    SetupVar::SQSPOSTA_COMP,
    SetupVar::SQEEXTENS,
    SetupVar::SQEMINQUOT,
    SetupVar::CSPESS_SOLAIO,
    SetupVar::CINTRADO,
    SetupVar::CSPESS_TETTI,
    SetupVar::CQGRONDA,
    SetupVar::CCORNICIONE,
    SetupVar::QGRONDASMUSSO,
    SetupVar::LGRONDASMUSSO,
    SetupVar::CORNIFRONTALI,
    SetupVar::SCALATRATT3D,
    SetupVar::CLINFTMURO,
    SetupVar::CLSUPTMURO,
    SetupVar::SCALATRATTPAV,
    SetupVar::MDPLINESTART,
    SetupVar::MDPLINEEND,
    SetupVar::CDISTQUOTE,
    SetupVar::DLINEDISTE,
    SetupVar::DLINEMSPES,
    SetupVar::DLINEMASPE,
    SetupVar::PARA_SPESS,
    SetupVar::PARA_BASE_INI,
    SetupVar::PARA_BASE_FIN,
    SetupVar::PARA_H_INI,
    SetupVar::PARA_H_FIN,
    SetupVar::PRITAGLIOZMIN,
    SetupVar::PRITAGLIOZMAX,
    SetupVar::CCOMPHALT,
    SetupVar::OFFSETCLVAL,
    SetupVar::SETCOR_LARGH,
    SetupVar::SETCOR_ALTE,
    SetupVar::SETCOR_PEMAX,
    SetupVar::SETCOR_SPESS,
    SetupVar::SETCOR_DISTR,
    SetupVar::SETCOR_RAGGIOR,
    SetupVar::SETCOR_MENOZLAT,
    SetupVar::SETSCA_DINTERP,
    SetupVar::SETSCA_SPOGRAD,
    SetupVar::SETSCA_SPESSPO,
    SetupVar::SETSCA_DZGRADI,
    SetupVar::SETSCA_DXGRADI,
    SetupVar::SETSCA_SPESPIA,
    SetupVar::SETSCA_SPESRAM,
    SetupVar::SETSCA_QUOSEZ,
    SetupVar::SETSCA_DLINSEZ,
    SetupVar::SETSCA_LARSCALA,
    SetupVar::SETSCA_PEDSCALA,
    SetupVar::SETSCA_DIMFREC,
    SetupVar::SETSCA_ZPASSAGGI,
    SetupVar::SETCOM_ZSCALE,
    SetupVar::SETTRA_LARGHEZ,
    SetupVar::SETTRA_ALTEZZA,
    SetupVar::SETTRA_DISTANZ,
    SetupVar::SETCOP_ALTLCOSTR,
    SetupVar::SETCOP_ALTQLFUN,
    SetupVar::SETCON_APPARC,
    SetupVar::SETCON_OFFSET,
    SetupVar::SETCRO_FRECCIA,
    SetupVar::SETCRO_QUOTAZ,
    SetupVar::SETSCA_DIMLCER,
    SetupVar::SETRING_DISTINS,
    SetupVar::SETRING_DIMINS,
    SetupVar::SETTRA_DISTINI,
    SetupVar::SETTRA_DISTFIN,
    SetupVar::SETINFI_SPESS,
    SetupVar::SETINFI_DISTF,
    SetupVar::SETMAGLIA_ETIALTTXT,
    SetupVar::SETSCA_SCALEPP2DDES,
    SetupVar::SETSCA_SCALEPP2DSIN,
    SetupVar::SETSCA_SCALEPP2DDES2,
    SetupVar::SETSCA_SCALEPP2DSIN2,
    SetupVar::SETTRA_RIENTRANZA,
    SetupVar::CSPESS_SIMIL,
    SetupVar::CQUOTAZ_SIMIL,
    SetupVar::CFATSCALA_SIMIL,
};
static_assert(std::size(kLengthSlots) == 86);

// Print-scale entries that are lengths in drawing units (1 and 4 are text
// heights on paper).
constexpr int kScaledEntries[] = {0, 2, 3, 5, 6, 7, 8, 9};

constexpr const char* kLabelApp = "VELM5$_$ETICHETTEVANI-";
constexpr const char* kCardApp = "VELM5$_$TABELLEVANI-";
constexpr const char* kScheduleApp = "VELM6$_$ABINFISSI_TAB-";
constexpr const char* kInnerDimApp = "VELM6$_$QUOTEINT-";
constexpr const char* kSymbolApp = "VELM5$_$SIMBOLI-";
constexpr const char* kOpeningApp = "VELM5$_$TAG3DISTR-";
constexpr const char* kObjectApp = "VELM5$_$PARAMETRI-";

RegenParamObjectHook& RegenHook() {
    static RegenParamObjectHook hook;
    return hook;
}
DimensionSymbolHook& SymbolHook() {
    static DimensionSymbolHook hook;
    return hook;
}
RoomRebuildHook& RoomHook() {
    static RoomRebuildHook hook;
    return hook;
}
FloorWallLayersHook& WallHook() {
    static FloorWallLayersHook hook;
    return hook;
}

// Every entity of the drawing carrying the application's xdata, in
// selection order (names are stable while entities are erased and made).
std::vector<std::pair<std::int64_t, std::int64_t>> SelectByApp(const char* app) {
    std::vector<std::pair<std::int64_t, std::int64_t>> names;
    const host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return names;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name member;
        if (zcedSSName(set, i, member) == RTNORM) names.emplace_back(member[0], member[1]);
    }
    zcedSSFree(set);
    return names;
}

void ToName(const std::pair<std::int64_t, std::int64_t>& p, ads_name out) {
    out[0] = p.first;
    out[1] = p.second;
}

// The entity's xdata of one application: the list and the application's
// 1001 item in it.
struct AppXData {
    host::ResbufList list;
    const resbuf* app = nullptr;
    AppXData(const ads_name entity, const char* name) {
        const host::ResbufList apps(zcutBuildList(RTSTR, name, 0));
        list.reset(zcdbEntGetX(entity, apps.get()));
        app = FindXDataApp(list.get(), name);
    }
};

// Whether a maker made an entity of model or paper space since the handle
// seed was `seed`: only the objects made since are looked at, so a rebuild
// of many entities stays linear.
bool MadeEntitySince(ZcDbHandle seed) {
    ZcDbDatabase* db = SettingsDatabase();
    if (!db) return false;
    const ZcDbObjectId model = db->modelSpaceId(), paper = db->paperSpaceId();
    for (ZcDbHandle h = seed; h < db->handseed(); ++h) {
        ZcDbObjectId id;
        if (db->getZcDbObjectId(id, false, h) != Zcad::eOk || id.isNull() || id.isErased()) continue;
        ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
        if (entity.openStatus() != Zcad::eOk) continue;
        if (entity->ownerId() == model || entity->ownerId() == paper) return true;
    }
    return false;
}

ZcDbHandle HandleSeed() {
    ZcDbDatabase* db = SettingsDatabase();
    return db ? db->handseed() : ZcDbHandle();
}

bool PatternIs3D(const std::string& p) {
    return zcutEqualsNoCase(p, "3D*");
}

// The dimension's style begins with "VELM", case ignored.
bool HasModuleDimStyle(const ZcDbDimension& dim) {
    const std::string& style = dim.dimensionStyleName();
    return style.size() >= 4 && zcutEqualsNoCase(std::string_view(style).substr(0, 4), "VELM");
}

}  // namespace

void SetRegenParamObjectHook(RegenParamObjectHook hook) {
    RegenHook() = std::move(hook);
}
void RegenerateParamObject(const ads_name entity, const AAR_LAYERC& layers, const char* kind,
                           const double* options) {
    VELM_ASSERT(RegenHook());
    RegenHook()(entity, layers, kind, options);
}
void SetDimensionSymbolHook(DimensionSymbolHook hook) {
    SymbolHook() = std::move(hook);
}
void SetRoomRebuildHook(RoomRebuildHook hook) {
    RoomHook() = std::move(hook);
}
void SetFloorWallLayersHook(FloorWallLayersHook hook) {
    WallHook() = std::move(hook);
}

// ------------------------------------------------------------ unit change

void ApplyDrawingUnitFactor(double factor) {
    if (!(factor >= SharedTolerance)) return;
    // The small allowance keeps 0.001 at 3 decimals whatever log10 rounds to.
    const double lg = std::log10(factor);
    const short decimals = lg <= 0.0 ? static_cast<short>(-lg + 1e-9) : 0;

    double r = 1.0;
    {
        ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(false));
        if (!setup) return;
        setup->assertWriteEnabled();
        double current = 1.0;
        if (!setup->getReal(SetupVar::SFTMTCM, current) || !(current > 0.0)) current = 1.0;
        r = factor / current;
        setup->setReal(SetupVar::SRAPPORTO_UM, 0.01 / factor);
        for (int slot : {SetupVar::CINTOMIN, SetupVar::CNONDETRAI}) {
            double v = 0.0;
            if (setup->getReal(slot, v)) setup->setReal(slot, v * r * r);
        }
        for (int slot : {SetupVar::CIFRE_COMPUTO, SetupVar::SCIFRE_QUOTE, SetupVar::CQUOTEPREC})
            setup->setInt(slot, decimals);
        for (int slot : kLengthSlots) {
            double v = 0.0;
            if (setup->getReal(slot, v)) setup->setReal(slot, v * r);
        }
    }

    if (ZcDbObjectPointer<VELM_FSCALA> scales(OpenFScalaObject()); scales) {
        for (AA_FSCALA& record : scales->scales.records)
            for (int i : kScaledEntries) record.values[i] *= r;
    }
    if (ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(false)); floors) {
        floors->assertWriteEnabled();
        for (AA_PIANO& floor : floors->piani.floors) floor.height *= r;
    }
    if (ZcDbObjectPointer<VELM_SPESSMURI> walls(OpenSpessMuriObject()); walls) {
        for (double& t : walls->thicknesses) t *= r;
    }
    // Comparisons follow the unit: a tolerance left in the old unit would be
    // a hundred times too coarse after centimetres become metres.
    SetSharedTolerance(0.001 * factor);
    PublishDrawingUnit(false);
}

short InsUnitsOfFactor(double factor) {
    struct Unit {
        double perCentimetre;
        short code;
    };
    static constexpr Unit kUnits[] = {{10.0, 4}, {1.0, 5},      {0.1, 14},
                                      {0.01, 6}, {1 / 2.54, 1}, {1 / 30.48, 2}};
    for (const Unit& u : kUnits)
        if (std::fabs(factor / u.perCentimetre - 1.0) < 1e-6) return u.code;
    return 0;
}

void PublishDrawingUnit(bool onlyWhenUnset) {
    if (onlyWhenUnset) {
        const int keep = -1;
        if (SysVarShort("INSUNITS", &keep) != 0) return;
    }
    const int units = InsUnitsOfFactor(DrawingUnitFactor());
    const int metric = units == 1 || units == 2 ? 0 : 1;
    SysVarShort("INSUNITS", &units);
    SysVarShort("MEASUREMENT", &metric);
}

// ------------------------------------------------------------ the command

void CmdScaleFactors() {
    resbuf tile{}, port{};
    if (zcedGetVar("TILEMODE", &tile) == RTNORM && tile.resval.rint == 0 &&
        zcedGetVar("CVPORT", &port) == RTNORM && port.resval.rint == 1) {
        zcutPrintf("\nPolecenie to nie może być stosowane w obszarze papieru");
        return;
    }
    int flags = 0;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgFScala dialog;
        if (dialog.DoModal() != IDOK) return;
        flags = dialog.GetUpdateFlags();
    }
    RunScaleUpdates(flags);
}

void RunScaleUpdates(int f) {
    const bool objects = (f & kUpdateObjects) != 0;
    if ((f & kUpdateInnerDims) && !objects) {
        RegenObjectsByApp(kOpeningApp, nullptr);
        RescaleQuoteIntBlocks();
    }
    if ((f & kUpdateDoors) && !objects) RegenObjectsByApp(kOpeningApp, "DOORS");
    if ((f & kUpdateWindows) && !objects) RegenObjectsByApp(kOpeningApp, "WINDOWS");
    if (f & kUpdateLabels) RescaleLabelsAndTables();
    if (f & kUpdateSymbols) RescaleSymbolBlocks();
    if (f & kUpdateWallHatches) RescaleHatchBlocks(3);
    if (f & kUpdateSlabHatches) RescaleHatchBlocks(2);
    if (f & kUpdateRoofHatches) RescaleHatchBlocks(1);
    if (f & kUpdateDimensions) RescaleDimensions();
    if (f & kUpdateWalls) RescaleWallDefs();
    if (objects) RegenObjectsByApp(kObjectApp, nullptr);
}

// ------------------------------------------------------------ the families

void RegenObjectsByApp(const char* app, const char* kind) {
    const auto names = SelectByApp(app);
    if (names.empty()) return;
    bool added = false;
    if (SettingInt(SetupVar::SFATSCALA, 0) >= 200) {
        if (ZcDbObjectPointer<VELM_GENGRUPPO> groups(OpenGenGruppoObject()); groups) {
            bool has = false;
            for (const std::string& p : groups->nonGenerating) has = has || PatternIs3D(p);
            if (!has) {
                groups->nonGenerating.push_back("3D*");
                added = true;
            }
        }
    }
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    for (const auto& n : names) {
        if (zcedUsrBrk()) break;
        ads_name entity;
        ToName(n, entity);
        VELM_ASSERT(RegenHook());
        RegenHook()(entity, layers, kind, nullptr);
    }
    if (added) {
        if (ZcDbObjectPointer<VELM_GENGRUPPO> groups(OpenGenGruppoObject()); groups) {
            auto& list = groups->nonGenerating;
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (PatternIs3D(*it)) {
                    list.erase(it);
                    break;
                }
            }
        }
    }
}

void RescaleQuoteIntBlocks() {
    const DimensionSymbolHook& hook = SymbolHook();
    for (const auto& n : SelectByApp(kInnerDimApp)) {
        ads_name entity;
        ToName(n, entity);
        Point3 at;
        double a = 0.0, b = 0.0, c = 0.0;
        int flags = 0;
        std::string text;
        bool complete = false;
        {
            AppXData x(entity, kInnerDimApp);
            if (!x.app) continue;
            // Point, real, real, integer, text, real, in this order; a record
            // cut short or holding another code is left as it is.
            const resbuf* v = x.app->rbnext;
            if (!v || v->restype != 1011) continue;
            at = Point3{v->resval.rpoint[0], v->resval.rpoint[1], v->resval.rpoint[2]};
            v = v->rbnext;
            if (!v || v->restype != 1040) continue;
            a = v->resval.rreal;
            v = v->rbnext;
            if (!v || v->restype != 1040) continue;
            b = v->resval.rreal;
            v = v->rbnext;
            if (!v || v->restype != 1070) continue;
            flags = v->resval.rint;
            v = v->rbnext;
            if (!v || v->restype != 1000) continue;
            text = v->resval.rstring ? v->resval.rstring : "";
            v = v->rbnext;
            if (!v || v->restype != 1040) continue;
            c = v->resval.rreal;
            complete = true;
        }
        if (!complete) continue;
        VELM_ASSERT(hook);
        zcdbEntDel(entity);
        // Nothing drawn (no symbol definition, say): the old symbol comes back.
        if (!hook(at, a, b, flags, text, c)) zcdbEntDel(entity);
    }
}

void RescaleSymbolBlocks() {
    const double f = GetScaleFactor(5);
    for (const auto& n : SelectByApp(kSymbolApp)) {
        ads_name entity;
        ToName(n, entity);
        const host::ResbufList list(zcdbEntGet(entity));
        if (!list) continue;
        bool changed = false;
        for (resbuf* rb = list.get(); rb; rb = rb->rbnext) {
            if (rb->restype == 41 || rb->restype == 42) {
                rb->resval.rreal = f;
                changed = true;
            }
        }
        if (changed && zcdbEntMod(list.get()) == RTNORM) zcdbEntUpd(entity);
    }
}

void RescaleHatchBlocks(int kind) {
    int entry = 0;
    switch (kind) {
        case 1:
            entry = 8;
            break;
        case 2:
            entry = 7;
            break;
        case 3:
            entry = 6;
            break;
        default:
            return;
    }
    const double f = GetScaleFactor(entry);
    for (const auto& n : SelectByApp(kHatchApp)) {
        ads_name entity;
        ToName(n, entity);
        HatchXData data;
        OwnedList<FaceRecord> outline(GetHatchData(entity, data));
        if (!outline || data.kind != kind) continue;
        zcdbEntDel(entity);
        const ZcDbHandle seed = HandleSeed();
        if (kind == 3) {
            HatchContour3d(outline.get(), data.layer, &data.angle, &f, data.pattern, &data.shift);
        } else {
            const double elevation = 0.0;
            HatchContour(outline.get(), data.layer, &data.angle, &f, &elevation, data.pattern, kind);
        }
        // A hatch that could not be made (too dense at the new scale, say)
        // must not cost the element its old one.
        if (!MadeEntitySince(seed)) zcdbEntDel(entity);
    }
}

void RescaleDimensions() {
    const double f = PaperScaleFactor(kDimensionScaleEntry);
    const host::ResbufList filter(zcutBuildList(0, "DIMENSION", 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        ZcDbObjectId id;
        if (zcedSSName(set, i, entity) != RTNORM || zcdbGetObjectId(id, entity) != Zcad::eOk) continue;
        ZcDbObjectPointer<ZcDbDimension> dim(id, ZcDb::kForWrite);
        // Closing the dimension redraws its picture at the new scale.
        if (dim.openStatus() == Zcad::eOk && HasModuleDimStyle(*dim.get())) dim->setDimscale(f);
    }
    zcedSSFree(set);
}

void RescaleLabelsAndTables() {
    const RoomRebuildHook& room = RoomHook();
    auto hook = [&room](RoomRebuild what, const ads_name entity, double level) {
        VELM_ASSERT(room);
        return room(what, entity, level);
    };
    for (const auto& n : SelectByApp(kLabelApp)) {
        ads_name entity;
        ToName(n, entity);
        double level = 0.0;
        if (GetEntityLevel(entity, level, nullptr, false)) hook(RoomRebuild::kLabel, entity, level);
    }
    for (const auto& n : SelectByApp(kCardApp)) {
        ads_name entity;
        ToName(n, entity);
        double level = 0.0;
        GetEntityLevel(entity, level, nullptr, false);
        hook(RoomRebuild::kCard, entity, level);
    }
    const double floor = SettingReal(SetupVar::SQPAV, 0.0);
    for (const auto& n : SelectByApp(kScheduleApp)) {
        ads_name entity;
        ToName(n, entity);
        double level = 0.0;
        if (!GetEntityLevel(entity, level, nullptr, false)) continue;
        if (std::fabs(level - floor) <= kLevelTolerance) hook(RoomRebuild::kSchedule, entity, level);
    }
}

void RescaleWallDefs() {
    const int scale = SettingInt(SetupVar::SFATSCALA, 0);
    const double saved = SettingReal(SetupVar::SQPAV, 0.0);
    std::vector<double> elevations;
    if (ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(true)); floors) {
        for (const AA_PIANO& floor : floors->piani.floors) elevations.push_back(floor.elevation);
    }
    std::vector<std::string> wallLayers;
    if (ZcDbObjectPointer<VELM_LAYERMURI> layers(OpenLayerMuriObject()); layers) {
        for (int i = 0; i < static_cast<int>(layers->entries.size()); ++i)
            wallLayers.push_back(layers->Get3DLayerName(i));
    }
    const FloorWallLayersHook& hook = WallHook();
    const int kFloorSlot = SetupVar::SQPAV;
    for (double z : elevations) {
        SetVarReal(&kFloorSlot, &z);
        VELM_ASSERT(hook);
        if (!hook(z)) continue;
        if (scale >= 199) {
            for (std::string layer : wallLayers) {
                MakeLevelLayerName(layer, z);
                EraseTypeOnLayer("3DFACE", layer);
            }
        }
    }
    SetVarReal(&kFloorSlot, &saved);
}
