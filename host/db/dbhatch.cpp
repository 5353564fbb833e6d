// Hatches: data, the nested loop layout of the format, area, transforms.
#include "host/db/dbhatch.h"

#include <cmath>

#include "host/db/dbdatabase.h"
#include "host/db/dbhatchpat.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbHatch, ZcDbEntity, "AcDbHatch", "HATCH", true)

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

double cross(const ZcGePoint2d& a, const ZcGePoint2d& b) {
    return a.x * b.y - a.y * b.x;
}

// Signed area between a chord and its arc for a bulge (tan of a quarter of
// the included angle; positive turns counter-clockwise).
double bulgeSegmentArea(const ZcGePoint2d& a, const ZcGePoint2d& b, double bulge) {
    if (bulge == 0) return 0;
    double theta = 4 * std::atan(std::fabs(bulge));
    double c = a.distanceTo(b);
    double s = std::sin(theta / 2);
    if (s == 0) return 0;
    double r = c / (2 * s);
    double seg = r * r / 2 * (theta - std::sin(theta));
    return bulge > 0 ? seg : -seg;
}

double loopSignedArea(const ZcDbHatch::Loop& loop) {
    double a = 0;
    if (loop.isPolyline()) {
        std::size_t n = loop.vertices.size();
        for (std::size_t i = 0; i < n; ++i) {
            const ZcGePoint2d& p = loop.vertices[i];
            const ZcGePoint2d& q = loop.vertices[(i + 1) % n];
            a += cross(p, q) / 2;
            if (i < loop.bulges.size()) a += bulgeSegmentArea(p, q, loop.bulges[i]);
        }
        return a;
    }
    for (const ZcDbHatch::Edge& e : loop.edges) {
        if (e.type == 1) {
            a += cross(e.start, e.end) / 2;
            continue;
        }
        double sign = e.counterClockwise ? 1 : -1;
        double s = sign * e.startAngle, t = sign * e.endAngle;
        ZcGePoint2d ps(e.center.x + e.radius * std::cos(s), e.center.y + e.radius * std::sin(s));
        ZcGePoint2d pe(e.center.x + e.radius * std::cos(t), e.center.y + e.radius * std::sin(t));
        double sweep = std::fmod(e.endAngle - e.startAngle, kTwoPi);
        if (sweep <= 0) sweep += kTwoPi;
        a += cross(ps, pe) / 2 + sign * e.radius * e.radius / 2 * (sweep - std::sin(sweep));
    }
    return a;
}

}  // namespace

// ------------------------------------------------------------------ filing

