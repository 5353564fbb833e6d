#include "walls/drawing/muroj_class.h"

#include "walls/drawing/velm_muroj.h"

void RegisterWallEntityClass() { VELM_MUROJ::rxInit(); }

void UnregisterWallEntityClass() { VELM_MUROJ::rxUninit(); }
