// The wall properties palette (see the header). The record is read only
// under its own application name, so another application's reals on the
// same wall never pass for a height; a record shorter than five values is
// completed with the defaults before a value is written into it.
#include "walls/editing/dlg_ddmuro.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/units.h"
#include "host/ed/adspick.h"
#include "host/ed/docman.h"
#include "host/util/nocase.h"
#include "resources/velmresources.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/editing/wall_lines.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/contour_highlight.h"

namespace {

constexpr int IDC_HEIGHT = 1036, IDC_OFFSET = 1002, IDC_BYFLOOR = 1228, IDC_EDGE_BOTH = 1030, IDC_KEEP = 1201,
              IDC_PERIMETER = 1231, IDC_APPLY = 1230, IDC_CLOSE = 1229;
constexpr int kEdgePictures[4] = {1031, 1032, 1033, 1019};
constexpr const char* kAlreadyOpen = "\nJest już aktywne okno dialogowe z ustawieniami ściany 3D";
constexpr const char* kBadHeight = "Nieprawidłowa wartość dla wysokości ściany";
constexpr const char* kNotAWall = "\nWybrany element nie jest ani linią, ani łukiem reprezentującym ścianę";

// The open palette, and the one closed last: a palette closes from its own
// button handler, while the dialog driver still holds it, so it is freed
// only when the next one opens or the module unloads.
struct PaletteOwners {
    std::unique_ptr<CDlgDDMuro> open, closed;
};

PaletteOwners& Owners() {
    static PaletteOwners owners;
    return owners;
}

std::unique_ptr<CDlgDDMuro>& OpenOwner() {
    return Owners().open;
}

std::unique_ptr<CDlgDDMuro>& ClosedOwner() {
    return Owners().closed;
}

// The current document locked for writing for the life of the object.
class DocumentLock {
public:
    DocumentLock() : doc_(zcDocManagerPtr()->curDocument()) {
        if (doc_ && zcDocManagerPtr()->lockDocument(doc_, ZcAp::kWrite) != eEdOk) doc_ = nullptr;
    }
    ~DocumentLock() {
        if (doc_) zcDocManagerPtr()->unlockDocument(doc_);
    }
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

private:
    ZcApDocument* doc_;
};

// The pick-first selection as a set the caller frees; nullopt when the
// host call fails (an empty selection is an empty set).
std::optional<host::SelectionSet> PickFirstSet() {
    resbuf* grips = nullptr;
    resbuf* picks = nullptr;
    if (zcedSSGetFirst(&grips, &picks) != RTNORM) return std::nullopt;
    host::ResbufList gripList(grips), pickList(picks);
    host::SelectionSet set;
    if (picks && picks->restype == RTPICKS) {
        const ads_name name = {picks->resval.rlname[0], picks->resval.rlname[1]};
        set = host::SelectionSet(name);
    }
    return set;
}

std::string FormatValue(double value) {
    char text[64] = "";
    zcdbRToS(value, 2, -1, text);
    return text;
}

// The nodes of the record after its application name, as far as there are.
std::vector<resbuf*> RecordItems(resbuf* app) {
    std::vector<resbuf*> items;
    for (resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext)
        items.push_back(rb);
    return items;
}

resbuf* LastNode(resbuf* list) {
    while (list && list->rbnext) list = list->rbnext;
    return list;
}

}  // namespace

bool ReadWall3DXData(const ads_name entity, Wall3DXData& out) {
    out = Wall3DXData{};
    host::ResbufList list = ReadWallLineList(entity);
    if (!list) return false;
    const std::vector<resbuf*> items = RecordItems(FindXDataApp(list.get(), kWall3DApp));
    // The values of the record in their order, each only when of its kind.
    const auto real = [&](std::size_t i, double& v) {
        if (i < items.size() && items[i]->restype == 1040) v = items[i]->resval.rreal;
    };
    const auto shortValue = [&](std::size_t i, std::int16_t& v) {
        if (i < items.size() && items[i]->restype == 1070) v = items[i]->resval.rint;
    };
    real(0, out.height);
    real(1, out.offset);
    shortValue(2, out.edgeVisibility);
    real(3, out.keepHeight);
    shortValue(4, out.reserved);
    return true;
}

CDlgDDMuro* WallPalette() {
    return OpenOwner().get();
}

