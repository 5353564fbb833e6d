// Jigs: interactive dragging of a preview entity. A derived jig overrides
// sampler (acquire one input and say whether it changed), update (apply it
// to the entity) and entity (the preview to draw).
//
// Headless, each answer in the queue is one sample: drag() calls sampler
// once, which reads one answer through acquirePoint/acquireDist/
// acquireAngle; unless the sampler reports kNoChange, update runs and the
// preview entity's worldDraw is recorded (lastPreview()), or only the part
// that the jig's drawChanges says has changed. drag() returns
// the sampler's status: kNormal, kKW1… for the n-th keyword of the list,
// kNull for Enter (when the input controls accept it), kCancel, kNoChange.
// A bad answer prints the host's message and reads the next one.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbid.h"
#include "host/ed/grdraw.h"
#include "host/ge/gebase.h"

class ZcDbEntity;

class ZcEdJig {
public:
    enum DragStatus {
        kModeless = -17,
        kNoChange = -6,
        kCancel = -4,
        kOther = -3,
        kNull = -1,
        kNormal = 0,
        kKW1 = 1,
        kKW2,
        kKW3,
        kKW4,
        kKW5,
        kKW6,
        kKW7,
        kKW8,
        kKW9,
        kKW10,
        kKW11,
        kKW12,
        kKW13,
        kKW14,
        kKW15,
        kKW16,
        kKW17,
        kKW18,
        kKW19,
        kKW20,
    };
    enum UserInputControls {
        kGovernedByOrthoMode = 0x0001,
        kNullResponseAccepted = 0x0002,
        kDontEchoCancelForCtrlC = 0x0004,
        kDontUpdateLastPoint = 0x0008,
        kNoDwgLimitsChecking = 0x0010,
        kNoZeroResponseAccepted = 0x0020,
        kNoNegativeResponseAccepted = 0x0040,
        kAccept3dCoordinates = 0x0080,
        kAcceptMouseUpAsPoint = 0x0100,
        kAnyBlankTerminatesInput = 0x0200,
        kInitialBlankTerminatesInput = 0x0400,
        kAcceptOtherInputString = 0x0800,
    };
    enum CursorType { kNoSpecialCursor = -1, kCrosshair = 0, kRectCursor, kRubberBand, kNotRotated };

    ZcEdJig() = default;
    virtual ~ZcEdJig() = default;
    ZcEdJig(const ZcEdJig&) = delete;
    ZcEdJig& operator=(const ZcEdJig&) = delete;

    DragStatus drag();
    virtual DragStatus sampler() = 0;
    virtual bool update() = 0;
    virtual ZcDbEntity* entity() const = 0;
    // A jig whose preview changes only towards its end (an outline growing
    // by one vertex) may redraw just that end: it returns how many leading
    // primitives of lastPreview() still stand and draws the rest into wd,
    // which the host appends to them. The default, -1, has entity() drawn
    // whole again. The recorded preview is the same either way.
    virtual int drawChanges(ZcGiWorldDraw& wd);
    // Appends entity() to the current space (the jig hands it over).
    ZcDbObjectId append();

    DragStatus acquirePoint(ZcGePoint3d& point);
    DragStatus acquirePoint(ZcGePoint3d& point, const ZcGePoint3d& basePoint);
    DragStatus acquireDist(double& distance);
    DragStatus acquireDist(double& distance, const ZcGePoint3d& basePoint);
    // Absolute angles in radians (counter-clockwise from east).
    DragStatus acquireAngle(double& angle);
    DragStatus acquireAngle(double& angle, const ZcGePoint3d& basePoint);

    void setDispPrompt(const char* prompt, ...) __attribute__((format(printf, 2, 3)));
    const char* dispPrompt() const { return prompt_.c_str(); }
    // Blank-separated keywords ("Local … _ Global …" as for zcedInitGet),
    // any number of them.
    void setKeywordList(const char* keywords);
    const char* keywordList() const { return keywords_.c_str(); }
    void setUserInputControls(UserInputControls controls) { controls_ = controls; }
    UserInputControls userInputControls() const { return controls_; }
    void setSpecialCursorType(CursorType type) { cursor_ = type; }
    CursorType specialCursorType() const { return cursor_; }

    // What the last update drew (the preview the user would see), and how
    // many previews were drawn in all.
    const std::vector<ZcGiPrimitive>& lastPreview() const { return preview_; }
    int previewCount() const { return previews_; }

private:
    enum class Want { Point, Dist, Angle };
    DragStatus acquire(Want want, const ZcGePoint3d* base, ZcGePoint3d* point, double* value);

    std::string prompt_;
    std::string keywords_;
    UserInputControls controls_ = static_cast<UserInputControls>(0);
    CursorType cursor_ = kNoSpecialCursor;
    std::vector<ZcGiPrimitive> preview_;
    int previews_ = 0;
};
