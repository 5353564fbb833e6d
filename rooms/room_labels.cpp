// Room labels: the INSERT with its attributes and the room record
// ("VELM5$_$ETICHETTEVANI-": template name, variables 60 to 84, leader
// flag, height-from-field flag, interior and insertion points, and the
// link to the outline polyline), written from a placed label object and
// read back to redraw the label.
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/entity_data.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/units.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "objects/placement/object_run.h"
#include "rooms/labels/label_templates.h"
#include "rooms/record_insert.h"
#include "rooms/room_calc.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kMissingVariable = "\nWewnętrzny błąd dla wartości indeksowanych od 60 do 79";
constexpr const char* kRecordTooLong =
    "\nPomieszczenie „%s”: dane etykiety mają %zu bajtów, a obiekt mieści najwyżej %zu; etykieta nie "
    "została narysowana, skróć nazwę lub opisy pomieszczenia";

void Append(host::ResbufList& head, resbuf*& tail, resbuf* more) {
    if (!more) return;
    if (tail)
        tail->rbnext = more;
    else
        head.reset(more);
    for (tail = more; tail->rbnext;) tail = tail->rbnext;
}

resbuf* PointRb(int code, const Point3& p) {
    ads_point a{p.x, p.y, p.z};
    return zcutBuildList(code, a, 0);
}

// The label's leader from the block origin to the interior point.
bool AddLeader(const ObjContext& c, const std::string& layerKey, double level, const Point3& interior) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = layerKey;
    EnsureLayer(layer, layers, true, level, false);
    const double dx = interior.x - c.insertionPoint[0], dy = interior.y - c.insertionPoint[1];
    const double cs = std::cos(-c.rotation), sn = std::sin(-c.rotation);
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return false;
    ZcDbObjectPointer<ZcDbBlockTableRecord> block;
    {
        ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForRead);
        ZcDbObjectId blockId;
        if (!table || table->getAt(c.blockName, blockId) != Zcad::eOk) return false;
        if (block.open(blockId, ZcDb::kForWrite) != Zcad::eOk) return false;
    }
    // Closed once the block holds it, deleted when the block refuses it.
    ZcDbObjectPointer<ZcDbLine> line(
        new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(dx * cs - dy * sn, dx * sn + dy * cs, 0)));
    line->setLayer(layer);
    return block->appendZcDbEntity(line.get()) == Zcad::eOk;
}

// The block the label's run made, which no label will reference now: an
// anonymous block, made by this run alone, is erased.
void DropRunBlock(const std::string& name) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || name.empty() || name.front() != '*') return;
    ZcDbObjectId blockId;
    {
        ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForRead);
        if (!table || table->getAt(name, blockId) != Zcad::eOk) return;
    }
    ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForWrite);
    if (block) block->erase();
}

}  // namespace

std::string ShortRoomName(const std::string& name) {
    std::size_t at = 0;
    for (int count = 0; at < name.size() && count < 40; ++count) host::decodeUtf8(name, at);
    return at < name.size() ? name.substr(0, at) + "…" : name;
}

