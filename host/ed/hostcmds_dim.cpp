// Dimensioning: "_DIM" (a dimension mode that takes sub-commands until
// "_EXIT"), "_DIM1" (one sub-command), and "_-DIMSTYLE"/"_DIMSTYLE" (Save
// and Restore of the current dimension settings, Restore the default).
//
// Sub-commands: "_HOR", "_VER", "_ALI", "_ROT" (linear: two extension-line
// origins, the dimension-line location, the text), "_ANGULAR" (two lines
// picked, the arc location, the text and an optional text location; or
// Enter for a vertex, then the vertex, two endpoints, the arc location, the
// text and an optional text location) and "_TEDIT" (the last dimension, or the one
// whose text lies nearest a point, and its new text position).
//
// Each dimension gets its anonymous "*D" block: extension lines (offset by
// the style's DIMEXO, past the dimension line by DIMEXE), the dimension
// line or arc, a filled arrow at each end (DIMASZ) and the text (DIMTXT)
// above the line by DIMGAP, all sizes times DIMSCALE. The sizes are the
// style's; a DIMSCALE or DIMTXT current when the dimension is made that
// differs from its style's is written into the dimension as its own
// override, so every reader draws it the same size. The text is the
// measurement times DIMLFAC with DIMDEC decimals and DIMZIN's zero
// suppression; a typed text replaces it, "<>" inside it standing for it.
#include <algorithm>
#include <cmath>
#include <optional>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbdim.h"
#include "host/db/dbents.h"
#include "host/db/dbsymtb.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The group codes of the style record's scale and text height, which the
// dimension's own overrides use too.
constexpr int kDimscaleCode = 40;
constexpr int kDimtxtCode = 140;

// -------------------------------------------------------------- the text

// The measurement as the dimension shows it.
std::string formatMeasurement(double value, bool angle) {
    int decimals = sysVarShort("DIMDEC");
    int zin = sysVarShort("DIMZIN");
    std::string s = ads_text::fixed(value, decimals);
    if ((zin & 8) && s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if ((zin & 4) && s.size() > 1 && s[0] == '0' && s[1] == '.') s.erase(0, 1);
    if ((zin & 4) && s.size() > 2 && s[0] == '-' && s[1] == '0' && s[2] == '.') s.erase(1, 1);
    if (s == "-0") s = "0";
    return angle ? s + "°" : s;
}

std::string displayedText(const ZcDbDimension* dim) {
    bool angle = dim->dimensionType() == 5 || dim->dimensionType() == 2;
    double m = dim->measurement();
    std::string measured = formatMeasurement(angle ? m * 180 / kPi : m * sysVarReal("DIMLFAC"), angle);
    const std::string& over = dim->dimensionText();
    if (over.empty()) return measured;
    std::string out = over;
    size_t p = out.find("<>");
    if (p != std::string::npos) out.replace(p, 2, measured);
    return out;
}

// ------------------------------------------------------------- the block

struct Sizes {
    double asz = 2.5, exo = 0.625, exe = 1.25, txt = 2.5, gap = 0.625;
};

// The sizes as the dimension itself records them: its style's, its own
// text height and scale where it overrides them. The current variables
// play no part, so the picture drawn again later, or by another reader,
// has the size the dimension was made with.
Sizes styleSizes(ZcDbDatabase* db, const ZcDbDimension* dim) {
    Sizes s;
    double k = 1.0;
    ZcDbDimStyleTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, db->recordId(db->dimStyleTableId(), dim->dimensionStyleName()), ZcDb::kForRead) ==
        Zcad::eOk) {
        s = {rec->dimasz(), rec->dimexo(), rec->dimexe(), rec->dimtxt(), rec->dimgap()};
        k = rec->dimscale();
        rec->close();
    }
    dim->ownReal(kDimtxtCode, s.txt);
    dim->ownReal(kDimscaleCode, k);
    if (!(k > 0)) k = 1.0;
    s.asz *= k, s.exo *= k, s.exe *= k, s.txt *= k, s.gap *= k;
    return s;
}

