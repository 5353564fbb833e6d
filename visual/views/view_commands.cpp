// The view commands and the view's block, INSERT and records (see
// view_commands.h); the gathering of what a view shows is in view_collect.
//
// A view is drawn into an anonymous block that is only ended once
// something is in it: a view that shows nothing, or one the user breaks
// off, abandons its definition, so no empty block is left behind. With
// direct output a break takes back the lines already written. A
// regeneration erases the old INSERT before the new one is made and
// brings it back on every way that makes no new one, so a view is never
// lost to a failed rebuild.
#include "visual/views/view_commands.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "visual/views/hidden_segments.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_faces.h"
#include "visual/views/section_input.h"
#include "visual/views/section_object.h"
#include "visual/views/section_walls.h"
#include "visual/views/shadow_hatch.h"

namespace {

constexpr const char* kLowerLeftPrompt = "\nOkreśl lewy dolny punkt widoku złożonego:";
constexpr const char* kCornerPrompt =
    "\nOkreśl prawy górny punkt widoku lub Enter dla rzeczywistego wymiaru:";
constexpr const char* kCannotRegenerate = "\nNie można zregenerować widoku wybranego obiektu";
constexpr const char* kDamagedRecord =
    "\nUszkodzony zapis widoku \"%s\" w elemencie %s: widok pozostaje bez zmian";

// The status-bar meter of a view's passes, shown once the faces are projected
// and taken down on every way out.
class ViewMeter {
public:
    explicit ViewMeter(CSezione& section) {
        zcedSetStatusBarProgressMeter(kViewMeter, 0, 100);
        section.progressPosition = 0;
    }
    ~ViewMeter() { zcedRestoreStatusBar(); }
    ViewMeter(const ViewMeter&) = delete;
    ViewMeter& operator=(const ViewMeter&) = delete;
};

// The piercing, the loose lines and the hidden segments: false on a break.
bool FindVisibleSegments(CSezione& section) {
    section.SplitSegmentsAtFaces();
    if (section.abortFlag) return false;
    if (section.extraHatch) {
        section.BucketViewLines();
        if (section.abortFlag) return false;
    }
    RemoveHiddenSegments(section);
    return !section.abortFlag;
}

resbuf* LastNode(resbuf* list) {
    while (list && list->rbnext) list = list->rbnext;
    return list;
}

void AppendPoint(resbuf*& tail, int code, double x, double y, double z) {
    const ads_point p{x, y, z};
    tail->rbnext = zcutBuildList(code, p, 0);
    tail = tail->rbnext;
}

// The frame's first three rows, then its translation, as four points.
void AppendFrame(resbuf*& tail, const Matrix4& frame) {
    for (int r = 0; r < 3; ++r) AppendPoint(tail, 1010, frame.m[r][0], frame.m[r][1], frame.m[r][2]);
    AppendPoint(tail, 1010, frame.m[0][3], frame.m[1][3], frame.m[2][3]);
}

// The view record: kind, view frame, hidden-line flag, then the display
// frame and the depth as the kind asks.
void AppendViewRecord(resbuf*& tail, const CSezione& section) {
    RegisterXDataApp(kViewRecordApp);
    const int kind = (section.axonometric ? 1 : 0) + (section.depthFlag ? 2 : 0);
    tail->rbnext = zcutBuildList(1001, kViewRecordApp, 1070, kind, 0);
    tail = LastNode(tail);
    AppendFrame(tail, section.viewFrame);
    tail->rbnext = zcutBuildList(1070, section.hiddenLines ? 1 : 0, 0);
    tail = tail->rbnext;
    if (section.axonometric) AppendFrame(tail, section.displayFrame);
    if (section.depthFlag) {
        tail->rbnext = zcutBuildList(1040, section.depth, 0);
        tail = tail->rbnext;
        AppendPoint(tail, 1010, section.depthPoint.x, section.depthPoint.y, section.depthPoint.z);
    }
}

// The first marks found, at most the record's share, last found first.
void AppendLevelMarks(resbuf*& tail, const CSezione& section) {
    std::vector<Point3> marks;
    for (const VertexNode* v = section.levelMarks; v && marks.size() < kMaxLevelMarks; v = v->next)
        marks.push_back(v->pt());
    if (marks.empty()) return;
    RegisterXDataApp(kLevelMarkApp);
    tail->rbnext = zcutBuildList(1001, kLevelMarkApp, 0);
    tail = tail->rbnext;
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) AppendPoint(tail, 1011, it->x, it->y, 0.0);
}

bool BeginViewBlock(const Point3& at) {
    const ads_point base{at.x, at.y, at.z};
    host::ResbufList head(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 65, 2, "*U", 10, base, 0));
    return zcdbEntMake(head.get()) == RTNORM;
}

