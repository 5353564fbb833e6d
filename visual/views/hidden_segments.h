// The visibility pass of a view: every projected segment is tested against
// the face records of its bucket and of bucket 0 (of every bucket when it
// lies in bucket 0); what a nearer face covers is cut away, and the visible
// pieces go to the section segment list, each once.
#pragma once

struct ViewFaceRecord;
struct ViewSegment;
class CSezione;

// Moves the visible parts of the bucketed segments to the section segment
// list, emptying the buckets. Progress 50 to 80 on the status-bar meter; a
// user break sets the abort flag.
void RemoveHiddenSegments(CSezione& section);
// Clips one segment by one face: sets `hidden` when the face covers it all,
// shortens it when the face covers its ends, and returns what follows its
// first visible piece (new, the caller's) when the face covers a middle;
// null otherwise. Covered is inside the face or along one of its edges in
// plan, and behind its plane by the view's least length; a segment on the
// face's plane (an edge of it or of a neighbour) is never covered by it.
ViewSegment* ClipSegmentByFace(CSezione& section, bool& hidden, const ViewFaceRecord& face,
                               ViewSegment& segment);