ZcGeVector3d unit(const ZcGeVector3d& v) {
    double l = v.length();
    return l > 0 ? v / l : ZcGeVector3d(1, 0, 0);
}

struct Picture {
    std::vector<ZcDbEntity*> ents;
    void line(const ZcGePoint3d& a, const ZcGePoint3d& b) { ents.push_back(new ZcDbLine(a, b)); }
    // A filled arrow with its tip at `tip`, pointing along `dir`.
    void arrow(const ZcGePoint3d& tip, const ZcGeVector3d& dir, double size) {
        ZcGeVector3d d = unit(dir), n(-d.y, d.x, 0);
        ZcGePoint3d back = tip - d * size;
        ents.push_back(
            new ZcDbSolid(tip, back + n * (size / 6), back - n * (size / 6), back - n * (size / 6)));
    }
    void text(const ZcGePoint3d& at, const std::string& s, double h, double rot) {
        auto* t = new ZcDbText(at, s, h, rot);
        t->setHorizontalMode(ZcDb::kTextCenter);
        t->setAlignmentPoint(at);
        ents.push_back(t);
    }
};

// Readable text angle: never upside down.
double readable(double a) {
    a = std::remainder(a, 2 * kPi);
    if (a > kPi / 2 + 1e-9) a -= kPi;
    if (a < -kPi / 2 - 1e-9) a += kPi;
    return a;
}

// The picture of a linear dimension whose line runs at angle rot through
// `line`; returns the default text position.
ZcGePoint3d drawLinear(Picture& pic, const ZcGePoint3d& x1, const ZcGePoint3d& x2, const ZcGePoint3d& line,
                       double rot, const Sizes& s, const std::string& text,
                       const std::optional<ZcGePoint3d>& textAt) {
    ZcGeVector3d u(std::cos(rot), std::sin(rot), 0);
    ZcGePoint3d d1 = line + u * (x1 - line).dotProduct(u), d2 = line + u * (x2 - line).dotProduct(u);
    for (auto [x, d] : {std::pair{x1, d1}, std::pair{x2, d2}}) {
        ZcGeVector3d off = d - x;
        if (off.length() > 1e-12) {
            ZcGeVector3d n = unit(off);
            pic.line(x + n * s.exo, d + n * s.exe);
        }
    }
    pic.line(d1, d2);
    ZcGeVector3d along = unit(d2 - d1);
    pic.arrow(d1, -along, s.asz);
    pic.arrow(d2, along, s.asz);
    double trot = readable(std::atan2(along.y, along.x));
    ZcGeVector3d up(-std::sin(trot), std::cos(trot), 0);
    ZcGePoint3d mid = d1 + (d2 - d1) / 2;
    ZcGePoint3d at = textAt ? *textAt : mid + up * (s.gap + s.txt / 2);
    pic.text(at, text, s.txt, trot);
    return at;
}

ZcGePoint3d drawAngular(Picture& pic, const ZcGePoint3d& c, const ZcGePoint3d& x1, const ZcGePoint3d& x2,
                        const ZcGePoint3d& arcPt, const Sizes& s, const std::string& text,
                        const std::optional<ZcGePoint3d>& textAt) {
    double r = (arcPt - c).length();
    double a1 = std::atan2(x1.y - c.y, x1.x - c.x), a2 = std::atan2(x2.y - c.y, x2.x - c.x);
    double sweep = std::remainder(a2 - a1, 2 * kPi);
    if (sweep < 0) std::swap(a1, a2), sweep = -sweep;
    auto* arc = new ZcDbArc(c, r, a1, a2);
    pic.ents.push_back(arc);
    for (double a : {a1, a2}) {
        ZcGeVector3d u(std::cos(a), std::sin(a), 0);
        const ZcGePoint3d& x = a == a1 ? x1 : x2;
        double from = (x - c).length();
        if (std::fabs(from - r) > 1e-12)
            pic.line(c + u * (from + (r > from ? s.exo : -s.exo)), c + u * (r + s.exe));
    }
    ZcGeVector3d t1(-std::sin(a1), std::cos(a1), 0), t2(-std::sin(a2), std::cos(a2), 0);
    pic.arrow(c + ZcGeVector3d(std::cos(a1), std::sin(a1), 0) * r, -t1, s.asz);
    pic.arrow(c + ZcGeVector3d(std::cos(a2), std::sin(a2), 0) * r, t2, s.asz);
    double am = a1 + sweep / 2;
    ZcGePoint3d at =
        textAt ? *textAt : c + ZcGeVector3d(std::cos(am), std::sin(am), 0) * (r + s.gap + s.txt / 2);
    pic.text(at, text, s.txt, readable(am - kPi / 2));
    return at;
}

