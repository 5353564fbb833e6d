// HATCH: pattern (name, predefined/user/custom type, scale, angle, double),
// solid fill, associativity with the boundary entities, elevation and
// normal, gradient (name, two colours, angle, shift), and the boundary
// loops, each either a polyline loop (2D points with bulges) or a list of
// line and arc edges, in the hatch's OCS. The pattern's definition lines go
// into the file so that every reader draws the pattern: those of a hatch
// made here follow from the pattern name and the pattern file they are read
// from (dbhatchpat.h); those a file brought are kept as they came and
// turned and scaled with the hatch.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbentity.h"

class ZcDbHatch : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbHatch);
    ZCDB_DECLARE_FILING;

    enum HatchPatternType { kUserDefined = 0, kPreDefined = 1, kCustomDefined = 2 };
    enum HatchLoopType {
        kDefault = 0,
        kExternal = 1,
        kPolyline = 2,
        kDerived = 4,
        kTextbox = 8,
        kOutermost = 16
    };
    enum HatchStyle { kNormal = 0, kOuter = 1, kIgnore = 2 };

    struct Edge {
        int type = 1;            // 1 line, 2 circular arc
        ZcGePoint2d start, end;  // line
        ZcGePoint2d center;      // arc
        double radius = 0, startAngle = 0, endAngle = 0;
        bool counterClockwise = true;
    };
    struct Loop {
        int type = kExternal;
        std::vector<ZcGePoint2d> vertices;  // polyline loops
        std::vector<double> bulges;         // one per vertex (0 for straight)
        std::vector<Edge> edges;            // edge loops
        std::vector<ZcDbObjectId> sources;  // boundary entities (associative hatches)
        bool isPolyline() const { return (type & kPolyline) != 0; }
    };

    // One family of parallel pattern lines as the file holds it, already
    // turned by the hatch's angle and scaled by its scale: the direction of
    // the lines, a point one of them passes through, the step from one line
    // to the next (in the hatch's plane) and the dashes (negative: gaps).
    struct DefinitionLine {
        double angle = 0;  // radians
        ZcGePoint2d base;
        ZcGeVector2d offset;
        std::vector<double> dashes;
    };

    const std::string& patternName() const { return m_pattern; }
    HatchPatternType patternType() const { return static_cast<HatchPatternType>(m_patternType); }
    Zcad::ErrorStatus setPattern(HatchPatternType type, const std::string& name);
    double patternScale() const { return m_scale; }
    Zcad::ErrorStatus setPatternScale(double s);
    double patternAngle() const { return m_angle; }
    Zcad::ErrorStatus setPatternAngle(double a);
    bool patternDouble() const { return m_double != 0; }
    Zcad::ErrorStatus setPatternDouble(bool on);
    bool isSolidFill() const { return m_solid != 0; }
    bool associative() const { return m_associative != 0; }
    Zcad::ErrorStatus setAssociative(bool on);
    HatchStyle hatchStyle() const { return static_cast<HatchStyle>(m_style); }
    Zcad::ErrorStatus setHatchStyle(HatchStyle s);
    double elevation() const { return m_elevation; }
    Zcad::ErrorStatus setElevation(double z);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);

    bool isGradient() const { return m_gradient != 0; }
    const std::string& gradientName() const { return m_gradientName; }
    Zcad::ErrorStatus setGradient(const std::string& name, std::int32_t rgb1, std::int32_t rgb2);
    std::int32_t gradientColor(int i) const { return i == 0 ? m_gradientColors[0] : m_gradientColors[1]; }
    double gradientAngle() const { return m_gradientAngle; }
    Zcad::ErrorStatus setGradientAngle(double a);
    double gradientShift() const { return m_gradientShift; }
    Zcad::ErrorStatus setGradientShift(double s);

    // The definition lines a file brought with the hatch (none for one
    // made here or one whose pattern was set anew since).
    bool keepsDefinitionLines() const { return m_keepLines != 0; }
    const std::vector<DefinitionLine>& keptDefinitionLines() const { return m_lines; }
    // The lines a file takes for the hatch: those kept, else those of its
    // pattern file; none for a solid fill.
    std::vector<DefinitionLine> definitionLines() const;

    int numLoops() const { return static_cast<int>(m_loops.size()); }
    const Loop& loopAt(int i) const { return m_loops.at(static_cast<std::size_t>(i)); }
    Zcad::ErrorStatus appendLoop(const Loop& loop);
    // A polyline loop from points and bulges (bulges may be empty).
    Zcad::ErrorStatus appendLoop(int type, const std::vector<ZcGePoint2d>& vertices,
                                 const std::vector<double>& bulges = {});
    Zcad::ErrorStatus removeLoopAt(int i);
    // The area inside the outer loops minus the holes, arcs and bulges
    // included (loops are taken as not crossing one another).
    double area() const;

    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

private:
    std::string m_pattern = "SOLID";
    std::int16_t m_patternType = kPreDefined, m_solid = 1, m_associative = 0, m_style = kNormal, m_double = 0;
    double m_scale = 1, m_angle = 0, m_elevation = 0;
    ZcGeVector3d m_normal{0, 0, 1};
    std::int32_t m_gradient = 0;
    std::string m_gradientName;
    std::int32_t m_gradientColors[2] = {-1, -1};
    double m_gradientAngle = 0, m_gradientShift = 0;
    std::vector<Loop> m_loops;
    std::int16_t m_keepLines = 0;
    std::vector<DefinitionLine> m_lines;  // kept from the file read

    // The kept lines turned by `turn` and scaled by `factor` about the origin.
    void transformKeptLines(double turn, double factor);
};
