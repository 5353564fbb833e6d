// A numbered variable of a parametric object and the list of them, as the
// VAR section declares them and the definition text gets them written back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ObjVar {
    std::int32_t number = 0;
    std::int32_t order = -1;     // display position from the order digits; -1 none
    std::int32_t auxIndex = -1;  // reset by every definition
    std::int16_t kind = 0;       // 0 fixed, 1 computed, 2 parameter
    std::uint8_t significant = 1;
    char16_t type = u'D';     // A B D I R S
    std::string description;  // the expression of a computed variable
    double value = 0.0;
    std::string text;            // value of a text variable
    std::uint8_t numeric = 0;    // "#": a length in drawing units
    std::uint8_t trace = 0;      // "-": evaluation printed
    std::uint8_t applyMark = 0;  // chosen to be given to other objects

    // Every object placed makes and frees its hundred or so variables: the
    // freed blocks are kept for the next object's rather than given back.
    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size) noexcept;
};

enum ObjVarKind : std::int16_t { kVarFixed = 0, kVarComputed = 1, kVarParameter = 2 };

// Declaration order; pointers to variables stay valid while the list lives.
using ObjVarList = std::vector<std::unique_ptr<ObjVar>>;
