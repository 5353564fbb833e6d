// VELM_MUROESTERNO: the display entity of wall recognition. It shows, for
// the time of one prompt, the faces marked as external sides (colour 8), the
// unpaired segments and the wall pairs (each in its wall type's colour). It
// only refers to the lists of a face graph and a recognition set, never
// frees them, and is erased in the command that appended it.
#pragma once

#include "host/db/dbentity.h"

struct WallFace;
struct WallSegment;
struct WallPair;

class VELM_MUROESTERNO : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_MUROESTERNO);
    static constexpr const char* kClassName = "VELM_MUROESTERNO";

    WallFace* faces = nullptr;
    WallSegment* segments = nullptr;
    WallPair* pairs = nullptr;

    bool worldDraw(ZcGiWorldDraw* wd) override;

    static ZcRxObject* Create() { return new VELM_MUROESTERNO; }
    // Registers the class unless the host knows the name already.
    static void rxInit();
    static void rxUninit();
};