// Ends the block and gives its new name; empty when the host refused it.
std::string EndViewBlock() {
    host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return {};
    char name[260] = "";
    zcedGetInput(name);
    return name;
}

void AddSectionHatches(const CSezione& section, const std::string& blockName) {
    if (!section.sectionHatch) return;
    for (const OutlinePolygon* o = section.wallOutlines; o; o = o->next)
        AddViewHatch(blockName, o->ring, section.sectionHatchLayer, section.sectionHatchPattern,
                     section.sectionHatchScale, section.sectionHatchAngle);
}

void AddShadowHatches(const CSezione& section, const std::string& blockName) {
    if (!section.hiddenLines || !section.shadeHatchMode) return;
    for (const ShadowGroup* group = section.shadeOutlines; group; group = group->next)
        for (const OutlinePolygon* piece = group->pieces; piece; piece = piece->next)
            AddShadowHatch(blockName, piece->ring, section.shadeLayer1, section.shadeHatchPattern,
                           &section.shadeHatchScale, &section.shadeHatchAngle, group->number,
                           section.shadeColourMode, section.shadeGradientMode, section.lightAngle);
}

// Model-space entities made after `last` (every one when it names none)
// are erased: what a broken-off direct output had written.
void EraseMadeAfter(const ads_name last) {
    ads_name at{last[0], last[1]};
    std::vector<std::vector<std::int64_t>> made;
    ads_name next;
    while (zcdbEntNext(ads_name_nil(at) ? nullptr : at, next) == RTNORM) {
        made.push_back({next[0], next[1]});
        at[0] = next[0];
        at[1] = next[1];
    }
    for (const auto& name : made) {
        const ads_name e{name[0], name[1]};
        zcdbEntDel(e);
    }
}

// Reads the view record into the section object: its kind, frames,
// hidden-line flag and depth. False for a record too short for its kind.
bool ReadViewRecord(const resbuf* app, CSezione& section) {
    const resbuf* at = app ? app->rbnext : nullptr;
    const auto take = [&at](int code) -> const resbuf* {
        if (!at || at->restype != code) return nullptr;
        const resbuf* got = at;
        at = at->rbnext;
        return got;
    };
    const auto takeFrame = [&take](Matrix4& frame) {
        SetIdentity4(frame);
        const resbuf* rows[4];
        for (const resbuf*& row : rows)
            if (!(row = take(1010))) return false;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) frame.m[r][c] = rows[r]->resval.rpoint[c];
            frame.m[r][3] = rows[3]->resval.rpoint[r];
        }
        return true;
    };
    const resbuf* kindGroup = take(1070);
    if (!kindGroup) return false;
    const int kind = kindGroup->resval.rint;
    if (!takeFrame(section.viewFrame)) return false;
    if (const resbuf* hidden = take(1070))
        section.hiddenLines = hidden->resval.rint;
    else if (kind > 0)
        return false;
    const bool known = kind >= 1 && kind <= 3;
    section.axonometric = known && (kind & 1);
    section.depthFlag = known && (kind & 2);
    if (section.axonometric) {
        if (!takeFrame(section.displayFrame)) return false;
        if (!InvertMatrix4(section.viewFrame, section.inverseViewFrame)) return false;
    }
    if (section.depthFlag) {
        const resbuf* depth = take(1040);
        const resbuf* point = depth ? take(1010) : nullptr;
        if (!point) return false;
        section.depth = depth->resval.rreal;
        section.depthPoint = {point->resval.rpoint[0], point->resval.rpoint[1], point->resval.rpoint[2]};
    }
    return true;
}

// A frame the view input could have built: a translation within the
// drawing's range and three rows of about unit length that span space
// (the input makes them from unit axes, at worst a little skewed). A frame
// with a row of zeros, or of huge numbers, would fold the whole model onto
// a plane or a line.
bool FrameSound(const Matrix4& frame) {
    constexpr double kShortest = 1e-3, kLongest = 1e3, kFlattest = 1e-3;
    double lengths = 1.0;
    for (int r = 0; r < 3; ++r) {
        if (!CoordinateInRange(frame.m[r][3])) return false;
        const double length = std::sqrt(frame.m[r][0] * frame.m[r][0] + frame.m[r][1] * frame.m[r][1] +
                                        frame.m[r][2] * frame.m[r][2]);
        if (!(length >= kShortest && length <= kLongest)) return false;
        lengths *= length;
    }
    const auto& m = frame.m;
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    return std::fabs(det) >= kFlattest * lengths;
}

bool ViewRecordSound(const CSezione& section) {
    if (!FrameSound(section.viewFrame)) return false;
    if (section.axonometric && !FrameSound(section.displayFrame)) return false;
    return !section.depthFlag || (CoordinateInRange(section.depth) && PointInRange(section.depthPoint));
}

