#include "walls/recognition/layer_records.h"

WallCut* FreeWallCuts(WallCut* cuts) {
    while (cuts) {
        WallCut* next = cuts->next;
        FreeList(cuts->points);
        delete cuts;
        cuts = next;
    }
    return nullptr;
}

LayerRecord* FreeLayerRecords(LayerRecord* last) {
    while (last) {
        LayerRecord* previous = last->previous;
        for (PieceNode* p = last->pieces; p;) {
            PieceNode* next = p->next;
            FreeList(p->ring);
            delete p;
            p = next;
        }
        delete last;
        last = previous;
    }
    return nullptr;
}
