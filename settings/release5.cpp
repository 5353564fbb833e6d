// Release-5 drawing conversion.
//
// The setup record is read value by value with its group code checked
// against the kind each position should hold: a record written by anything
// else than release 5 (or cut short) stops the fixed part at the first value
// out of step, the slots read so far keep their new values, and the marker
// walk starts from that value. Take-off list numbers outside 0..3 have no
// list and their section adds nothing.
#include "settings/release5.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbsymtb.h"
#include "host/ed/prompts.h"
#include "host/util/adscodes.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/floors.h"
#include "store/open_or_create.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

// How a position of the fixed part is read.
enum class Kind : std::uint8_t {
    Skip,         // any value, not used
    IntText,      // 1000 text read as an integer into a 16-bit slot
    Text,         // 1000 text
    Short,        // 1070
    ShortAsText,  // 1070 stored as its decimal text
    Real,         // 1040
    Point,        // 1011
};

struct FixedValue {
    Kind kind = Kind::Skip;
    int slot = -1;   // -1: the value is kept aside, not stored in a slot
    int slot2 = -1;  // a second slot getting the same value
};

constexpr int kFixedCount = 112;
constexpr int kFloorElevation = 1;
constexpr int kFloorHeight = 2;
constexpr int kOldUnitFactor = 10;
constexpr int kDoorLength = 49;

using FixedTable = std::array<FixedValue, kFixedCount + 1>;

FixedTable MakeFixedTable() {
    using namespace SetupVar;
    FixedTable t{};
    auto set = [&t](int n, Kind kind, int slot, int slot2 = -1) { t[n] = {kind, slot, slot2}; };
    auto reals = [&t](int first, std::initializer_list<int> slots) {
        for (int s : slots) t[first++] = {Kind::Real, s, -1};
    };
    set(1, Kind::Real, SQPAV);
    set(2, Kind::Real, -1);
    set(4, Kind::IntText, RAPSCALEPROSP);
    set(5, Kind::IntText, SAPRI_AUTO);
    set(6, Kind::Text, SFILEARTICOLI);
    set(7, Kind::IntText, DESCTOCOMP);
    set(8, Kind::IntText, SCOMPUTO01);
    reals(9, {SRAPPORTO_UM, SFTMTCM, CINTOMIN, CNONDETRAI});
    set(13, Kind::Short, SCIFRE_QUOTE);
    set(14, Kind::Real, SDIST_QUOTE);
    set(15, Kind::IntText, SFATSCALA);
    set(16, Kind::Text, CUBLOCCO);
    reals(18, {CSPESS_SOLAIO, CSPESS_TETTI, CINTRADO});
    set(21, Kind::IntText, CTRATTEGGIO01);
    set(22, Kind::IntText, COSNAP);
    set(23, Kind::Text, CSTILESOLAIO);
    set(24, Kind::Text, CSTILETETTI);
    set(26, Kind::IntText, SCALADINTER);
    set(27, Kind::IntText, COP_PENDENZA);
    reals(28, {CANGCAMPS, CANGCAMPT, CPENDENZAF, CQGRONDA, CCORNICIONE});
    set(34, Kind::Text, CSTILETRATT3D);
    set(37, Kind::Text, ULTIMOTMURO);
    reals(42, {CCOMPHALT, CDISTQUOTE});
    set(44, Kind::IntText, CQUOTETIPO);
    set(45, Kind::Short, CQUOTEPREC);
    set(47, Kind::Real, MDPLINESTART, MDPLINEEND);
    set(48, Kind::IntText, MTRIMAUTO);
    set(49, Kind::Real, -1);
    set(50, Kind::IntText, CHIUSURA_SUP);
    set(51, Kind::IntText, VIS_MUROCURVO);
    set(52, Kind::Short, M3D_CLOSECOL);
    set(53, Kind::Text, NOMEFILEUA);
    set(54, Kind::Text, ULTIMORIFTAB);
    set(55, Kind::Short, ULTIMORIFRIGA);
    reals(56, {PRITAGLIOZMIN, PRITAGLIOZMAX});
    set(58, Kind::Short, CIFRE_COMPUTO);
    set(59, Kind::Real, OFFSETCLVAL);
    set(60, Kind::Text, ULAYERBLOCK);
    reals(62, {IMPPLOTSCALA, SCALATRATT3D, CANGTRATT3D});
    set(65, Kind::Text, CLAYERTRATT3D);
    set(66, Kind::Text, CSTILETMURO);
    reals(67, {CANGTMURO, CLINFTMURO, CLSUPTMURO});
    set(71, Kind::Real, SQEEXTENS);
    reals(73, {SQEMINQUOT, DLINEDISTE, DISCMURO, DLINEMSPES, DLINEMASPE});
    set(79, Kind::Real, SPOSYQUOTE);
    set(80, Kind::IntText, DLGOGGETTO);
    reals(81, {AREAMENOINF, AREAMENOSUP, PENDFFRONT});
    set(84, Kind::IntText, CAPANSMUSSO);
    set(85, Kind::IntText, LARGHSMUSSO);
    reals(86, {QGRONDASMUSSO, LGRONDASMUSSO, CORNIFRONTALI});
    set(89, Kind::IntText, S_INVISVERT);
    set(90, Kind::Point, QUOTE_PRIFZERO);
    set(91, Kind::Real, QUOTE_VRIFZERO);
    reals(94, {SQSOGLIA_TEDIT, SQ_SPOSTAMENTO, SQSPOSTA_COMP});
    set(97, Kind::Point, PRT_ORIGINE);
    set(98, Kind::Text, ULTIMO_FMASTER);
    set(99, Kind::Text, CAT_NGRUPPO);
    set(100, Kind::ShortAsText, CAT_NBLOCCO);
    set(101, Kind::Text, CLAYERTRATTPAV);
    set(102, Kind::Text, CSTILETRATTPAV);
    reals(103,
          {CANGTRATTPAV, SCALATRATTPAV, PARA_SPESS, PARA_BASE_INI, PARA_BASE_FIN, PARA_H_INI, PARA_H_FIN});
    set(110, Kind::Text, PARA_LAYERNAME);
    set(111, Kind::Short, PARA_SPIGOLIV);
    set(112, Kind::Short, CALC_INT_SEZ);
    return t;
}

