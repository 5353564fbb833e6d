// DXF texts of nested blocks written by hand, so that a test can make what
// no command makes: a block that inserts itself, a cycle through several
// blocks, nesting wide and deep enough to stand for billions of faces.
#pragma once

#include <string>
#include <vector>

struct DxfBlockSpec {
    std::string name;
    int faces = 0;                     // unit 3DFACEs, first
    std::vector<std::string> inserts;  // then one INSERT of each block named
};

struct BlockDxf {
    std::string text;
    // The line of the "0" that starts each INSERT, in the order written:
    // every block's inserts in turn, then the model space's.
    std::vector<int> insertLines;
};

inline BlockDxf MakeBlockDxf(const std::vector<DxfBlockSpec>& blocks, const DxfBlockSpec& model) {
    BlockDxf out;
    int line = 0;
    auto pair = [&](const std::string& code, const std::string& value) {
        out.text += code + "\n" + value + "\n";
        line += 2;
    };
    auto contents = [&](const DxfBlockSpec& b) {
        for (int i = 0; i < b.faces; ++i) {
            pair("0", "3DFACE");
            pair("8", "0");
            const char* corners[4][2] = {{"0", "0"}, {"1", "0"}, {"1", "1"}, {"0", "1"}};
            for (int c = 0; c < 4; ++c) {
                pair(std::to_string(10 + c), corners[c][0]);
                pair(std::to_string(20 + c), corners[c][1]);
                pair(std::to_string(30 + c), "0");
            }
        }
        for (const std::string& name : b.inserts) {
            out.insertLines.push_back(line + 1);
            pair("0", "INSERT");
            pair("8", "0");
            pair("2", name);
            pair("10", "0");
            pair("20", "0");
            pair("30", "0");
        }
    };
    pair("0", "SECTION");
    pair("2", "BLOCKS");
    for (const DxfBlockSpec& b : blocks) {
        pair("0", "BLOCK");
        pair("8", "0");
        pair("2", b.name);
        pair("70", "0");
        pair("10", "0");
        pair("20", "0");
        pair("30", "0");
        contents(b);
        pair("0", "ENDBLK");
    }
    pair("0", "ENDSEC");
    pair("0", "SECTION");
    pair("2", "ENTITIES");
    contents(model);
    pair("0", "ENDSEC");
    pair("0", "EOF");
    return out;
}

// Eight levels of ten inserts over one face: 10^8 faces from a few kB.
inline BlockDxf TenToTheEighthDxf() {
    std::vector<DxfBlockSpec> blocks{{"L0", 1, {}}};
    for (int level = 1; level < 8; ++level)
        blocks.push_back(
            {"L" + std::to_string(level), 0, std::vector<std::string>(10, "L" + std::to_string(level - 1))});
    return MakeBlockDxf(blocks, {"", 0, std::vector<std::string>(10, "L7")});
}
