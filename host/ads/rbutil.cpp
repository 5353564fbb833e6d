// Result-buffer lists. Group codes of entity-data lists are mapped to value
// kinds by the ranges of the drawing exchange format; the classic interface's
// own type codes (5000 and up) carry the value their name says.
#include "host/ads/rbutil.h"

#include <cstdarg>
#include <cstring>

resbuf* zcutNewRb(int type) {
    auto* rb = new resbuf;
    rb->restype = static_cast<short>(type);
    return rb;
}

int zcutRelRb(resbuf* rb) {
    while (rb) {
        resbuf* next = rb->rbnext;
        if (host::rbValueKind(rb->restype) == host::RbValueKind::String) delete[] rb->resval.rstring;
        delete rb;
        rb = next;
    }
    return RTNORM;
}

namespace {

bool isValuelessType(int type) {
    return type == RTLB || type == RTLE || type == RTDOTE || type == RTNIL || type == RTT || type == RTVOID ||
           type == RTNONE || type == -3;
}

}  // namespace

resbuf* zcutBuildList(int rtype, ...) {
    va_list ap;
    va_start(ap, rtype);
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    bool bad = false;
    for (int type = rtype; type != 0 && !bad; type = va_arg(ap, int)) {
        // RTDXF0 stands for group 0, which the list's end marker hides.
        resbuf* rb = zcutNewRb(type == RTDXF0 ? 0 : type);
        switch (host::rbValueKind(type == RTDXF0 ? 0 : type)) {
            case host::RbValueKind::None:
                bad = !isValuelessType(type);
                break;
            case host::RbValueKind::Real:
                rb->resval.rreal = va_arg(ap, double);
                break;
            case host::RbValueKind::Point: {
                const ads_real* p = va_arg(ap, const ads_real*);
                if (p)
                    for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = p[i];
                break;
            }
            case host::RbValueKind::Short:
                rb->resval.rint = static_cast<short>(va_arg(ap, int));
                break;
            case host::RbValueKind::Long:
                rb->resval.rlong = va_arg(ap, int);
                break;
            case host::RbValueKind::String: {
                const char* s = va_arg(ap, const char*);
                host::rbSetString(rb, s ? s : "");
                break;
            }
            case host::RbValueKind::Name: {
                const std::int64_t* n = va_arg(ap, const std::int64_t*);
                if (n) {
                    rb->resval.rlname[0] = n[0];
                    rb->resval.rlname[1] = n[1];
                }
                break;
            }
            case host::RbValueKind::Int64:
                rb->resval.mnLongPtr = va_arg(ap, long long);
                break;
        }
        if (!head)
            head = rb;
        else
            tail->rbnext = rb;
        tail = rb;
    }
    va_end(ap);
    if (bad) {
        zcutRelRb(head);
        return nullptr;
    }
    return head;
}

resbuf* zcutDupRbList(const resbuf* rb) {
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    for (; rb; rb = rb->rbnext) {
        resbuf* copy = zcutNewRb(rb->restype);
        if (host::rbValueKind(rb->restype) == host::RbValueKind::String)
            host::rbSetString(copy, rb->resval.rstring ? rb->resval.rstring : "");
        else
            copy->resval = rb->resval;
        if (!head)
            head = copy;
        else
            tail->rbnext = copy;
        tail = copy;
    }
    return head;
}

namespace host {

RbValueKind rbValueKind(int t) {
    switch (t) {
        case RTREAL:
        case RTANG:
        case RTORINT:
            return RbValueKind::Real;
        case RTPOINT:
        case RT3DPOINT:
            return RbValueKind::Point;
        case RTSHORT:
            return RbValueKind::Short;
        case RTSTR:
            return RbValueKind::String;
        case RTENAME:
        case RTPICKS:
            return RbValueKind::Name;
        case RTLONG:
            return RbValueKind::Long;
        default:
            break;
    }
    if (t >= 5000) return RbValueKind::None;
    if (t == -1 || t == -2 || t == -5) return RbValueKind::Name;
    if (t == -4) return RbValueKind::String;
    if (t < 0) return RbValueKind::None;
    if (t <= 9) return RbValueKind::String;
    // 38 (elevation) and 39 (thickness) are reals, not points.
    if (t <= 37) return RbValueKind::Point;
    if (t <= 59) return RbValueKind::Real;
    if (t <= 79) return RbValueKind::Short;
    if (t >= 90 && t <= 99) return RbValueKind::Long;
    if (t >= 100 && t <= 105) return RbValueKind::String;
    if (t >= 110 && t <= 139) return RbValueKind::Point;
    if (t >= 140 && t <= 149) return RbValueKind::Real;
    if (t >= 160 && t <= 169) return RbValueKind::Int64;
    if (t >= 170 && t <= 179) return RbValueKind::Short;
    if (t >= 210 && t <= 239) return RbValueKind::Point;
    if (t >= 270 && t <= 299) return RbValueKind::Short;
    if (t >= 300 && t <= 329) return RbValueKind::String;
    if (t >= 330 && t <= 369) return RbValueKind::Name;
    if (t >= 370 && t <= 389) return RbValueKind::Short;
    if (t >= 390 && t <= 399) return RbValueKind::Name;
    if (t >= 400 && t <= 409) return RbValueKind::Short;
    if (t >= 410 && t <= 419) return RbValueKind::String;
    if (t >= 420 && t <= 429) return RbValueKind::Long;
    if (t >= 430 && t <= 439) return RbValueKind::String;
    if (t >= 440 && t <= 459) return RbValueKind::Long;
    if (t >= 460 && t <= 469) return RbValueKind::Real;
    if (t >= 470 && t <= 479) return RbValueKind::String;
    if (t == 999) return RbValueKind::String;
    if (t >= 1000 && t <= 1009) return RbValueKind::String;
    if (t >= 1010 && t <= 1039) return RbValueKind::Point;
    if (t >= 1040 && t <= 1059) return RbValueKind::Real;
    if (t >= 1060 && t <= 1070) return RbValueKind::Short;
    if (t == 1071) return RbValueKind::Long;
    return RbValueKind::None;
}

void rbSetString(resbuf* rb, const std::string& text) {
    delete[] rb->resval.rstring;
    rb->resval.rstring = new char[text.size() + 1];
    std::memcpy(rb->resval.rstring, text.c_str(), text.size() + 1);
}

}  // namespace host