const FixedTable& Fixed() {
    static const FixedTable table = MakeFixedTable();
    return table;
}

bool Fits(Kind kind, int code) {
    switch (kind) {
        case Kind::Skip:
            return true;
        case Kind::IntText:
        case Kind::Text:
            return code == 1000;
        case Kind::Short:
        case Kind::ShortAsText:
            return code == 1070;
        case Kind::Real:
            return code == 1040;
        case Kind::Point:
            return code == 1011;
    }
    return false;
}

const char* TextOf(const resbuf* rb) {
    return rb->resval.rstring ? rb->resval.rstring : "";
}

bool IsText(const resbuf* rb) {
    return rb && rb->restype == 1000;
}

// As the platform's wide-text integer reading: leading blanks, a sign and
// digits; 0 when there is no number.
int TextToInt(std::string_view text) {
    std::optional<long long> v = host::parseIntegerPrefix(text);
    if (!v) return 0;
    return static_cast<int>(
        std::clamp<long long>(*v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && zcutEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// What the fixed part leaves for the marker part.
struct FixedResult {
    const resbuf* rest = nullptr;  // the first value not read
    std::optional<double> elevation, height, unitFactor, doorLength;
};

FixedResult ReadFixedPart(VELM_SETUP& setup, const resbuf* value) {
    FixedResult r;
    const FixedTable& table = Fixed();
    int n = 1;
    for (; n <= kFixedCount && value && value->restype != 1001; ++n, value = value->rbnext) {
        const FixedValue& f = table[n];
        if (!Fits(f.kind, value->restype)) break;
        switch (f.kind) {
            case Kind::Skip:
                break;
            case Kind::IntText:
                setup.setInt(f.slot, static_cast<short>(TextToInt(TextOf(value))));
                break;
            case Kind::Text:
                setup.setString(f.slot, TextOf(value));
                break;
            case Kind::Short:
                setup.setInt(f.slot, value->resval.rint);
                break;
            case Kind::ShortAsText:
                setup.setString(f.slot, std::to_string(value->resval.rint));
                break;
            case Kind::Real: {
                const double v = value->resval.rreal;
                if (f.slot >= 0) setup.setReal(f.slot, v);
                if (f.slot2 >= 0) setup.setReal(f.slot2, v);
                if (n == kFloorElevation) r.elevation = v;
                if (n == kFloorHeight) r.height = v;
                if (n == kOldUnitFactor) r.unitFactor = v;
                if (n == kDoorLength) r.doorLength = v;
                break;
            }
            case Kind::Point:
                setup.setPoint(f.slot, ZcGePoint3d(value->resval.rpoint[0], value->resval.rpoint[1],
                                                   value->resval.rpoint[2]));
                break;
        }
    }
    r.rest = value;
    return r;
}

// The floor at exactly that elevation gets the height; else a new visible
// floor is appended.
void SetFloor(double elevation, double height) {
    ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(false));
    if (!floors) return;
    if (AA_PIANO* floor = floors->FindFloorByElevation(elevation)) {
        floor->height = height;
    } else {
        AA_PIANO added;
        added.elevation = elevation;
        added.height = height;
        added.visible = true;
        added.edgeMode = 0;
        floors->piani.floors.push_back(std::move(added));
    }
}

// What the marker walk collects.
struct MarkerContext {
    double unitFactor = 1.0;
    std::optional<double> doorLength;
    std::array<std::vector<std::string>, 4> takeOff;
};

constexpr std::string_view kScaleMarker = "___FFSS_INIT";
constexpr std::string_view kFloorsMarker = "___INIT_APIANI";
constexpr std::string_view kGenMarker = "___INIT_GRGEN";
constexpr std::string_view kGenEnd = "END___INIT_GRGEN";
constexpr std::string_view kNoGenMarker = "___INIT_GRNOGEN";
constexpr std::string_view kNoGenEnd = "END___INIT_GRNOGEN";
constexpr std::string_view kTakeOffMarker = "___COMP_INITART";
constexpr std::string_view kTakeOffEnd = "END___COMP_INITART";

bool IsMarker(const resbuf* rb, std::string_view marker) {
    return IsText(rb) && StartsWithNoCase(TextOf(rb), marker);
}

// `at` is the marker; returns the first value not taken by the section.
const resbuf* ReadScaleRecord(const resbuf* at, const MarkerContext& ctx) {
    const int key = TextToInt(std::string_view(TextOf(at)).substr(kScaleMarker.size()));
    const resbuf* v = at->rbnext;
    if (key == 0) return v;
    std::array<double, 7> r{};
    for (double& x : r) {
        if (!v || v->restype != 1040) return v;  // too few reals: dropped
        x = v->resval.rreal;
        v = v->rbnext;
    }
    AA_FSCALA record = DefaultScaleRecord(key);
    record.key = key;
    record.values[0] = r[6];
    record.values[1] = r[0];
    record.values[2] = ctx.doorLength.value_or(15.0);
    record.values[3] = ctx.doorLength.value_or(20.0);
    record.values[4] = r[1];
    record.values[5] = r[2];
    record.values[6] = r[3];
    record.values[7] = key * 0.1 * ctx.unitFactor;
    record.values[8] = r[5];
    record.values[9] = ctx.unitFactor;
    if (ZcDbObjectPointer<VELM_FSCALA> scales(OpenFScalaObject()); scales)
        scales->scales.SetByKey(key, record);
    return v;
}

const resbuf* ReadFloors(const resbuf* at) {
    const resbuf* v = at->rbnext;
    if (!IsText(v)) return v ? v->rbnext : v;
    for (; IsText(v); v = v->rbnext) {
        std::string_view text = TextOf(v);
        std::size_t used = 0;
        std::optional<double> elevation = host::parseDoublePrefix(text, &used);
        if (!elevation) break;
        std::optional<double> height = host::parseDoublePrefix(text.substr(used));
        if (!height) break;
        SetFloor(*elevation, *height);
    }
    return v;
}

// The names after `at` up to the end marker (taken too) or the end of the
// record; values other than texts are passed over. `keep` null: nothing kept.
const resbuf* ReadNames(const resbuf* at, std::string_view endMarker, std::vector<std::string>* keep,
                        bool unique) {
    const resbuf* v = at->rbnext;
    if (!IsText(v)) return v ? v->rbnext : v;
    for (; v && v->restype != 1001; v = v->rbnext) {
        if (!IsText(v)) continue;
        std::string_view name = TextOf(v);
        if (StartsWithNoCase(name, endMarker)) return v->rbnext;
        if (!keep || name.empty()) continue;
        if (unique && FindInStringArray(*keep, name) >= 0) continue;
        keep->emplace_back(name);
    }
    return v;
}

const resbuf* ReadLayerGroups(const resbuf* at, std::string_view endMarker, bool generating) {
    ZcDbObjectPointer<VELM_GENGRUPPO> groups(OpenGenGruppoObject());
    std::vector<std::string>* list = nullptr;
    if (groups) list = generating ? &groups->generating : &groups->nonGenerating;
    return ReadNames(at, endMarker, list, true);
}

const resbuf* ReadTakeOffList(const resbuf* at, MarkerContext& ctx) {
    std::string_view rest = std::string_view(TextOf(at)).substr(kTakeOffMarker.size());
    std::optional<long long> n = host::parseIntegerPrefix(rest);
    if (!n) return at->rbnext;
    std::vector<std::string>* list = *n >= 0 && *n < 4 ? &ctx.takeOff[static_cast<std::size_t>(*n)] : nullptr;
    return ReadNames(at, kTakeOffEnd, list, false);
}

// Each value is tested against the markers in their order; the value that
// ends a section is tested against the later markers at once.
void WalkMarkers(const resbuf* v, MarkerContext& ctx) {
    while (v && v->restype != 1001) {
        const resbuf* start = v;
        if (IsMarker(v, kScaleMarker)) v = ReadScaleRecord(v, ctx);
        if (IsMarker(v, kFloorsMarker)) v = ReadFloors(v);
        if (IsMarker(v, kGenMarker)) v = ReadLayerGroups(v, kGenEnd, true);
        if (IsMarker(v, kNoGenMarker)) v = ReadLayerGroups(v, kNoGenEnd, false);
        if (IsMarker(v, kTakeOffMarker)) v = ReadTakeOffList(v, ctx);
        if (v == start) v = v->rbnext;
    }
}

void RegisterAppOnce(const char* app) {
    if (!host::ResbufList(zcdbTblSearch("APPID", app, 0))) zcdbRegApp(app);
}

// An empty anonymous block inserted at the origin, carrying the lists 3 to
// 0, each as its number and then its names last first.
void MakeTakeOffInsert(const std::array<std::vector<std::string>, 4>& lists) {
    RegisterAppOnce(kTakeOffDescApp);
    const ads_point origin{0.0, 0.0, 0.0};
    host::ResbufList block(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 1, 2, "*U", 10, origin, 0));
    if (zcdbEntMake(block.get()) != RTNORM) return;
    host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return;
    char name[260] = "";
    zcedGetInput(name, sizeof name);

    host::ResbufList insert(
        zcutBuildList(RTDXF0, "INSERT", 2, name, 8, "0", 10, origin, 50, 0.0, -3, 1001, kTakeOffDescApp, 0));
    resbuf* tail = insert.get();
    while (tail->rbnext) tail = tail->rbnext;
    auto append = [&tail](resbuf* rb) {
        tail->rbnext = rb;
        tail = rb;
    };
    for (int n = 3; n >= 0; --n) {
        append(zcutBuildList(1070, n, 0));
        const std::vector<std::string>& names = lists[static_cast<std::size_t>(n)];
        for (auto it = names.rbegin(); it != names.rend(); ++it) append(zcutBuildList(1000, it->c_str(), 0));
    }
    zcdbEntMake(insert.get());
}

// The entities carrying the application's xdata (only INSERTs when asked).
std::vector<std::array<std::int64_t, 2>> SelectWithApp(const char* app, bool insertsOnly) {
    const host::ResbufList filter(
        insertsOnly ? zcutBuildList(-4, "<and", -3, 1001, app, RTDXF0, "INSERT", -4, "and>", 0)
                    : zcutBuildList(-3, 1001, app, 0));
    std::vector<std::array<std::int64_t, 2>> names;
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return names;
    const std::int32_t count = set.size();
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name e;
        if (set.name(i, e)) names.push_back({e[0], e[1]});
    }
    return names;
}

}  // namespace

