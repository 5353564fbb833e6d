// Allocation and release of the face-graph records.
#include "walls/graph/wall_face.h"

WallFace* NewWallFace() {
    return new WallFace;
}

FaceEdge* NewSpanEdge(const Point3& a, const Point3& b, double topZ, double bottomZ,
                      std::int32_t visibility) {
    auto* e = new FaceEdge;
    e->start = a;
    e->end = b;
    e->topZ = topZ;
    e->bottomZ = bottomZ;
    e->edgeVisibility = visibility;
    return e;
}

WallFace* FreeFaceList(WallFace* list) {
    while (list) {
        WallFace* next = list->next;
        FreeList(list->edges);
        FreeList(list->arcEdges);
        FreeList(list->outlineLinks);
        delete list;
        list = next;
    }
    return nullptr;
}

OutlineNode* FreeOutlineList(OutlineNode* list) {
    while (list) {
        OutlineNode* next = list->next;
        for (VertexNode* v : {list->jamb1, list->jamb2, list->cut3DExt1, list->cut3DInt1, list->cut3DExt2,
                              list->cut3DInt2, list->points})
            FreeList(v);
        delete list;
        list = next;
    }
    return nullptr;
}

ContourLink* FreeLinkedNodes(ContourLink* list) {
    return FreeList(list);
}

void LinkOutline(WallFace& face, OutlineNode* outline) {
    auto* link = new OutlineLink{outline, nullptr};
    OutlineLink** tail = &face.outlineLinks;
    while (*tail) tail = &(*tail)->next;
    *tail = link;
}

bool IsOutlineLinked(const WallFace& face, const OutlineNode* outline) {
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next)
        if (l->outline == outline) return true;
    return false;
}

OutlineLink* CopyOutlineLinks(const OutlineLink* links) {
    OutlineLink* head = nullptr;
    OutlineLink** tail = &head;
    for (; links; links = links->next) {
        *tail = new OutlineLink{links->outline, nullptr};
        tail = &(*tail)->next;
    }
    return head;
}

FaceEdge* LastEdge(FaceEdge* list) {
    if (!list) return nullptr;
    while (list->next) list = list->next;
    return list;
}

bool UnlinkFace(WallFace*& list, WallFace* face) {
    for (WallFace** p = &list; *p; p = &(*p)->next) {
        if (*p == face) {
            *p = face->next;
            face->next = nullptr;
            return true;
        }
    }
    return false;
}

void AppendFace(WallFace*& list, WallFace* face) {
    WallFace** tail = &list;
    while (*tail) tail = &(*tail)->next;
    face->next = nullptr;
    *tail = face;
}