// The vertex of two lines' angle and a point on each arm: the arms are the
// halves of the lines that bound the quarter the arc point lies in, each
// as long as its line reaches on that side. False for parallel lines.
bool twoLineArms(const ZcGePoint3d& s1, const ZcGePoint3d& e1, const ZcGePoint3d& s2, const ZcGePoint3d& e2,
                 const ZcGePoint3d& arcPt, ZcGePoint3d& c, ZcGePoint3d& x1, ZcGePoint3d& x2,
                 ZcGeVector3d* u1 = nullptr, ZcGeVector3d* u2 = nullptr) {
    ZcGeVector3d d1 = e1 - s1, d2 = e2 - s2;
    double cross = d1.x * d2.y - d1.y * d2.x;
    if (d1.isZeroLength() || d2.isZeroLength() || std::fabs(cross) <= 1e-12 * d1.length() * d2.length())
        return false;
    ZcGeVector3d w = s2 - s1;
    double t = (w.x * d2.y - w.y * d2.x) / cross;
    c = s1 + d1 * t;
    d1 = d1 / d1.length(), d2 = d2 / d2.length();
    // The arc point as a sum of the two directions: the signs pick the quarter.
    ZcGeVector3d r = arcPt - c;
    double a = (r.x * d2.y - r.y * d2.x) / (d1.x * d2.y - d1.y * d2.x);
    double b = (d1.x * r.y - d1.y * r.x) / (d1.x * d2.y - d1.y * d2.x);
    if (a < 0) d1 = -d1;
    if (b < 0) d2 = -d2;
    // A line that stays on the far side of the vertex still gives its arm a
    // point, so the arm keeps its direction.
    const double least = 1e-9 * (1 + r.length());
    auto reach = [&](const ZcGeVector3d& d, const ZcGePoint3d& p, const ZcGePoint3d& q) {
        return std::max({least, (p - c).dotProduct(d), (q - c).dotProduct(d)});
    };
    if (u1) *u1 = d1;
    if (u2) *u2 = d2;
    x1 = c + d1 * reach(d1, s1, e1);
    x2 = c + d2 * reach(d2, s2, e2);
    return true;
}

