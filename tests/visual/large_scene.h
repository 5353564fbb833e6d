// A drawing that expands far beyond its size: a block of `faces` separate
// 3DFACEs (no corner shared, so no writer can merge them) referenced
// `references` times from model space, and what an export leaves in a
// folder.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"

inline void MakeExpandingDrawing(int faces, int references) {
    auto make = [](resbuf* list) {
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    };
    const ads_point o{0, 0, 0};
    make(zcutBuildList(RTDXF0, "BLOCK", 2, "ROW", 70, 0, 10, o, 0));
    for (int i = 0; i < faces; ++i) {
        const double x = 20.0 * i;
        const ads_point a{x, 0, 0}, b{x + 10, 0, 0}, c{x + 10, 0, 10}, d{x, 0, 10};
        make(zcutBuildList(RTDXF0, "3DFACE", 8, "VELM3DWALLS$0", 10, a, 11, b, 12, c, 13, d, 0));
    }
    make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    for (int k = 0; k < references; ++k) {
        const ads_point at{0, 20.0 * k, 0};
        make(zcutBuildList(RTDXF0, "INSERT", 2, "ROW", 8, "0", 10, at, 0));
    }
}

// The names in a folder, sorted: a temporary file left would be among them.
inline std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
