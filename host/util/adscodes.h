// Status codes and result-buffer type codes of the classic application
// interface, with the values the module's code was written against.
#pragma once

#include <cstdint>

// Statuses returned by the classic interface and the prompts.
enum : int {
    RTNONE = 5000,   // Enter, no value
    RTREJ = -5003,   // request rejected
    RTFAIL = -5004,  // call failed
    RTERROR = -5001,
    RTCAN = -5002,    // cancelled (Escape, empty input queue)
    RTKWORD = -5005,  // a keyword was typed
    RTINPUTTRUNCATED = -5008,
    RTNORM = 5100,
};

// Result-buffer value types.
enum : short {
    RTREAL = 5001,
    RTPOINT = 5002,
    RTSHORT = 5003,
    RTANG = 5004,
    RTSTR = 5005,
    RTENAME = 5006,
    RTPICKS = 5007,
    RTORINT = 5008,
    RT3DPOINT = 5009,
    RTLONG = 5010,
    RTVOID = 5014,
    RTLB = 5016,
    RTLE = 5017,
    RTDOTE = 5018,
    RTNIL = 5019,
    RTDXF0 = 5020,
    RTT = 5021,
    RTRESBUF = 5023,
    RTMODELESS = 5027,
};

// zcedInitGet control bits.
enum : int {
    RSG_NONULL = 1,
    RSG_NOZERO = 2,
    RSG_NONEG = 4,
    RSG_NOLIM = 8,
    RSG_GETZ = 16,
    RSG_DASH = 32,
    RSG_2D = 64,
    RSG_OTHER = 128,
    RSG_DDISTFIRST = 256,
    RSG_TRACKUCS = 512,
    RSG_NOORTHOZ = 1024,
    RSG_NOOSNAP = 2048,
    RSG_NODDIST = 4096,
};

// Entry-point messages sent to a module.
enum ZcRxMessage : int {
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
};

// Command flags of the command stack.
enum : int {
    ZCRX_CMD_MODAL = 0,
    ZCRX_CMD_TRANSPARENT = 1,
    ZCRX_CMD_USEPICKSET = 2,
    ZCRX_CMD_REDRAW = 4,
};

using ads_real = double;
using ads_point = ads_real[3];
using ads_name = std::int64_t[2];
using ads_matrix = ads_real[4][4];

enum { X = 0, Y = 1, Z = 2 };