CDlgDDMuro::CDlgDDMuro() : CDialog(IDD_DDMURO, nullptr) {
    HandleCommand(BN_CLICKED, IDC_BYFLOOR, [this] { Exchange(&CDlgDDMuro::OnByFloor); });
    HandleCommand(EN_CHANGE, IDC_HEIGHT, [this] { Exchange(&CDlgDDMuro::OnHeightChange); });
    HandleCommand(BN_CLICKED, IDC_APPLY, [this] { OnApply(); });
    HandleCommand(BN_CLICKED, IDC_PERIMETER, [this] { OnPerimeter(); });
    HandleCommand(BN_CLICKED, IDC_CLOSE, [this] { OnCancel(); });
    for (int i = 0; i < 4; ++i)
        HandleCommand(STN_CLICKED, kEdgePictures[i], [this, i] {
            if (m_exchanging) return;
            m_exchanging = true;
            UpdateData(TRUE);
            SetEdge(i);
            UpdateData(FALSE);
            m_exchanging = false;
        });
}

CDlgDDMuro::~CDlgDDMuro() = default;

BOOL CDlgDDMuro::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

void CDlgDDMuro::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_HEIGHT, m_heightText);
    DDX_Text(dx, IDC_OFFSET, m_offsetText);
    DDX_Check(dx, IDC_BYFLOOR, m_byFloor);
    DDX_Radio(dx, IDC_EDGE_BOTH, m_edgeVisibility);
    DDX_Check(dx, IDC_KEEP, m_keepHeight);
}

// Controls into the fields, the handler, the fields back; the write-back
// changes the height edit, whose change must not run a handler again.
void CDlgDDMuro::Exchange(void (CDlgDDMuro::*change)()) {
    if (m_exchanging) return;
    m_exchanging = true;
    UpdateData(TRUE);
    (this->*change)();
    UpdateData(FALSE);
    m_exchanging = false;
}

void CDlgDDMuro::OnByFloor() {
    if (m_byFloor) m_heightText.clear();
}

void CDlgDDMuro::OnHeightChange() {
    m_byFloor = m_heightText.empty() ? 1 : 0;
}

void CDlgDDMuro::SetEdge(int edge) {
    m_edgeVisibility = edge;
}

LRESULT CDlgDDMuro::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kKeepFocusMessage) return TRUE;
    return CDialog::WindowProc(msg, wp, lp);
}

bool CDlgDDMuro::IsWallEntity(const ads_name entity) const {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list) return false;
    const resbuf* type = FindRbCode(list.get(), 0);
    const resbuf* layer = FindRbCode(list.get(), 8);
    if (!type || !type->resval.rstring || !layer || !layer->resval.rstring) return false;
    const std::string kind = type->resval.rstring;
    if (!zcutEqualsNoCase(kind, "LINE") && !zcutEqualsNoCase(kind, "ARC")) return false;
    std::string name = layer->resval.rstring;
    if (m_levels) {
        name = name.substr(0, name.find('$'));
        for (const std::string& wall : m_wallLayers)
            if (zcutEqualsNoCase(name, "VELM" + wall)) return true;
        return false;
    }
    for (const std::string& wall : m_wallLayers)
        if (zcutEqualsNoCase(name, wall)) return true;
    return false;
}

void CDlgDDMuro::TakeWalls(const ads_name set) {
    m_walls.clear();
    std::int32_t n = 0;
    if (set[0] == 0 && set[1] == 0) return;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM && IsWallEntity(e)) m_walls.push_back({e[0], e[1]});
    }
}

void CDlgDDMuro::LoadFromWalls() {
    m_offsetText = "0.0";
    m_heightText.clear();
    m_edgeVisibility = 0;
    m_keepHeight = 0;
    m_byFloor = 1;
    if (m_walls.empty()) return;
    // Per value: unset, equal so far (with the value), or differing.
    struct State {
        bool set = false, differing = false;
        double value = 0.0;
        void Take(double v) {
            if (!set) {
                set = true;
                value = v;
            } else if (v != value) {
                differing = true;
            }
        }
    } height, offset, edge, keep;
    {
        DocumentLock lock;
        for (const auto& w : m_walls) {
            const ads_name e = {w[0], w[1]};
            Wall3DXData data;
            ReadWall3DXData(e, data);
            height.Take(data.height);
            offset.Take(data.offset);
            edge.Take(data.edgeVisibility);
            keep.Take(std::trunc(data.keepHeight));
        }
    }
    m_offsetText = offset.differing ? kDiffering : FormatValue(offset.value);
    if (height.differing) {
        m_heightText = kDiffering;
        m_byFloor = 0;
    } else if (height.value != 0.0) {
        m_heightText = FormatValue(height.value);
        m_byFloor = 0;
    }
    m_edgeVisibility = edge.differing ? -1 : static_cast<int>(edge.value);
    m_keepHeight = keep.differing ? 2 : static_cast<int>(keep.value);
    m_exchanging = true;
    UpdateData(FALSE);
    m_exchanging = false;
}