Zcad::ErrorStatus ZcDbHatch::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_pattern);
    f->writeInt16(m_patternType), f->writeInt16(m_solid), f->writeInt16(m_associative);
    f->writeInt16(m_style), f->writeInt16(m_double);
    f->writeDouble(m_scale), f->writeDouble(m_angle), f->writeDouble(m_elevation);
    f->writeVector3d(m_normal);
    f->writeInt32(m_gradient);
    f->writeString(m_gradientName);
    f->writeInt32(m_gradientColors[0]), f->writeInt32(m_gradientColors[1]);
    f->writeDouble(m_gradientAngle), f->writeDouble(m_gradientShift);
    f->writeInt32(static_cast<std::int32_t>(m_loops.size()));
    for (const Loop& l : m_loops) {
        f->writeInt32(l.type);
        f->writeInt32(static_cast<std::int32_t>(l.vertices.size()));
        for (std::size_t i = 0; i < l.vertices.size(); ++i) {
            f->writePoint2d(l.vertices[i]);
            f->writeDouble(i < l.bulges.size() ? l.bulges[i] : 0.0);
        }
        f->writeInt32(static_cast<std::int32_t>(l.edges.size()));
        for (const Edge& e : l.edges) {
            f->writeInt16(static_cast<std::int16_t>(e.type));
            f->writePoint2d(e.start), f->writePoint2d(e.end), f->writePoint2d(e.center);
            f->writeDouble(e.radius), f->writeDouble(e.startAngle), f->writeDouble(e.endAngle);
            f->writeBool(e.counterClockwise);
        }
        f->writeInt32(static_cast<std::int32_t>(l.sources.size()));
        for (const ZcDbObjectId& id : l.sources) f->writeSoftPointerId(id);
    }
    f->writeInt16(m_keepLines);
    f->writeInt32(static_cast<std::int32_t>(m_lines.size()));
    for (const DefinitionLine& d : m_lines) {
        f->writeDouble(d.angle);
        f->writePoint2d(d.base);
        f->writeVector2d(d.offset);
        f->writeInt32(static_cast<std::int32_t>(d.dashes.size()));
        for (double dash : d.dashes) f->writeDouble(dash);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbHatch::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&m_pattern);
    f->readInt16(&m_patternType), f->readInt16(&m_solid), f->readInt16(&m_associative);
    f->readInt16(&m_style), f->readInt16(&m_double);
    f->readDouble(&m_scale), f->readDouble(&m_angle), f->readDouble(&m_elevation);
    f->readVector3d(&m_normal);
    f->readInt32(&m_gradient);
    f->readString(&m_gradientName);
    f->readInt32(&m_gradientColors[0]), f->readInt32(&m_gradientColors[1]);
    f->readDouble(&m_gradientAngle), f->readDouble(&m_gradientShift);
    std::int32_t nloops = 0;
    f->readInt32(&nloops);
    std::vector<Loop> loops;
    for (std::int32_t k = 0; k < nloops && f->filerStatus() == Zcad::eOk; ++k) {
        Loop l;
        std::int32_t type = 0, n = 0;
        f->readInt32(&type);
        l.type = type;
        f->readInt32(&n);
        for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
            ZcGePoint2d p;
            double b = 0;
            f->readPoint2d(&p);
            f->readDouble(&b);
            l.vertices.push_back(p);
            l.bulges.push_back(b);
        }
        f->readInt32(&n);
        for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
            Edge e;
            std::int16_t t = 0;
            f->readInt16(&t);
            e.type = t;
            f->readPoint2d(&e.start), f->readPoint2d(&e.end), f->readPoint2d(&e.center);
            f->readDouble(&e.radius), f->readDouble(&e.startAngle), f->readDouble(&e.endAngle);
            f->readBool(&e.counterClockwise);
            l.edges.push_back(e);
        }
        f->readInt32(&n);
        for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
            ZcDbObjectId id;
            f->readSoftPointerId(&id);
            l.sources.push_back(id);
        }
        loops.push_back(std::move(l));
    }
    std::int16_t keep = 0;
    std::int32_t nlines = 0;
    f->readInt16(&keep);
    f->readInt32(&nlines);
    std::vector<DefinitionLine> lines;
    for (std::int32_t k = 0; k < nlines && f->filerStatus() == Zcad::eOk; ++k) {
        DefinitionLine d;
        std::int32_t n = 0;
        f->readDouble(&d.angle);
        f->readPoint2d(&d.base);
        f->readVector2d(&d.offset);
        f->readInt32(&n);
        for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
            double dash = 0;
            f->readDouble(&dash);
            d.dashes.push_back(dash);
        }
        lines.push_back(std::move(d));
    }
    if (f->filerStatus() == Zcad::eOk) {
        m_loops = std::move(loops);
        m_keepLines = keep;
        m_lines = std::move(lines);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbHatch::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbHatch");
    f->writePoint3d(10, {0, 0, m_elevation});
    f->writeVector3d(210, m_normal);
    f->writeString(2, m_pattern);
    f->writeInt16(70, m_solid);
    f->writeInt16(71, m_associative);
    f->writeInt32(91, static_cast<std::int32_t>(m_loops.size()));
    for (const Loop& l : m_loops) {
        f->writeInt32(92, l.type);
        if (l.isPolyline()) {
            bool hasBulge = false;
            for (double b : l.bulges) hasBulge |= b != 0;
            f->writeInt16(72, hasBulge ? 1 : 0);
            f->writeInt16(73, 1);
            f->writeInt32(93, static_cast<std::int32_t>(l.vertices.size()));
            for (std::size_t i = 0; i < l.vertices.size(); ++i) {
                f->writePoint2d(10, l.vertices[i]);
                if (hasBulge) f->writeDouble(42, i < l.bulges.size() ? l.bulges[i] : 0.0);
            }
        } else {
            f->writeInt32(93, static_cast<std::int32_t>(l.edges.size()));
            for (const Edge& e : l.edges) {
                f->writeInt16(72, static_cast<std::int16_t>(e.type));
                if (e.type == 1) {
                    f->writePoint2d(10, e.start);
                    f->writePoint2d(11, e.end);
                } else {
                    f->writePoint2d(10, e.center);
                    f->writeDouble(40, e.radius);
                    f->writeAngle(50, e.startAngle);
                    f->writeAngle(51, e.endAngle);
                    f->writeInt16(73, e.counterClockwise ? 1 : 0);
                }
            }
        }
        f->writeInt32(97, static_cast<std::int32_t>(l.sources.size()));
        for (const ZcDbObjectId& id : l.sources) f->writeObjectId(330, id);
    }
    f->writeInt16(75, m_style);
    f->writeInt16(76, m_patternType);
    if (!m_solid) {
        f->writeAngle(52, m_angle);
        f->writeDouble(41, m_scale);
        f->writeInt16(77, m_double);
        const std::vector<DefinitionLine> lines = definitionLines();
        f->writeInt16(78, static_cast<std::int16_t>(lines.size()));
        for (const DefinitionLine& d : lines) {
            f->writeAngle(53, d.angle);
            f->writeDouble(43, d.base.x);
            f->writeDouble(44, d.base.y);
            f->writeDouble(45, d.offset.x);
            f->writeDouble(46, d.offset.y);
            f->writeInt16(79, static_cast<std::int16_t>(d.dashes.size()));
            for (double dash : d.dashes) f->writeDouble(49, dash);
        }
    }
    f->writeInt32(98, 0);
    if (m_gradient) {
        f->writeInt32(450, 1);
        f->writeInt32(451, 0);
        f->writeInt32(452, 0);
        f->writeInt32(453, 2);
        f->writeDouble(460, m_gradientAngle);
        f->writeDouble(461, m_gradientShift);
        f->writeDouble(462, 0);
        for (int i = 0; i < 2; ++i) {
            f->writeDouble(463, i);
            f->writeInt16(63, 0);
            f->writeInt32(421, m_gradientColors[i]);
        }
        f->writeString(470, m_gradientName);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbHatch::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbHatch")) return f->filerStatus();
    // The layout nests: loops hold vertices or edges, edges hold their
    // points. Points (10) mean different things by position, so this reads
    // by state rather than by code.
    ZcDbHatch next;  // built aside, copied in only when the whole read is sound
    next.m_loops.clear();
    Loop* loop = nullptr;
    Edge* edge = nullptr;
    bool hasBulge = false, inLoops = false, seenHeader = false;
    int gradientColor = -1;
    DefinitionLine* line = nullptr;  // the pattern line being read
    auto bad = [&](const std::string& why) {
        f->setError(Zcad::eBadDxfSequence, why);
        return f->filerStatus();
    };
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 0 || it.code == 100 || it.code >= 1000) {
            f->pushBackItem();
            break;
        }
        switch (it.code) {
            case 10:
                if (!seenHeader && !inLoops) {
                    next.m_elevation = it.real[2];
                    seenHeader = true;
                } else if (edge) {
                    (edge->type == 1 ? edge->start : edge->center) = {it.real[0], it.real[1]};
                } else if (loop && loop->isPolyline()) {
                    loop->vertices.push_back({it.real[0], it.real[1]});
                    loop->bulges.push_back(0);
                }  // seed points: not kept
                break;
            case 11:
                if (!edge) return bad("edge end point outside an edge");
                edge->end = {it.real[0], it.real[1]};
                break;
            case 210:
                next.m_normal = it.point().asVector();
                break;
            case 2:
                next.m_pattern = it.text;
                break;
            case 70:
                next.m_solid = static_cast<std::int16_t>(it.integer);
                break;
            case 71:
                next.m_associative = static_cast<std::int16_t>(it.integer);
                break;
            case 91:
                inLoops = true;
                break;
            case 92:
                next.m_loops.emplace_back();
                loop = &next.m_loops.back();
                loop->type = static_cast<int>(it.integer);
                edge = nullptr;
                hasBulge = false;
                break;
            case 72:
                if (!loop) return bad("group 72 outside a loop");
                if (loop->isPolyline()) {
                    hasBulge = it.integer != 0;
                } else {
                    loop->edges.emplace_back();
                    edge = &loop->edges.back();
                    edge->type = static_cast<int>(it.integer);
                    if (edge->type != 1 && edge->type != 2)
                        return bad("edge type " + std::to_string(it.integer));
                }
                break;
            case 73:
                if (edge) edge->counterClockwise = it.integer != 0;
                break;
            case 42:
                if (!loop || loop->vertices.empty()) return bad("bulge before a vertex");
                loop->bulges.back() = it.real[0];
                break;
            case 40:
                if (edge) edge->radius = it.real[0];
                break;
            case 50:
                if (edge) edge->startAngle = it.real[0];
                break;
            case 51:
                if (edge) edge->endAngle = it.real[0];
                break;
            case 330:
                if (loop) loop->sources.push_back(it.id);
                break;
            case 75:
                next.m_style = static_cast<std::int16_t>(it.integer);
                loop = nullptr, edge = nullptr;
                break;
            case 76:
                next.m_patternType = static_cast<std::int16_t>(it.integer);
                break;
            case 52:
                next.m_angle = it.real[0];
                break;
            case 41:
                next.m_scale = it.real[0];
                break;
            case 77:
                next.m_double = static_cast<std::int16_t>(it.integer);
                break;
            case 78:
                next.m_keepLines = 1;
                next.m_lines.clear();
                line = nullptr;
                break;
            case 53:
                next.m_lines.emplace_back();
                line = &next.m_lines.back();
                line->angle = it.real[0];
                break;
            case 43:
            case 44:
            case 45:
            case 46:
            case 49:
                if (!line) break;  // no line to belong to: passed over
                if (it.code == 43) line->base.x = it.real[0];
                if (it.code == 44) line->base.y = it.real[0];
                if (it.code == 45) line->offset.x = it.real[0];
                if (it.code == 46) line->offset.y = it.real[0];
                if (it.code == 49) line->dashes.push_back(it.real[0]);
                break;
            case 450:
                next.m_gradient = static_cast<std::int32_t>(it.integer);
                break;
            case 460:
                next.m_gradientAngle = it.real[0];
                break;
            case 461:
                next.m_gradientShift = it.real[0];
                break;
            case 463:
                gradientColor = static_cast<int>(it.real[0]);
                break;
            case 421:
                if (gradientColor == 0 || gradientColor == 1)
                    next.m_gradientColors[gradientColor] = static_cast<std::int32_t>(it.integer);
                break;
            case 470:
                next.m_gradientName = it.text;
                break;
            default:
                break;  // counts (93, 97, 98, 79, 451-453): derived
        }
    }
    (void)hasBulge;
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    if (!(next.m_scale > 0)) return bad("pattern scale");
    m_pattern = next.m_pattern;
    m_patternType = next.m_patternType;
    m_solid = next.m_solid;
    m_associative = next.m_associative;
    m_style = next.m_style;
    m_double = next.m_double;
    m_scale = next.m_scale;
    m_angle = next.m_angle;
    m_elevation = next.m_elevation;
    m_normal = next.m_normal;
    m_gradient = next.m_gradient;
    m_gradientName = next.m_gradientName;
    m_gradientColors[0] = next.m_gradientColors[0];
    m_gradientColors[1] = next.m_gradientColors[1];
    m_gradientAngle = next.m_gradientAngle;
    m_gradientShift = next.m_gradientShift;
    m_loops = std::move(next.m_loops);
    // A pattern hatch that came without lines (as older saves here wrote
    // them) takes those of its pattern file, like one made here.
    m_keepLines = next.m_keepLines && !next.m_lines.empty() ? 1 : 0;
    m_lines = m_keepLines ? std::move(next.m_lines) : std::vector<DefinitionLine>();
    return Zcad::eOk;
}