int CCALCVANI::CreateRoomLabel() {
    if (!context || context->blockName.empty()) return 0;
    ObjContext& c = *context;
    zcdbRegApp(kRoomLabelApp);
    zcdbRegApp(kRoomOutlineLinkApp);
    const ObjVarIndex vars(c.vars);
    for (int n = 60; n <= 84; ++n)
        if (!vars.find(n)) {
            zcutPrintf(kMissingVariable);
            return 0;
        }
    host::ResbufList head;
    resbuf* tail = nullptr;
    Append(head, tail, zcutBuildList(1001, kRoomLabelApp, 1000, templateName.c_str(), 0));
    for (int n = 60; n <= 84; ++n) {
        const ObjVar* v = vars.find(n);
        Append(head, tail,
               v->type == u'S' ? zcutBuildList(1000, v->text.c_str(), 0) : zcutBuildList(1040, v->value, 0));
    }
    Append(head, tail,
           zcutBuildList(1040, static_cast<double>(drawLeader), 1070, heightFromField ? 1 : 0, 0));
    const Point3 at{c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
    Append(head, tail, PointRb(1011, interiorPoint));
    Append(head, tail, PointRb(1011, at));
    if (!outlineHandle.empty())
        Append(head, tail,
               zcutBuildList(1001, kRoomOutlineLinkApp, 1070, polylineRoom ? 1 : 0, 1005,
                             outlineHandle.c_str(), 0));

    // The record is the label: one the host would refuse (a name or a
    // description of tens of kilobytes) is refused here, naming the room,
    // before anything of the label is made.
    if (const std::size_t bytes = XDataBytes(head.get()); bytes > kEntityXDataLimit) {
        const ObjVar* name = vars.find(75);
        zcutPrintf(kRecordTooLong, ShortRoomName(name ? name->text : std::string()).c_str(), bytes,
                   kEntityXDataLimit);
        DropRunBlock(c.blockName);
        host::noteFailed();
        return 0;
    }
    double value = 0.0;
    std::string leaderLayer;
    GetObjVar(20, value, leaderLayer, c.vars);
    if (drawLeader && !leaderLayer.empty() && zcdbSNValid(leaderLayer.c_str(), 0) == RTNORM &&
        !AddLeader(c, leaderLayer, level, interiorPoint))
        return 0;
    const std::string layer = SettingInt(SetupVar::VELMLAYERQP) != 0 ? c.insertLayer : labelLayer;
    for (int i = 0; i < 3; ++i) c.scale[i] *= labelScale[i];
    ads_name made;
    const int ok = WriteRecordInsert(c, layer, at, c.rotation, std::move(head), made);
    for (int i = 0; i < 3; ++i) c.scale[i] /= labelScale[i] != 0.0 ? labelScale[i] : 1.0;
    return ok;
}

bool CCALCVANI::ReadFromLabel(const ads_name label, const std::string* newCard, const std::string* oldCard,
                              int rowOverride) {
    const host::ResbufList apps(zcutBuildList(RTSTR, kRoomLabelApp, RTSTR, kRoomOutlineLinkApp, 0));
    const host::ResbufList list(zcdbEntGetX(label, apps.get()));
    const resbuf* app = FindXDataApp(list.get(), kRoomLabelApp);
    if (!app || !app->rbnext || app->rbnext->restype != 1000) return false;
    templateName = MapLabelTemplateName(app->rbnext->resval.rstring ? app->rbnext->resval.rstring : "");
    LabelTemplate names;
    if (!ReadUaFile(templateName, names, kRoomLabelApp) || !ReadLabelFieldSet()) return false;
    labelDefinition = names.labelBlock;
    cardDefinition = names.cardBlock;
    rowDefinition = names.rowBlock;
    totalDefinition = names.totalBlock;

    int mask = 0;
    bool heightFlagSeen = false;
    const resbuf* rb = app->rbnext->rbnext;
    for (int n = 60; rb && rb->restype != 1011 && rb->restype != 1001 && n <= 86; ++n, rb = rb->rbnext) {
        const bool text = rb->restype == 1000;
        const double real = rb->restype == 1040   ? rb->resval.rreal
                            : rb->restype == 1070 ? rb->resval.rint
                                                  : 0.0;
        switch (n) {
            case 60:
                livingArea = fixedLivingArea = real;
                break;
            case 61:
                windowArea = fixedWindowArea = real;
                break;
            case 62:
                openingArea = real;
                break;
            case 63:
                perimeter = real;
                break;
            case 64:
                nonUsableArea = real;
                break;
            case 65:
                ventilationArea = fixedVentilationArea = real;
                break;
            case 66:
                mask = static_cast<int>(real);
                break;
            case 67:
                wallPerimeter = real;
                break;
            case 69:
                surface = real;
                break;
            case 85:
                drawLeader = static_cast<int>(real);
                break;
            case 86:
                heightFromField = real > 0.0;
                heightFlagSeen = true;
                break;
            default:
                break;
        }
        if (n >= 85) continue;
        CDefEti* f = Field(n);
        if (text) {
            const std::string value = rb->resval.rstring ? rb->resval.rstring : "";
            if (n == 79) {
                if (newCard) {
                    // Only the labels of the renamed card are redrawn.
                    if (!zcutEqualsNoCase(value, oldCard ? *oldCard : std::string())) return false;
                    cardName = *newCard;
                } else {
                    cardName = value;
                }
                if (f) f->value = cardName;
                continue;
            }
            if (!f) continue;
            f->value = value;
            if (n == 75) roomNameForOpenings = value;
            if (n == strInfVani) roomTextForOpenings = value;
            continue;
        }
        if (n == 78) {
            rowNumber = rowOverride >= 0 ? rowOverride : static_cast<int>(real);
            if (f) f->value = std::to_string(rowNumber);
            continue;
        }
        if (!f) continue;
        if (n == numInfVani) roomNumberForOpenings = real;
        if (n == 71) {
            f->value = std::to_string(static_cast<int>(real));
        } else {
            char buffer[64];
            zcdbRToS(real, -1, -1, buffer);
            f->value = buffer;
        }
    }
    if (!heightFlagSeen) heightFromField = true;
    fixedVentilationFlag = fixedWindowFlag = fixedLivingFlag = false;
    if (mask > 3) {
        fixedVentilationFlag = true;
        mask -= 4;
    }
    if (mask > 1) {
        fixedWindowFlag = true;
        mask -= 2;
    }
    if (mask > 0) fixedLivingFlag = true;
    if (!fixedLivingFlag) fixedLivingArea = 0.0;
    if (!fixedWindowFlag) fixedWindowArea = 0.0;
    if (!fixedVentilationFlag) fixedVentilationArea = 0.0;

    for (; rb && rb->restype != 1011; rb = rb->rbnext) {
    }
    if (rb) {
        interiorPoint = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
        rb = rb->rbnext;
    }
    if (rb && rb->restype == 1011)
        labelPoint = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
    if (const resbuf* link = FindXDataApp(list.get(), kRoomOutlineLinkApp)) {
        const resbuf* kind = link->rbnext;
        if (kind && kind->restype == 1070) polylineRoom = kind->resval.rint != 0;
        if (kind && kind->rbnext && kind->rbnext->restype == 1005 && kind->rbnext->resval.rstring)
            outlineHandle = kind->rbnext->resval.rstring;
    }
    if (const resbuf* l = FindRbCode(list.get(), 8)) labelLayer = l->resval.rstring ? l->resval.rstring : "";
    if (const resbuf* r = FindRbCode(list.get(), 50)) labelRotation = r->resval.rreal;
    for (int i = 0; i < 3; ++i)
        if (const resbuf* s = FindRbCode(list.get(), 41 + i)) labelScale[i] = s->resval.rreal;
    return true;
}

void CCALCVANI::LoadFromLabel(const ads_name label, const std::string* newCard, const std::string* oldCard,
                              int rowOverride, int eraseRow, bool highlightFixed) {
    if (!ReadFromLabel(label, newCard, oldCard, rowOverride)) return;

    // The room's row goes first; without its card nothing else changes.
    ads_name row{0, 0};
    const std::string rowCard = oldCard ? *oldCard : cardName;
    const bool rowErased = EraseCardRow(&rowCard, eraseRow, row);
    if (!cardDefinition.empty() && !FindRoomCard()) {
        if (rowErased) zcdbEntDel(row);
        return;
    }
    ads_name old{label[0], label[1]};
    zcdbEntDel(old);
    StartRun(labelDefinition, labelPoint, labelRotation, "");
    if (highlightFixed && (fixedLivingFlag || fixedWindowFlag || fixedVentilationFlag))
        SetObjVar(46, 0, 0, u'R', "", 1.0, "", 0, 0, context->vars);
    Point3 preset = interiorPoint;
    RunInsertParamObject(*context, 1, &preset);
    interiorPoint.z = preset.z;
    if (context->blockName.empty() || !CreateRoomLabel()) {
        // The old label and its row stay rather than vanish.
        zcdbEntDel(old);
        if (rowErased) zcdbEntDel(row);
        FreeRun();
        return;
    }
    FreeRun();
    if (!cardDefinition.empty() && !rowDefinition.empty()) CreateCardRow();
}
