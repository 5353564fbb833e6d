// The stand-ins of section_doubles.h.
#include "tests/visual/views/section_doubles.h"

#include <string>

#include "visual/views/section_faces.h"

std::vector<CutCall>& CutCalls() {
    static std::vector<CutCall> calls;
    return calls;
}

int CSezione::CutFace(const Point3 corners[4], const int words[4], Point3*, int*, const ZcGePlane&,
                      double level) {
    CutCall call{};
    for (int k = 0; k < 4; ++k) {
        call.corners[k] = corners[k];
        call.words[k] = words[k];
    }
    call.level = level;
    CutCalls().push_back(call);
    return 0;
}

int CSezione::ParseLevel3DLayer(std::string& name) {
    return name.rfind("VELM3D", 0) == 0 ? -1 : 1;
}