void ReportDamagedRecord(const ads_name insert) {
    host::ResbufList data(zcdbEntGet(insert));
    const resbuf* handle = FindRbCode(data.get(), 5);
    zcutPrintf(kDamagedRecord, kViewRecordApp,
               handle && handle->resval.rstring ? handle->resval.rstring : "?");
}

}  // namespace

bool WriteView(CSezione& section, bool fit, bool withViewRecord) {
    if (section.directOutput) {
        ads_name last{0, 0};
        zcdbEntLast(last);
        SectionWalls(section, fit);
        if (section.abortFlag) {
            EraseMadeAfter(last);
            return false;
        }
        AddSectionHatches(section, std::string());
        return section.outputFlag != 0;
    }

    section.insertionPoint = section.lowerLeft;
    if (!BeginViewBlock(section.insertionPoint)) return false;
    SectionWalls(section, fit);
    if (section.abortFlag || !section.outputFlag) {
        zcdbEntMake(nullptr);
        if (!section.abortFlag) zcutPrintf("%s", kNoValidObjects);
        return false;
    }
    const std::string blockName = EndViewBlock();
    if (blockName.empty()) return false;
    AddShadowHatches(section, blockName);
    AddSectionHatches(section, blockName);

    const ads_point at{section.insertionPoint.x, section.insertionPoint.y, section.insertionPoint.z};
    host::ResbufList insert(zcutBuildList(RTDXF0, "INSERT", 2, blockName.c_str(), 8, "0", 10, at, 41, 1.0, 42,
                                          1.0, 43, 1.0, -3, 0));
    resbuf* tail = LastNode(insert.get());
    if (withViewRecord) AppendViewRecord(tail, section);
    AppendLevelMarks(tail, section);
    return zcdbEntMake(insert.get()) == RTNORM;
}

void CmdGenView() {
    GenerateView(0, 0);
}

void CmdSelView() {
    GenerateView(1, 0);
}

void CmdRegenView() {
    const char* prompts[2] = {"Wybierz widoki do zregenerowania:", "Usuń obiekty ze zbioru wskazań:"};
    host::SelectionSet set;
    if (zcedSSGet(":$", prompts, nullptr, nullptr, set.put()) != RTNORM) return;
    int result = 0;
    bool damaged = false;
    ads_name entity;
    for (std::int32_t i = 0; set.name(i, entity); ++i) {
        result = RegenerateView(entity);
        damaged = damaged || result < 0;
    }
    if (set.size() == 1 && result == 0) zcutPrintf("%s", kCannotRegenerate);
    if (damaged) host::noteFailed();
}

void GenerateView(std::uint8_t selectMode, std::int32_t hiddenLines) {
    CSezione section;
    section.hiddenLines = hiddenLines;
    if (!GetSectionLine(section)) return;

    ads_point lowerLeft;
    if (GetPointInRange(RSG_NONULL, nullptr, nullptr, kLowerLeftPrompt, lowerLeft) != RTNORM) return;
    lowerLeft[2] = 0.0;
    section.lowerLeft = {lowerLeft[0], lowerLeft[1], 0.0};

    bool fit = false;
    if (selectMode) {
        ads_point corner;
        const int status = GetCornerInRange(0, nullptr, lowerLeft, kCornerPrompt, corner);
        if (status == RTNORM) {
            fit = true;
            section.cornerPoint = {corner[0], corner[1], corner[2]};
        } else if (status != RTNONE) {
            return;
        }
    }

    CollectViewObjects(section, selectMode);
    if (section.abortFlag) return;
    ViewMeter meter(section);
    if (!FindVisibleSegments(section)) return;
    WriteView(section, fit, selectMode == 0);
}

int RegenerateView(const ads_name insert) {
    CSezione section;
    {
        host::ResbufList list(GetEntXData(insert, kViewRecordApp));
        if (!list || !ReadViewRecord(FindXDataApp(list.get(), kViewRecordApp), section)) return 0;
        if (!ViewRecordSound(section)) {
            ReportDamagedRecord(insert);
            return -1;
        }
        const resbuf* at = FindRbCode(list.get(), 10);
        if (at) section.lowerLeft = {at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]};
        section.insertionPoint = section.lowerLeft;
    }

    // A regenerated view shows the whole model, whatever made it.
    CollectViewObjects(section, 0);
    if (section.abortFlag) return 1;
    ViewMeter meter(section);
    if (!FindVisibleSegments(section)) return 1;
    // A regenerated view is a block whatever the settings say now.
    section.directOutput = 0;
    zcdbEntDel(insert);
    if (!WriteView(section, false, true)) zcdbEntDel(insert);
    return 1;
}