void CDlgDDMuro::OnApply() {
    m_exchanging = true;
    UpdateData(TRUE);
    m_exchanging = false;
    const bool heightGiven = !zcutEqualsNoCase(m_heightText, kDiffering) || m_byFloor;
    const bool offsetGiven = !zcutEqualsNoCase(m_offsetText, kDiffering);
    const bool edgeGiven = m_edgeVisibility >= 0;
    const bool keepGiven = m_keepHeight != 2;
    double height = 0.0, offset = 0.0;
    // A height is a length; the floor line may move either way, as far as
    // a building reaches.
    if (m_byFloor) {
        height = 0.0;
    } else if (heightGiven) {
        const std::optional<double> h = TypedNumber(m_heightText);
        if (!h || *h == 0.0) {
            ModuleMessageBox(kBadHeight, MB_OK | MB_ICONEXCLAMATION, 0);
            return;
        }
        if (!NumberFieldInRange(*h, NumberRange::Size)) return;
        height = *h;
    }
    if (offsetGiven) {
        const std::optional<double> o = TypedNumber(m_offsetText);
        if (!o) {
            ModuleMessageBox(kBadHeight, MB_OK | MB_ICONEXCLAMATION, 0);
            return;
        }
        if (!NumberFieldInRange(*o, NumberRange::Coordinate)) return;
        offset = *o;
    }
    if (m_walls.empty()) return;
    const Wall3DXData given{heightGiven ? height : 0.0, offsetGiven ? offset : 0.0,
                            static_cast<std::int16_t>(edgeGiven ? m_edgeVisibility : 0),
                            keepGiven && m_keepHeight ? 1.0 : 0.0, 0};
    const bool isGiven[4] = {heightGiven, offsetGiven, edgeGiven, keepGiven};
    DocumentLock lock;
    // Registered only as the first record is written: a palette closed
    // without applying leaves the drawing as it was.
    RegisterXDataApp(kWall3DApp);
    for (const auto& w : m_walls) {
        const ads_name e = {w[0], w[1]};
        host::ResbufList list = ReadWallLineList(e);
        if (!list) continue;
        resbuf* app = FindXDataApp(list.get(), kWall3DApp);
        if (!app) {
            const bool hasXData = FindRbCode(list.get(), -3) != nullptr;
            resbuf* record = hasXData
                                 ? zcutBuildList(1001, kWall3DApp, 1040, given.height, 1040, given.offset,
                                                 1070, given.edgeVisibility, 1040, given.keepHeight, 1070,
                                                 static_cast<std::int16_t>(0), 0)
                                 : zcutBuildList(-3, 1001, kWall3DApp, 1040, given.height, 1040, given.offset,
                                                 1070, given.edgeVisibility, 1040, given.keepHeight, 1070,
                                                 static_cast<std::int16_t>(0), 0);
            LastNode(list.get())->rbnext = record;
        } else {
            // A short record is first completed with the defaults, so each
            // value lands in its own place.
            std::vector<resbuf*> items = RecordItems(app);
            const Wall3DXData defaults;
            const int kinds[5] = {1040, 1040, 1070, 1040, 1070};
            resbuf* last = items.empty() ? app : items.back();
            for (std::size_t i = items.size(); i < 5; ++i) {
                resbuf* node = i == 0   ? zcutBuildList(1040, defaults.height, 0)
                               : i == 1 ? zcutBuildList(1040, defaults.offset, 0)
                               : i == 2 ? zcutBuildList(1070, defaults.edgeVisibility, 0)
                               : i == 3 ? zcutBuildList(1040, defaults.keepHeight, 0)
                                        : zcutBuildList(1070, defaults.reserved, 0);
                node->rbnext = last->rbnext;
                last->rbnext = node;
                last = node;
                items.push_back(node);
            }
            for (int i = 0; i < 4; ++i) {
                if (!isGiven[i]) continue;
                resbuf* item = items[i];
                item->restype = static_cast<short>(kinds[i]);
                if (kinds[i] == 1070)
                    item->resval.rint = given.edgeVisibility;
                else
                    item->resval.rreal = i == 0 ? given.height : i == 1 ? given.offset : given.keepHeight;
            }
        }
        zcdbEntMod(list.get());
    }
}