// Draws (or redraws) the dimension's block; the text at textAt when given.
bool buildBlock(ZcDbDimension* dim, ZcDbDatabase* db, const std::optional<ZcGePoint3d>& textAt) {
    Sizes s = styleSizes(db, dim);
    std::string text = displayedText(dim);
    Picture pic;
    ZcGePoint3d at;
    if (auto* ang = ZcDb3PointAngularDimension::cast(dim)) {
        at = drawAngular(pic, ang->centerPoint(), ang->xLine1Point(), ang->xLine2Point(), ang->arcPoint(), s,
                         text, textAt);
    } else if (auto* two = ZcDb2LineAngularDimension::cast(dim)) {
        ZcGePoint3d c, x1, x2;
        if (!twoLineArms(two->xLine1Start(), two->xLine1End(), two->xLine2Start(), two->xLine2End(),
                         two->arcPoint(), c, x1, x2))
            return false;
        at = drawAngular(pic, c, x1, x2, two->arcPoint(), s, text, textAt);
    } else if (auto* rd = ZcDbRotatedDimension::cast(dim)) {
        at = drawLinear(pic, rd->xLine1Point(), rd->xLine2Point(), rd->dimLinePoint(), rd->rotation(), s,
                        text, textAt);
    } else if (auto* al = ZcDbAlignedDimension::cast(dim)) {
        ZcGeVector3d v = al->xLine2Point() - al->xLine1Point();
        at = drawLinear(pic, al->xLine1Point(), al->xLine2Point(), al->dimLinePoint(), std::atan2(v.y, v.x),
                        s, text, textAt);
    }
    ZcDbBlockTableRecord* block = nullptr;
    ZcDbObjectId blockId = dim->dimBlockId();
    if (blockId.isNull()) {
        ZcDbBlockTable* table = nullptr;
        if (db->getBlockTable(table, ZcDb::kForWrite) != Zcad::eOk) return false;
        block = new ZcDbBlockTableRecord;
        block->setName("*D");
        if (table->add(blockId, block) != Zcad::eOk) {
            delete block;
            table->close();
            for (ZcDbEntity* e : pic.ents) delete e;
            return false;
        }
        table->close();
        dim->setDimBlockId(blockId);
    } else if (zcdbOpenObject(block, blockId, ZcDb::kForWrite) != Zcad::eOk) {
        for (ZcDbEntity* e : pic.ents) delete e;
        return false;
    } else {
        for (ZcDbObjectId id : block->entityIds()) {
            ZcDbEntity* old = nullptr;
            if (zcdbOpenObject(old, id, ZcDb::kForWrite) == Zcad::eOk) {
                old->erase();
                old->close();
            }
        }
    }
    for (ZcDbEntity* e : pic.ents) {
        e->setDatabaseDefaults(db);
        e->setLayer("0");
        e->setColorIndex(0);  // by block: the dimension's own colour
        if (block->appendZcDbEntity(e) == Zcad::eOk)
            e->close();
        else
            delete e;
    }
    block->close();
    dim->setTextPosition(at);
    return true;
}

// The current scale and text height, where they differ from the style's,
// become the dimension's own: it is drawn with them, and so must every
// later picture of it be, whatever the variables are then.
void recordOverrides(ZcDbDimension* dim, ZcDbDatabase* db) {
    double styleScale = 1.0, styleText = 2.5;
    ZcDbDimStyleTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, db->recordId(db->dimStyleTableId(), dim->dimensionStyleName()), ZcDb::kForRead) ==
        Zcad::eOk) {
        styleScale = rec->dimscale();
        styleText = rec->dimtxt();
        rec->close();
    }
    const double scale = sysVarReal("DIMSCALE"), text = sysVarReal("DIMTXT");
    if (scale != styleScale && scale > 0) dim->setOwnReal(kDimscaleCode, scale);
    if (text != styleText && text > 0) dim->setOwnReal(kDimtxtCode, text);
}

ZcDbObjectId appendDimension(ZcDbDimension* dim) {
    ZcDbDatabase* db = commandDatabase();
    if (!db) {
        delete dim;
        return {};
    }
    dim->setDatabaseDefaults(db);
    dim->setDimensionStyle(sysVarString("DIMSTYLE"));
    recordOverrides(dim, db);
    if (!buildBlock(dim, db, std::nullopt)) {
        delete dim;
        return {};
    }
    return appendEntity(dim, db);
}

ZcDbObjectId& lastDimension() {
    static ZcDbObjectId id;
    return id;
}

// --------------------------------------------------------- sub-commands

int askText(std::string& text, const std::string& measured) {
    return host::askText("\nTekst wymiaru <" + measured + ">: ", text, true);
}