// ------------------------------------------------------------- properties

Zcad::ErrorStatus ZcDbHatch::setPattern(HatchPatternType type, const std::string& name) {
    if (name.empty()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_patternType = static_cast<std::int16_t>(type);
    m_pattern = name;
    m_solid = name == "SOLID" ? 1 : 0;
    m_keepLines = 0;
    m_lines.clear();
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setPatternScale(double s) {
    if (!(s > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    transformKeptLines(0.0, s / m_scale);
    m_scale = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setPatternAngle(double a) {
    assertWriteEnabled();
    transformKeptLines(a - m_angle, 1.0);
    m_angle = a;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setPatternDouble(bool on) {
    assertWriteEnabled();
    // The crossing lines of a double hatch are the pattern file's to give.
    if (m_double != (on ? 1 : 0)) {
        m_keepLines = 0;
        m_lines.clear();
    }
    m_double = on ? 1 : 0;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setAssociative(bool on) {
    assertWriteEnabled();
    m_associative = on ? 1 : 0;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setHatchStyle(HatchStyle s) {
    assertWriteEnabled();
    m_style = static_cast<std::int16_t>(s);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setElevation(double z) {
    assertWriteEnabled();
    m_elevation = z;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_normal = n / n.length();
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setGradient(const std::string& name, std::int32_t rgb1, std::int32_t rgb2) {
    if (name.empty()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_gradient = 1;
    m_solid = 1;
    m_gradientName = name;
    m_gradientColors[0] = rgb1 & 0xFFFFFF;
    m_gradientColors[1] = rgb2 & 0xFFFFFF;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setGradientAngle(double a) {
    assertWriteEnabled();
    m_gradientAngle = a;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbHatch::setGradientShift(double s) {
    assertWriteEnabled();
    m_gradientShift = s;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbHatch::appendLoop(const Loop& loop) {
    if (loop.isPolyline() ? loop.vertices.size() < 2 : loop.edges.empty()) return Zcad::eInvalidInput;
    for (const Edge& e : loop.edges)
        if ((e.type != 1 && e.type != 2) || (e.type == 2 && !(e.radius > 0))) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_loops.push_back(loop);
    Loop& added = m_loops.back();
    if (added.isPolyline()) added.bulges.resize(added.vertices.size(), 0.0);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbHatch::appendLoop(int type, const std::vector<ZcGePoint2d>& vertices,
                                        const std::vector<double>& bulges) {
    Loop l;
    l.type = type | kPolyline;
    l.vertices = vertices;
    l.bulges = bulges;
    return appendLoop(l);
}

Zcad::ErrorStatus ZcDbHatch::removeLoopAt(int i) {
    if (i < 0 || i >= numLoops()) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_loops.erase(m_loops.begin() + i);
    return Zcad::eOk;
}

double ZcDbHatch::area() const {
    bool anyOuter = false;
    for (const Loop& l : m_loops) anyOuter |= (l.type & (kExternal | kOutermost)) != 0;
    double total = 0;
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        const Loop& l = m_loops[i];
        bool outer = anyOuter ? (l.type & (kExternal | kOutermost)) != 0 : i == 0;
        double a = std::fabs(loopSignedArea(l));
        total += outer ? a : -a;
    }
    return total;
}

Zcad::ErrorStatus ZcDbHatch::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGeVector3d n = x.apply(m_normal);
    n = n.length() > 0 ? n / n.length() : m_normal;
    bool mirrored = x.det() < 0;
    if (mirrored) n = -n;
    double s = x.scale();
    auto move = [&](ZcGePoint2d& p) {
        ZcGePoint3d o = zcdbWcsToOcs(x.apply(zcdbOcsToWcs({p.x, p.y, m_elevation}, m_normal)), n);
        p = {o.x, o.y};
    };
    ZcGeVector3d ax = zcdbOcsXAxis(m_normal);
    ZcGeVector3d nax = zcdbWcsToOcs(ZcGePoint3d() + x.apply(ax), n).asVector();
    double turn = std::atan2(nax.y, nax.x);
    for (Loop& l : m_loops) {
        for (ZcGePoint2d& p : l.vertices) move(p);
        for (Edge& e : l.edges) {
            if (e.type == 1) {
                move(e.start);
                move(e.end);
            } else {
                move(e.center);
                e.radius *= s;
                e.startAngle += turn;
                e.endAngle += turn;
            }
        }
    }
    m_elevation = zcdbWcsToOcs(x.apply(zcdbOcsToWcs({0, 0, m_elevation}, m_normal)), n).z;
    m_normal = n;
    if (!m_solid) {
        transformKeptLines(turn, s);
        m_scale *= s;
    }
    m_angle += turn;
    return Zcad::eOk;
}

std::vector<ZcDbHatch::DefinitionLine> ZcDbHatch::definitionLines() const {
    if (m_solid) return {};
    if (m_keepLines) return m_lines;
    return host::patternDefinitionLines(*this);
}

void ZcDbHatch::transformKeptLines(double turn, double factor) {
    if (turn == 0.0 && factor == 1.0) return;
    const double c = std::cos(turn), s = std::sin(turn);
    auto place = [&](double x, double y) {
        return ZcGeVector2d((x * c - y * s) * factor, (x * s + y * c) * factor);
    };
    for (DefinitionLine& d : m_lines) {
        d.angle += turn;
        const ZcGeVector2d b = place(d.base.x, d.base.y);
        d.base = {b.x, b.y};
        d.offset = place(d.offset.x, d.offset.y);
        for (double& dash : d.dashes) dash *= factor;
    }
}