void CDlgDDMuro::OnPerimeter() {
    ads_name picked = {0, 0};
    double level = 0.0;
    {
        DocumentLock lock;
        for (;;) {
            ads_point at;
            const int rc = zcedEntSel("\nWybierz linię lub łuk zewnętrznego obwodu:", picked, at);
            if (rc == RTNORM && (CheckEntityLevelLayer(picked, "LINE", false, level, false, false) == 1 ||
                                 CheckEntityLevelLayer(picked, "ARC", false, level, false, false) == 1))
                break;
            if (rc == RTCAN || (rc != RTNORM && rc != RTERROR)) return;
            if (rc == RTERROR && !PickHitNothing()) return;
            zcutPrintf("%s", kNotAWall);
        }
    }
    host::SelectionSet set;
    {
        DocumentLock lock;
        CFACCIATE graph;
        graph.level = level;
        graph.floorHeight = GetFloorHeightAt(level);
        graph.Build(false, false, nullptr, false);
        graph.MergePillars();
        WallFace* face = graph.FindFaceById(picked);
        if (!face) {
            zcutPrintf("%s", kNotAWall);
            graph.Clear();
            return;
        }
        OwnedList<VertexNode> ring(graph.ApproximateContourCurves(face, nullptr, 0, true, -1.0));
        if (!ring) {
            HighlightContour(ring.get(), 1, true);
            graph.Clear();
            return;
        }
        const auto add = [&set](const FaceEdge* e) {
            if (!e->hasEntity()) return;
            ads_name result;
            // An entity neither added nor found starts a new set.
            if (set && (zcedSSAdd(e->entity, set.get(), result) == RTNORM ||
                        zcedSSMemb(e->entity, set.get()) == RTNORM))
                return;
            zcedSSAdd(e->entity, nullptr, set.put());
        };
        for (WallFace* f = graph.usedFaces; f; f = f->next) {
            for (const FaceEdge* e = f->edges; e; e = e->next) add(e);
            for (const FaceEdge* e = f->arcEdges; e; e = e->next) add(e);
        }
        graph.Clear();
    }
    // The new pick-first selection refills the palette through the
    // notification.
    zcedSSSetFirst(set ? set.get() : nullptr, nullptr);
}

void CDlgDDMuro::RefillFromPickFirst() {
    std::optional<host::SelectionSet> set = PickFirstSet();
    if (!set) return;
    const ads_name none = {0, 0};
    TakeWalls(*set ? set->get() : none);
    LoadFromWalls();
}

void CDlgDDMuro::OnCancel() {
    m_walls.clear();
    EndDialog(IDCANCEL);
    DestroyWindow();
    if (OpenOwner().get() == this) ClosedOwner() = std::move(OpenOwner());
}

void WallPalettePickFirstChanged() {
    if (CDlgDDMuro* palette = WallPalette()) palette->RefillFromPickFirst();
}

void CloseWallPalette() {
    if (CDlgDDMuro* palette = WallPalette()) palette->OnCancel();
}

void DropClosedWallPalette() {
    ClosedOwner().reset();
}

void CmdDDWall() {
    if (WallPalette()) {
        zcutPrintf("%s", kAlreadyOpen);
        return;
    }
    std::optional<host::SelectionSet> set = PickFirstSet();
    if (!set) return;
    CZcModuleResourceOverride use(VelmResourceHandle());
    auto palette = std::make_unique<CDlgDDMuro>();
    palette->m_levels = SettingInt(SetupVar::VELMLAYERQP) == 0;
    palette->m_wallLayers = ReadWallLayerNames();
    const ads_name none = {0, 0};
    palette->TakeWalls(*set ? set->get() : none);
    if (!palette->Create(IDD_DDMURO, nullptr)) return;
    ClosedOwner().reset();
    OpenOwner() = std::move(palette);
    WallPalette()->LoadFromWalls();
}
