// Result-buffer lists: allocation, release, the varargs list builder and a
// deep copy. Every string of a node is owned by the node (new[]), so a list
// is released whole by zcutRelRb and copied whole by zcutDupRbList.
#pragma once

#include <string>

#include "host/util/resbuf.h"

// A new node of the given type with a zeroed value; strings start as null.
resbuf* zcutNewRb(int type);

// Frees a whole list (every node from rb on) with the strings it owns.
int zcutRelRb(resbuf* rb);

// Builds a list from (type, value) pairs ended by 0. Types: RTREAL/RTANG
// (double), RTPOINT/RT3DPOINT (const ads_real*), RTSHORT (int), RTLONG (int),
// RTSTR (const char*), RTENAME/RTPICKS (const ads_name), RTLB/RTLE/RTDOTE/
// RTNIL/RTT/RTVOID (no value), RTDXF0 (group 0 with its text), and entity-data group codes (the value type
// follows the group code's range). Returns null on an unknown type, with
// nothing leaked.
resbuf* zcutBuildList(int rtype, ...);

// Deep copy of a whole list; null for null.
resbuf* zcutDupRbList(const resbuf* rb);

namespace host {

// The kind of value a type or group code carries in a node.
enum class RbValueKind { None, Real, Point, Short, Long, String, Name, Int64 };

RbValueKind rbValueKind(int restype);

// Replaces the string of a string node with a copy of text.
void rbSetString(resbuf* rb, const std::string& text);

}  // namespace host