int linear(const std::string& kind) {
    double rot = kind == "VERtical" ? kPi / 2 : 0;
    int rc = RTNORM;
    if (kind == "ROtated") {
        double deg = 0;
        if ((rc = askReal("\nKąt linii wymiarowej <0>: ", deg)) == RTCAN) return rc;
        rot = deg * kPi / 180;
    }
    ZcGePoint3d p1, p2, line;
    if ((rc = askPoint("\nPoczątek pierwszej linii pomocniczej: ", p1)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    if ((rc = askPoint("\nPoczątek drugiej linii pomocniczej: ", p2, &p1)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    if ((rc = askPoint("\nPołożenie linii wymiarowej: ", line, &p2)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    ZcDbDimension* dim = kind == "ALigned"
                             ? static_cast<ZcDbDimension*>(new ZcDbAlignedDimension(p1, p2, line))
                             : new ZcDbRotatedDimension(rot, p1, p2, line);
    std::string text;
    rc = askText(text, formatMeasurement(dim->measurement() * sysVarReal("DIMLFAC"), false));
    if (rc == RTCAN) {
        delete dim;
        return rc;
    }
    dim->setDimensionText(rc == RTNORM ? text : "");
    lastDimension() = appendDimension(dim);
    return lastDimension().isNull() ? RTERROR : RTNORM;
}

// A line picked for the angle; RTERROR with ERRNO 52 for Enter.
int pickLine(const char* prompt, ZcGePoint3d& start, ZcGePoint3d& end) {
    for (;;) {
        ads_name en;
        ads_point at;
        int rc = zcedEntSel(prompt, en, at);
        if (rc == RTCAN) return rc;
        if (rc != RTNORM) {
            if (sysVarShort("ERRNO") == 52) return RTERROR;
            continue;  // nothing under the pick: asked again
        }
        ZcDbObjectId id;
        ZcDbLine* line = nullptr;
        if (zcdbGetObjectId(id, en) == Zcad::eOk && zcdbOpenObject(line, id, ZcDb::kForRead) == Zcad::eOk) {
            start = line->startPoint(), end = line->endPoint();
            line->close();
            return RTNORM;
        }
        zcutPrintf("\nWybrany obiekt nie jest linią.");
    }
}

// An angular dimension's text (its measurement in degrees offered), the
// dimension added, and its text placed where the user points.
int finishAngular(ZcDbDimension* dim) {
    std::string text;
    int rc = askText(text, formatMeasurement(dim->measurement() * 180 / kPi, true));
    if (rc == RTCAN) {
        delete dim;
        return rc;
    }
    dim->setDimensionText(rc == RTNORM ? text : "");
    lastDimension() = appendDimension(dim);
    if (lastDimension().isNull()) return RTERROR;
    ZcGePoint3d at;
    rc = askPoint("\nPołożenie tekstu (lub ENTER): ", at);
    if (rc == RTNORM) {
        ZcDbDimension* d = nullptr;
        if (zcdbOpenObject(d, lastDimension(), ZcDb::kForWrite) == Zcad::eOk) {
            buildBlock(d, commandDatabase(), at);
            d->close();
        }
    }
    return rc == RTCAN ? RTCAN : RTNORM;
}

// The angle between two lines picked, its arc in the quarter of the arc point.
int twoLineAngular(const ZcGePoint3d& s1, const ZcGePoint3d& e1) {
    ZcGePoint3d s2, e2, arc, c, x1, x2;
    int rc = pickLine("\nWybierz drugą linię: ", s2, e2);
    if (rc != RTNORM) return rc;
    if (!twoLineArms(s1, e1, s2, e2, s2, c, x1, x2)) {
        zcutPrintf("\nLinie są równoległe.");
        return RTERROR;
    }
    if ((rc = askPoint("\nPołożenie łuku wymiarowego: ", arc, &c)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    ZcGeVector3d u1, u2;
    twoLineArms(s1, e1, s2, e2, arc, c, x1, x2, &u1, &u2);
    // Each line stored pointing along its arm, so the measurement is the
    // angle the arc spans.
    auto outward = [&](const ZcGePoint3d& p, const ZcGePoint3d& q, const ZcGeVector3d& u) {
        return (q - p).dotProduct(u) >= 0 ? std::pair(p, q) : std::pair(q, p);
    };
    auto [a1, b1] = outward(s1, e1, u1);
    auto [a2, b2] = outward(s2, e2, u2);
    return finishAngular(new ZcDb2LineAngularDimension(a1, b1, a2, b2, arc));
}

int angular() {
    ZcGePoint3d s1, e1;
    int rc = pickLine("\nWybierz łuk, okrąg, linię lub naciśnij ENTER: ", s1, e1);
    if (rc == RTCAN) return rc;
    if (rc == RTNORM) return twoLineAngular(s1, e1);
    ZcGePoint3d c, a, b, arc;
    if ((rc = askPoint("\nWierzchołek kąta: ", c)) != RTNORM) return rc == RTNONE ? RTERROR : rc;
    if ((rc = askPoint("\nPierwszy koniec ramienia kąta: ", a, &c)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    if ((rc = askPoint("\nDrugi koniec ramienia kąta: ", b, &c)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    if ((rc = askPoint("\nPołożenie łuku wymiarowego: ", arc, &c)) != RTNORM)
        return rc == RTNONE ? RTERROR : rc;
    return finishAngular(new ZcDb3PointAngularDimension(c, a, b, arc));
}

// The dimension whose text position lies nearest p in the current space.
ZcDbObjectId nearestDimension(const ZcGePoint3d& p) {
    ZcDbDatabase* db = commandDatabase();
    ZcDbBlockTableRecord* space = nullptr;
    if (zcdbOpenObject(space, db->currentSpaceId(), ZcDb::kForRead) != Zcad::eOk) return {};
    ZcDbObjectId best;
    double bestDist = 1e300;
    for (ZcDbObjectId id : space->entityIds()) {
        auto* d = id.stub()->object ? ZcDbDimension::cast(id.stub()->object.get()) : nullptr;
        if (!d) continue;
        double dist = (d->textPosition() - p).length();
        if (dist < bestDist) bestDist = dist, best = id;
    }
    space->close();
    return best;
}

int tedit() {
    ZcGePoint3d pick;
    std::string kw;
    int rc = askPoint("\nWybierz wymiar: ", pick, nullptr, 0, "Ostatni _ Last", &kw);
    if (rc == RTNONE || rc == RTCAN) return rc == RTCAN ? rc : RTERROR;
    ZcDbObjectId id = rc == RTKWORD ? lastDimension() : nearestDimension(pick);
    if (id.isNull() || id.isErased()) {
        zcutPrintf("\nNie wybrano wymiaru.");
        return RTERROR;
    }
    ZcGePoint3d at;
    if ((rc = askPoint("\nNowe położenie tekstu: ", at)) != RTNORM) return rc == RTNONE ? RTERROR : rc;
    ZcDbDimension* d = nullptr;
    if (zcdbOpenObject(d, id, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
    buildBlock(d, commandDatabase(), at);
    d->close();
    return RTNORM;
}

const char* const kDimKeywords =
    "POZiomy PIOnowy WYRównany OBRócony KĄTowy TEDycja WYJście "
    "_ HORizontal VERtical ALigned ROtated ANgular TEdit EXit";

// One sub-command; RTNONE for EXit.
int dimSubcommand(bool oneShot) {
    std::string kw;
    int rc = askKeyword(oneShot ? "\nWymiar (jednorazowo): " : "\nWymiar: ", kDimKeywords, kw, false);
    if (rc != RTNORM) return rc;
    if (kw == "EXit") return RTNONE;
    if (kw == "ANgular") return angular();
    if (kw == "TEdit") return tedit();
    return linear(kw);
}

int dimCommand() {
    for (;;) {
        int rc = dimSubcommand(false);
        if (rc == RTNONE) return RTNORM;
        if (rc == RTCAN) return rc;
        // A failed sub-command stays in the dimension mode, as the host's does.
    }
}

int dim1Command() {
    int rc = dimSubcommand(true);
    return rc == RTNONE ? RTNORM : rc;
}

// ---------------------------------------------------------------- styles

void restoreStyle(ZcDbDimStyleTableRecord* rec) {
    setSysVar("DIMSCALE", SysVarValue{rec->dimscale()});
    setSysVar("DIMLFAC", SysVarValue{rec->dimlfac()});
    setSysVar("DIMDEC", SysVarValue{static_cast<short>(rec->dimdec())});
    setSysVar("DIMZIN", SysVarValue{static_cast<short>(rec->dimzin())});
    setSysVar("DIMTXT", SysVarValue{rec->dimtxt()});
    setSysVar("DIMSTYLE", SysVarValue{rec->name()});
}

int dimstyleCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    std::string kw;
    int rc = askKeyword("\nBieżący styl wymiarowania: " + sysVarString("DIMSTYLE") +
                            "\nPodaj opcję [Zapisz/Przywróć/Stan] <Przywróć>: ",
                        "Zapisz Przywróć Stan _ Save Restore STatus", kw);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) kw = "Restore";
    if (kw == "STatus") {
        zcutPrintf("\nDIMSCALE %s  DIMLFAC %s  DIMDEC %d  DIMZIN %d  DIMTXT %s",
                   showNumber(sysVarReal("DIMSCALE")).c_str(), showNumber(sysVarReal("DIMLFAC")).c_str(),
                   sysVarShort("DIMDEC"), sysVarShort("DIMZIN"), showNumber(sysVarReal("DIMTXT")).c_str());
        return RTNORM;
    }
    std::string name;
    rc = host::askText("\nPodaj nazwę stylu wymiarowania: ", name);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    ZcDbObjectId id = db->recordId(db->dimStyleTableId(), name);
    if (kw == "Restore") {
        ZcDbDimStyleTableRecord* rec = nullptr;
        if (id.isNull() || zcdbOpenObject(rec, id, ZcDb::kForRead) != Zcad::eOk) {
            zcutPrintf("\nNie można znaleźć stylu wymiarowania \"%s\".", name.c_str());
            return RTERROR;
        }
        restoreStyle(rec);
        rec->close();
        return RTNORM;
    }
    ZcDbDimStyleTableRecord* rec = nullptr;
    if (id.isNull()) {
        if (name.find_first_of("<>/\\\":;?*|=`,") != std::string::npos) {
            zcutPrintf("\nNieprawidłowa nazwa stylu wymiarowania.");
            return RTERROR;
        }
        ZcDbDimStyleTable* table = nullptr;
        if (db->getDimStyleTable(table, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
        rec = new ZcDbDimStyleTableRecord;
        rec->setName(name);
        if (table->add(rec) != Zcad::eOk) {
            delete rec;
            table->close();
            return RTERROR;
        }
        table->close();
    } else if (zcdbOpenObject(rec, id, ZcDb::kForWrite) != Zcad::eOk) {
        return RTERROR;
    }
    rec->setDimscale(sysVarReal("DIMSCALE"));
    rec->setDimlfac(sysVarReal("DIMLFAC"));
    rec->setDimdec(sysVarShort("DIMDEC"));
    rec->setDimzin(sysVarShort("DIMZIN"));
    rec->setDimtxt(sysVarReal("DIMTXT"));
    setSysVar("DIMSTYLE", SysVarValue{rec->name()});
    rec->close();
    return RTNORM;
}

}  // namespace

void resetDimCommands() {
    lastDimension() = ZcDbObjectId();
}

void installDimCommands() {
    registerHostCommand("DIM", dimCommand);
    registerHostCommand("DIM1", dim1Command);
    registerHostCommand("-DIMSTYLE", dimstyleCommand, true);
    registerHostCommand("DIMSTYLE", dimstyleCommand, true);
    zcdbSetDimensionPictureMaker(&rebuildDimensionBlock);
}

// Redraws a dimension's block after its points changed (the editing
// commands call it for the dimensions they move).
bool rebuildDimensionBlock(ZcDbDimension* dim) {
    ZcDbDatabase* db = dim->database() ? dim->database() : commandDatabase();
    return db && buildBlock(dim, db, std::nullopt);
}

}  // namespace host