int FixRelease5LevelName(std::string& name) {
    if (!StartsWithNoCase(name, "VELM")) return 0;
    const std::size_t dollar = name.find('$', 4);
    if (dollar == std::string::npos) return 0;
    const std::size_t under = name.find('_', dollar);
    if (under == std::string::npos) return 0;
    name[under] = '.';
    return 1;
}

void RenameRelease5LevelLayers() {
    ZcDbDatabase* db = SettingsDatabase();
    if (!db) return;
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
        if (!table) return;
        ZcDbSymbolTableIterator* it = nullptr;
        if (table->newIterator(it) == Zcad::eOk && it) {
            for (it->start(); !it->done(); it->step()) {
                ZcDbObjectId id;
                if (it->getRecordId(id) == Zcad::eOk) ids.push_back(id);
            }
            delete it;
        }
    }
    for (const ZcDbObjectId& id : ids) {
        ZcDbObjectPointer<ZcDbLayerTableRecord> layer(id, ZcDb::kForRead);
        if (!layer) continue;
        std::string name = layer->name();
        if (!FixRelease5LevelName(name)) continue;
        // Closed for read, then opened again for write.
        if (layer.open(id, ZcDb::kForWrite) != Zcad::eOk) continue;
        layer->setName(name);  // a name taken already leaves the old one
    }
}

