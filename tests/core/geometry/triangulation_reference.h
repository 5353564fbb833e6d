// A direct, unoptimised transcription of the ear search and fan, kept as the
// oracle the fast triangulation must match face for face.
#pragma once

#include "core/geometry/triangulate.h"

FaceRecord* ReferenceTriangulatePolygon(VertexNode* list, int K, const Matrix4& toWorld);
