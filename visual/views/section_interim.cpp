// The two calls of the face set into the section object's own passes, as
// far as the face set needs them until those passes are built: a face that
// crosses the section plane is left out, so nothing in front of the plane
// is ever drawn, and every layer reads as an ordinary layer under its own
// name. Kept alone in this file so that a program may bring its own.
#include "visual/views/section_faces.h"

int CSezione::CutFace(const Point3[4], const int[4], Point3*, int*, const ZcGePlane&, double) {
    return 0;
}

int CSezione::ParseLevel3DLayer(std::string&) {
    return 1;
}