void StripRelease5PitchPrefix() {
    host::ResbufList apps(zcutBuildList(RTSTR, kRelease5PitchApp, 0));
    for (const auto& e : SelectWithApp(kRelease5PitchApp, false)) {
        const ads_name ent = {e[0], e[1]};
        host::ResbufList list(zcdbEntGetX(ent, apps.get()));
        resbuf* app = FindXDataApp(list.get(), kRelease5PitchApp);
        if (!app) continue;
        resbuf* first = app->rbnext;
        if (IsText(first)) {
            std::string text = TextOf(first);
            if (text.size() > 2 && StartsWithNoCase(text, "3D")) host::rbSetString(first, text.substr(2));
        }
        zcdbEntMod(list.get());
    }
}

void ConvertRelease5Drawing() {
    const auto inserts = SelectWithApp(kRelease5SetupApp, true);
    if (inserts.empty()) return;
    ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(false));
    if (!setup) return;
    zcutPrintf("\nConverting drawing from release 5 of Velmor");
    RenameRelease5LevelLayers();
    StripRelease5PitchPrefix();

    host::ResbufList apps(zcutBuildList(RTSTR, kRelease5SetupApp, 0));
    const ads_name last = {inserts.back()[0], inserts.back()[1]};
    host::ResbufList record(zcdbEntGetX(last, apps.get()));
    for (const auto& e : inserts) {
        const ads_name ent = {e[0], e[1]};
        zcdbEntDel(ent);
    }

    const resbuf* app = FindXDataApp(record.get(), kRelease5SetupApp);
    MarkerContext ctx;
    double unitFactor = 1.0;
    if (!setup->getReal(SetupVar::SFTMTCM, unitFactor)) unitFactor = 1.0;
    const FixedResult fixed = app ? ReadFixedPart(*setup, app->rbnext) : FixedResult{};
    setup.close();
    if (!app) return;
    if (fixed.elevation && fixed.height) SetFloor(*fixed.elevation, *fixed.height);

    ctx.unitFactor = fixed.unitFactor.value_or(unitFactor);
    ctx.doorLength = fixed.doorLength;
    WalkMarkers(fixed.rest, ctx);

    const bool anyName =
        std::any_of(ctx.takeOff.begin(), ctx.takeOff.end(), [](const auto& l) { return !l.empty(); });
    if (anyName) MakeTakeOffInsert(ctx.takeOff);
}
