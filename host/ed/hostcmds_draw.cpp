// The drawing commands: "LINE", "PLINE" (straight and arc segments, widths,
// close, undo of the last segment), "ARC" (three points, or centre, start,
// end), "CIRCLE" (centre and radius or diameter, 2P, 3P) and "TEXT" (start
// point or a justification, height, rotation, then lines of text until an
// empty one).
//
// LINE appends each segment as it is given; PLINE builds one LWPOLYLINE and
// appends it when the command ends (Enter or Close). An arc segment starts
// tangent to the segment before it (east for the first), unless a second
// point fixes it.
#include <cmath>
#include <optional>
#include <vector>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;

double angleOf(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    return std::atan2(b.y - a.y, b.x - a.x);
}
double dist2d(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

// Angle normalised into (-pi, pi].
double normalized(double a) {
    while (a > kPi) a -= 2 * kPi;
    while (a <= -kPi) a += 2 * kPi;
    return a;
}

// The circle through three points; none when they are in line.
std::optional<std::pair<ZcGePoint3d, double>> circleThrough(const ZcGePoint3d& a, const ZcGePoint3d& b,
                                                            const ZcGePoint3d& c) {
    double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (std::fabs(d) < 1e-12) return std::nullopt;
    double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    ZcGePoint3d o((a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                  (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d, a.z);
    return std::make_pair(o, dist2d(o, a));
}

// ------------------------------------------------------------------ LINE

ZcDbObjectId addLine(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    return appendEntity(new ZcDbLine(a, b));
}

int lineCommand() {
    // Made once: a script draws lines by the hundred thousand.
    static const std::string kFirst = "\nPodaj pierwszy punkt: ";
    static const std::string kNext = "\nPodaj następny punkt lub [Cofaj]: ";
    static const std::string kNextOrClose = "\nPodaj następny punkt lub [Zamknij/Cofaj]: ";
    static const std::string kUndo = "Cofaj _ Undo", kCloseUndo = "Zamknij Cofaj _ Close Undo";
    ZcGePoint3d first;
    int rc = askPoint(kFirst, first);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    std::vector<std::pair<ZcGePoint3d, ZcDbObjectId>> segments;  // start point, line
    ZcGePoint3d last = first;
    for (;;) {
        ZcGePoint3d next;
        std::string kw;
        bool canClose = segments.size() >= 2;
        rc = askPoint(canClose ? kNextOrClose : kNext, next, &last, 0, canClose ? kCloseUndo : kUndo, &kw);
        if (rc == RTNONE) return RTNORM;
        if (rc == RTCAN) return segments.empty() ? RTCAN : RTNORM;  // drawn segments stay
        if (rc == RTKWORD && kw == "Close") {
            addLine(last, first);
            return RTNORM;
        }
        if (rc == RTKWORD && kw == "Undo") {
            if (segments.empty()) {
                zcutPrintf("\nNie ma nic do cofnięcia.");
                continue;
            }
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, segments.back().second, ZcDb::kForWrite) == Zcad::eOk) {
                e->erase();
                e->close();
            }
            last = segments.back().first;
            segments.pop_back();
            continue;
        }
        if (rc != RTNORM) continue;
        segments.push_back({last, addLine(last, next)});
        last = next;
    }
}

// ----------------------------------------------------------------- PLINE

struct PlineBuilder {
    std::vector<ZcDbPolyline::Vertex> verts;
    double z = 0;
    double startWidth = 0, endWidth = 0;
    bool closed = false;

    ZcGePoint3d lastPoint() const { return ZcGePoint3d(verts.back().point.x, verts.back().point.y, z); }
    // The direction the path leaves its last vertex: along the last
    // segment (the end tangent of an arc), east before any segment.
    double exitAngle() const {
        if (verts.size() < 2) return 0;
        const auto& a = verts[verts.size() - 2];
        const auto& b = verts.back();
        double chord = std::atan2(b.point.y - a.point.y, b.point.x - a.point.x);
        return chord + 2 * std::atan(a.bulge);  // the end tangent turns by half the included angle
    }
    void add(const ZcGePoint3d& p, double bulgeOfPrevious) {
        if (!verts.empty()) {
            verts.back().bulge = bulgeOfPrevious;
            verts.back().startWidth = startWidth;
            verts.back().endWidth = endWidth;
            startWidth = endWidth;  // a tapered segment ends where the next begins
        }
        verts.push_back({ZcGePoint2d(p.x, p.y), 0, startWidth, endWidth});
    }
};

// Bulge of an arc leaving `from` in direction `tangent` and ending at `to`.
double tangentBulge(const ZcGePoint3d& from, const ZcGePoint3d& to, double tangent) {
    double half = normalized(angleOf(from, to) - tangent);  // half the included angle
    return std::tan(half / 2);
}

// Bulge of the arc from a through m to b.
double threePointBulge(const ZcGePoint3d& a, const ZcGePoint3d& m, const ZcGePoint3d& b) {
    double cross = (m.x - a.x) * (b.y - a.y) - (m.y - a.y) * (b.x - a.x);
    auto c = circleThrough(a, m, b);
    if (!c) return 0;
    double sweep = normalized(angleOf(c->first, b) - angleOf(c->first, a));
    // Counter-clockwise when m lies to the right of a→b.
    if (cross < 0) {
        if (sweep < 0) sweep += 2 * kPi;
    } else if (sweep > 0) {
        sweep -= 2 * kPi;
    }
    return std::tan(sweep / 4);
}

ZcDbObjectId finishPline(PlineBuilder& b) {
    if (b.verts.size() < 2) return {};
    auto* pl = new ZcDbPolyline;
    for (unsigned i = 0; i < b.verts.size(); ++i) {
        const auto& v = b.verts[i];
        pl->addVertexAt(i, v.point, v.bulge, v.startWidth, v.endWidth);
    }
    pl->setElevation(b.z);
    pl->setClosed(b.closed);
    return appendEntity(pl);
}

int askWidths(PlineBuilder& b, bool half) {
    double s = b.startWidth / (half ? 2 : 1), e = 0;
    std::string base = half ? "półszerokość" : "szerokość";
    int rc = askDist("\nPodaj początkową " + base + " <" + showNumber(s) + ">: ", s, nullptr, RSG_NONEG);
    if (rc == RTCAN) return rc;
    e = s;
    rc = askDist("\nPodaj końcową " + base + " <" + showNumber(e) + ">: ", e, nullptr, RSG_NONEG);
    if (rc == RTCAN) return rc;
    b.startWidth = half ? 2 * s : s;
    b.endWidth = half ? 2 * e : e;
    if (!b.verts.empty()) b.verts.back().startWidth = b.startWidth, b.verts.back().endWidth = b.endWidth;
    return RTNORM;
}

int plineCommand() {
    PlineBuilder b;
    ZcGePoint3d start;
    int rc = askPoint("\nPodaj punkt początkowy: ", start);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    b.z = start.z;
    b.add(start, 0);
    bool arcMode = false;
    for (;;) {
        ZcGePoint3d p, last = b.lastPoint();
        std::string kw;
        if (!arcMode) {
            rc = askPoint(
                "\nPodaj następny punkt lub [Łuk/Zamknij/Półszerokość/Długość/Cofaj/Szerokość]: ", p, &last,
                0, "Łuk Zamknij Półszerokość Długość Cofaj Szerokość _ Arc Close Halfwidth Length Undo Width",
                &kw);
        } else {
            rc = askPoint(
                "\nPodaj punkt końcowy łuku lub [Kąt/Zamknij/Półszerokość/Linia/Drugi pkt/Cofaj/Szerokość]: ",
                p, &last, 0,
                "Kąt Zamknij Półszerokość Linia Drugi Cofaj Szerokość _ Angle CLose Halfwidth Line Second "
                "Undo Width",
                &kw);
        }
        if (rc == RTNONE) break;
        if (rc == RTCAN) {
            finishPline(b);  // what was drawn stays, as with LINE
            return b.verts.size() >= 2 ? RTNORM : RTCAN;
        }
        if (rc == RTNORM) {
            b.add(p, arcMode ? tangentBulge(last, p, b.exitAngle()) : 0);
            continue;
        }
        if (kw == "Arc")
            arcMode = true;
        else if (kw == "Line")
            arcMode = false;
        else if (kw == "Close" || kw == "CLose") {
            if (b.verts.size() < 2) {
                zcutPrintf("\nZa mało segmentów do zamknięcia.");
                continue;
            }
            b.verts.back().bulge =
                arcMode ? tangentBulge(last, ZcGePoint3d(b.verts[0].point.x, b.verts[0].point.y, b.z),
                                       b.exitAngle())
                        : 0;
            b.verts.back().startWidth = b.startWidth;
            b.verts.back().endWidth = b.endWidth;
            b.closed = true;
            break;
        } else if (kw == "Undo") {
            if (b.verts.size() > 1)
                b.verts.pop_back();
            else
                zcutPrintf("\nNie ma nic do cofnięcia.");
        } else if (kw == "Width" || kw == "Halfwidth") {
            if (askWidths(b, kw == "Halfwidth") == RTCAN) return RTCAN;
        } else if (kw == "Length") {
            double len = 0;
            if ((rc = askDist("\nPodaj długość linii: ", len, &last, RSG_NONEG)) == RTCAN) return rc;
            if (rc != RTNORM) continue;
            double a = b.exitAngle();
            b.add(last + ZcGeVector3d(len * std::cos(a), len * std::sin(a), 0), 0);
        } else if (kw == "Second") {
            ZcGePoint3d mid, end;
            if ((rc = askPoint("\nPodaj drugi punkt łuku: ", mid, &last)) == RTCAN) return rc;
            if (rc != RTNORM) continue;
            if ((rc = askPoint("\nPodaj punkt końcowy łuku: ", end, &mid)) == RTCAN) return rc;
            if (rc != RTNORM) continue;
            b.add(end, threePointBulge(last, mid, end));
        } else if (kw == "Angle") {
            double included = 0;
            zcedInitGet(RSG_NONULL | RSG_NOZERO, nullptr);
            if ((rc = zcedGetAngle(nullptr, "\nPodaj kąt rozwarcia: ", &included)) == RTCAN) return rc;
            if (rc != RTNORM) continue;
            if (included > kPi) included -= 2 * kPi;  // a clockwise arc typed as a negative angle
            if ((rc = askPoint("\nPodaj punkt końcowy łuku: ", p, &last)) == RTCAN) return rc;
            if (rc != RTNORM) continue;
            b.add(p, std::tan(included / 4));
        }
    }
    finishPline(b);
    return RTNORM;
}

// ------------------------------------------------------------------- ARC

ZcDbObjectId addArc(const ZcGePoint3d& center, double r, double start, double end) {
    return appendEntity(new ZcDbArc(center, r, start, end));
}

int arcCommand() {
    ZcGePoint3d p1;
    std::string kw;
    int rc = askPoint("\nPodaj punkt początkowy łuku lub [Środek]: ", p1, nullptr, 0, "Środek _ Center", &kw);
    if (rc != RTNORM && rc != RTKWORD) return rc == RTNONE ? RTNORM : rc;
    if (rc == RTKWORD) {
        ZcGePoint3d c, s, e;
        if ((rc = askPoint("\nPodaj środek łuku: ", c)) != RTNORM) return rc;
        if ((rc = askPoint("\nPodaj punkt początkowy łuku: ", s, &c)) != RTNORM) return rc;
        if ((rc = askPoint("\nPodaj punkt końcowy łuku: ", e, &c)) != RTNORM) return rc;
        double r = dist2d(c, s);
        if (r <= 0) {
            zcutPrintf("\nNieprawidłowy łuk.");
            return RTERROR;
        }
        addArc(c, r, angleOf(c, s), angleOf(c, e));
        return RTNORM;
    }
    ZcGePoint3d p2, p3;
    if ((rc = askPoint("\nPodaj drugi punkt łuku: ", p2, &p1)) != RTNORM) return rc;
    if ((rc = askPoint("\nPodaj punkt końcowy łuku: ", p3, &p2)) != RTNORM) return rc;
    auto circ = circleThrough(p1, p2, p3);
    if (!circ) {
        zcutPrintf("\nPunkty leżą na jednej prostej: nie można narysować łuku.");
        return RTERROR;
    }
    double cross = (p2.x - p1.x) * (p3.y - p1.y) - (p2.y - p1.y) * (p3.x - p1.x);
    const ZcGePoint3d& o = circ->first;
    // Arcs run counter-clockwise: a clockwise pick order swaps the ends.
    if (cross > 0)
        addArc(o, circ->second, angleOf(o, p1), angleOf(o, p3));
    else
        addArc(o, circ->second, angleOf(o, p3), angleOf(o, p1));
    return RTNORM;
}

// ---------------------------------------------------------------- CIRCLE

double& lastRadius() {
    static double r = 1;
    return r;
}

int circleCommand() {
    ZcGePoint3d c;
    std::string kw;
    int rc = askPoint("\nPodaj środek okręgu lub [3P/2P]: ", c, nullptr, 0, "3P 2P", &kw);
    if (rc != RTNORM && rc != RTKWORD) return rc == RTNONE ? RTNORM : rc;
    double r = lastRadius();
    if (rc == RTKWORD) {
        ZcGePoint3d a, b, d;
        if ((rc = askPoint("\nPodaj pierwszy punkt okręgu: ", a)) != RTNORM) return rc;
        if ((rc = askPoint("\nPodaj drugi punkt okręgu: ", b, &a)) != RTNORM) return rc;
        if (kw == "2P") {
            c = ZcGePoint3d((a.x + b.x) / 2, (a.y + b.y) / 2, a.z);
            r = dist2d(a, b) / 2;
        } else {
            if ((rc = askPoint("\nPodaj trzeci punkt okręgu: ", d, &b)) != RTNORM) return rc;
            auto circ = circleThrough(a, b, d);
            if (!circ) {
                zcutPrintf("\nPunkty leżą na jednej prostej: nie można narysować okręgu.");
                return RTERROR;
            }
            c = circ->first;
            r = circ->second;
        }
    } else {
        zcedInitGet(RSG_NOZERO | RSG_NONEG, "Średnica _ Diameter");
        ads_point at = {c.x, c.y, c.z};
        rc = zcedGetDist(at, ("\nPodaj promień okręgu lub [Średnica] <" + showNumber(r) + ">: ").c_str(), &r);
        if (rc == RTCAN) return rc;
        if (rc == RTKWORD) {
            double d = 2 * lastRadius();
            rc = askDist("\nPodaj średnicę okręgu <" + showNumber(d) + ">: ", d, &c, RSG_NOZERO | RSG_NONEG);
            if (rc == RTCAN) return rc;
            r = d / 2;
        }
    }
    if (!(r > 0)) {
        zcutPrintf("\nPromień musi być dodatni.");
        return RTERROR;
    }
    lastRadius() = r;
    appendEntity(new ZcDbCircle(c, ZcGeVector3d(0, 0, 1), r));
    return RTNORM;
}

// ------------------------------------------------------------------ TEXT

struct Justify {
    const char* keyword;
    ZcDb::TextHorzMode h;
    ZcDb::TextVertMode v;
};
const Justify kJustify[] = {
    {"Center", ZcDb::kTextCenter, ZcDb::kTextBase}, {"Middle", ZcDb::kTextMid, ZcDb::kTextBase},
    {"Right", ZcDb::kTextRight, ZcDb::kTextBase},   {"TL", ZcDb::kTextLeft, ZcDb::kTextTop},
    {"TC", ZcDb::kTextCenter, ZcDb::kTextTop},      {"TR", ZcDb::kTextRight, ZcDb::kTextTop},
    {"ML", ZcDb::kTextLeft, ZcDb::kTextVertMid},    {"MC", ZcDb::kTextCenter, ZcDb::kTextVertMid},
    {"MR", ZcDb::kTextRight, ZcDb::kTextVertMid},   {"BL", ZcDb::kTextLeft, ZcDb::kTextBottom},
    {"BC", ZcDb::kTextCenter, ZcDb::kTextBottom},   {"BR", ZcDb::kTextRight, ZcDb::kTextBottom},
};

double styleHeight(ZcDbDatabase* db, const std::string& style) {
    ZcDbTextStyleTableRecord* rec = nullptr;
    if (!db || zcdbOpenObject(rec, db->recordId(db->textStyleTableId(), style), ZcDb::kForRead) != Zcad::eOk)
        return 0;
    double h = rec->textSize();
    rec->close();
    return h;
}

int textCommand() {
    ZcDbDatabase* db = commandDatabase();
    std::string style = sysVarString("TEXTSTYLE");
    const Justify* just = nullptr;
    ZcGePoint3d at;
    for (;;) {
        std::string kw;
        int rc = askPoint(ads_text::format("\nBieżący styl tekstu: \"%s\"  Wysokość tekstu: %s\n"
                                           "Podaj punkt początkowy tekstu lub [Justuj/Styl]: ",
                                           style.c_str(), showNumber(sysVarReal("TEXTSIZE")).c_str()),
                          at, nullptr, 0, "Justuj Styl _ Justify Style", &kw);
        if (rc == RTNORM) break;
        if (rc != RTKWORD) return rc == RTNONE ? RTNORM : rc;
        if (kw == "Style") {
            std::string name;
            if ((rc = askText("\nPodaj nazwę stylu tekstu <" + style + ">: ", name)) == RTCAN) return rc;
            if (rc == RTNORM) {
                if (db && db->recordId(db->textStyleTableId(), name).isNull())
                    zcutPrintf("\nNie można znaleźć stylu tekstu \"%s\".", name.c_str());
                else
                    style = name;
            }
            continue;
        }
        std::string j;
        rc = askKeyword("\nPodaj opcję [Środek/Pośrodku/Prawo/GL/GŚ/GP/ŚL/ŚŚ/ŚP/DL/DŚ/DP]: ",
                        "Środek Pośrodku Prawo GL GŚ GP ŚL ŚŚ ŚP DL DŚ DP _ Center Middle Right TL TC TR ML "
                        "MC MR BL BC BR",
                        j, false);
        if (rc != RTNORM) return rc;
        for (const Justify& x : kJustify)
            if (j == x.keyword) just = &x;
        if ((rc = askPoint("\nPodaj punkt wyrównania tekstu: ", at)) != RTNORM)
            return rc == RTNONE ? RTNORM : rc;
        break;
    }
    double height = styleHeight(db, style);
    int rc = RTNORM;
    if (height <= 0) {
        height = sysVarReal("TEXTSIZE");
        rc = askDist("\nPodaj wysokość <" + showNumber(height) + ">: ", height, &at, RSG_NOZERO | RSG_NONEG);
        if (rc == RTCAN) return rc;
        setSysVar("TEXTSIZE", SysVarValue{height});
    }
    double rotation = 0;
    rc = askOrient("\nPodaj kąt obrotu tekstu <0>: ", rotation, &at);
    if (rc == RTCAN) return rc;
    ZcGeVector3d down(std::sin(rotation) * height * 1.5, -std::cos(rotation) * height * 1.5, 0);
    for (int line = 0;; ++line) {
        std::string s;
        rc = askText("\nPodaj tekst: ", s, true);
        if (rc != RTNORM) return rc == RTCAN && line == 0 ? RTCAN : RTNORM;
        ZcGePoint3d p = at + down * line;
        auto* t = new ZcDbText(p, s, height, rotation);
        t->setTextStyle(style);
        if (just) {
            t->setHorizontalMode(just->h);
            t->setVerticalMode(just->v);
            t->setAlignmentPoint(p);
        }
        appendEntity(t);
    }
}

}  // namespace

void resetDrawCommands() {
    lastRadius() = 1;
}

void installDrawCommands() {
    registerHostCommand("LINE", lineCommand);
    registerHostCommand("PLINE", plineCommand);
    registerHostCommand("ARC", arcCommand);
    registerHostCommand("CIRCLE", circleCommand);
    registerHostCommand("TEXT", textCommand);
}

}  // namespace host
