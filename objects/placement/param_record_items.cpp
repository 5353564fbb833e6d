#include "objects/placement/param_record_items.h"

#include "host/ads/ssget.h"

resbuf* RecordItem(resbuf* app, int n) {
    if (!app) return nullptr;
    resbuf* rb = app->rbnext;
    for (int i = 1; rb && i < n; ++i) rb = rb->rbnext;
    if (rb && rb->restype == 1001) return nullptr;
    return rb;
}

std::string RecordName(resbuf* app) {
    const resbuf* item = RecordItem(app, 1);
    return item && item->restype == 1000 && item->resval.rstring ? item->resval.rstring : "";
}

int RecordType(resbuf* app) {
    const resbuf* item = RecordItem(app, 3);
    return item && item->restype == 1070 ? item->resval.rint : 10;
}

std::vector<std::pair<std::int64_t, std::int64_t>> Members(const ads_name set) {
    std::vector<std::pair<std::int64_t, std::int64_t>> out;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM) out.emplace_back(e[0], e[1]);
    }
    zcedSSFree(set);
    return out;
}

bool SelectWithPrompts(const char* select, const char* remove, ads_name set) {
    const char* prompts[2] = {select, remove};
    return zcedSSGet(":$", prompts, nullptr, nullptr, set) == RTNORM;
}
