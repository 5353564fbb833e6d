// Wall types in memory: a wall type (`CMuro`) has a build-up (`CScala`) per
// drawing scale, and a build-up has its layers (`CStrato`). The three lists
// hold their records by value, in the order of the wall-type file.
//
// A wall type refers to its build-up list and a build-up to its layer list
// through shared pointers: copies of a wall type (the working copy of the
// file reader, the rows of a dialog) share one build-up list, and the list
// is freed once, when its last holder lets it go, so a copy outliving the
// list it was taken from never refers to freed memory.
//
// Layer keys: each CListStrati hands out numbers from its own 16-bit
// counter; a key has the counter in its high half and 4 in its low half
// (the node kind "layer" of the wall-type editor). Numbers are never reused
// within one list, so a deleted layer leaves a gap.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CListScale;
class CListStrati;

// One layer of a build-up.
struct CStrato {
    std::uint32_t number = 0;
    std::string material;
    std::string pattern = "0";  // hatch pattern; "0" for none
    double patternScale = 1.0;
    std::string thickness;  // thickness expression ("$", "s<n>", centimetres)
    std::string layer;
};

// The build-up of one drawing scale.
struct CScala {
    int scale = 0;  // denominator: 50, 100, 200 …
    std::shared_ptr<CListStrati> layers;
};

// A wall type.
struct CMuro {
    std::string name;            // key of every lookup
    std::string fileName;        // base name of its file in the data folder
    std::string storedFileName;  // the file name written inside the file
    std::int32_t color = 2;
    std::int32_t priority = 0;
    std::string layer = "2DWALLS";
    std::shared_ptr<CListScale> scales;  // null: no build-ups
};

class CListStrati : public std::list<CStrato> {
public:
    enum InsertMode { kHead = 0, kTail = 1, kBefore = 2, kAfter = 3 };
    // Numbers `layer` from the running counter and stores a copy by `mode`
    // relative to `pos`; end() for an unknown mode (nothing stored).
    iterator InsertNumbered(iterator pos, const CStrato& layer, int mode);
    // The first layer of that number; end() when none.
    iterator FindByNumber(std::uint32_t number);
    void RemoveAt(iterator pos) { erase(pos); }
    void RemoveAll() { clear(); }
    std::uint16_t Counter() const { return m_counter; }

private:
    std::uint16_t m_counter = 0;
};

class CListScale : public std::list<CScala> {
public:
    // The first build-up of that scale denominator; end() when none.
    iterator FindByNumber(int scale);
    const_iterator FindByNumber(int scale) const;
    void RemoveAt(iterator pos) { erase(pos); }
    void RemoveAll() { clear(); }
};

// A wall-type file as it was loaded into a list: its lines, and the lines
// its type gives (what a save of the type unchanged would write).
struct LoadedWallTypeFile {
    std::string fileName;
    std::vector<std::string> lines, typeLines;
};

class CListMuri : public std::list<CMuro> {
public:
    // The first wall type of exactly that name (letter case counts); end()
    // when none.
    iterator FindByName(std::string_view name);
    const_iterator FindByName(std::string_view name) const;
    void RemoveAt(iterator pos) { erase(pos); }
    void RemoveAll() { clear(); }

    // The files the list was loaded from, as they were then: a save writes
    // back only what the list changed since, and removes only what it
    // loaded (see SaveWallTypes).
    std::vector<LoadedWallTypeFile> loaded;
};
