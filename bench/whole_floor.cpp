// A whole floor of a building, as a user would make it, command by command
// through the command processor with the module loaded:
//   - BM_DrawWalls: a grid of C x R rooms of 400 x 300 on the axes, walls 30
//     thick centred, one wall command per wall (the perimeter one closed
//     wall, each inner horizontal axis one wall from face to face, each
//     partition from the face below to the face above): 2CR + C + R walls,
//     264, 1,012, 2,047 and 8,064 of them;
//   - BM_Doors: a door "P1" in the bottom wall of every room, one command
//     each, on the floor drawn (untimed) first;
//   - BM_RoomLabels: every room labelled, one command each, walls and doors
//     made (untimed) first;
//   - BM_WrlOut: the VRML export of the floor's walls made 3D (untimed);
//   - BM_DefWall: wall recognition, the wall type assigned to the lines
//     of a window over the whole floor, then the build-ups drawn;
//   - BM_Relabel: every label of the floor measured again ("VELMSUNITR",
//     "Całe"), the rooms labelled (untimed) first;
//   - BM_Schedule: the schedule of the doors ("VELMABC"), a door in every
//     room made (untimed) first;
//   - BM_FloorSlab, BM_RoofSlab: a comb outline (teeth 100 x 150) of 502,
//     2,002 and 8,002 vertices typed in point by point.
// Each figure is also given as a ratio to the size before it in the same
// run ("ratio"), with the growth exponent that ratio means ("n^").
//
// RelWithDebInfo on a shared, loaded machine, seconds (before: with the
// outline preview redrawn whole and windows, fences and picks walking the
// drawing; after: the preview drawn piecewise and the spatial index, and
// for doors and labels the graph, faces and records read as said below):
//   walls 2,047 / 8,064      0.49 / 6.1 (n^1.84)  ->  0.26 / 1.55 (n^1.30)
//   floor slab 2,002 / 8,002 0.35 / 7.5           ->  0.03 / 0.27-0.30
//   roof slab 2,002 / 8,002  0.43 / 8.5           ->  0.03 / 0.39
//   doors 121 / 484 / 992    1.6 / 25 / 127 (n^2)  ->  0.31 / 4.2 / 19.6
//                            (the face of each side read from the lines
//                            along it, outline records kept parsed, no
//                            whole-floor read for 3D sides no wall asks
//                            for; still n^2: every door still selects the
//                            wall lines of the floor through "X" walks, to
//                            find the second side, the two faces and the
//                            zero-length leftovers)
//   labels 121 / 484 / 992   0.8 / 11 / 48 (n^2)   ->  0.19 / 0.78 / 1.6
//                            (n^1.0: the face graph kept between commands
//                            while the walls stay as they were, the roof
//                            windows selected through the application
//                            index); the polygonize-and-area pass of bench/
//                            floor_polygonize.py takes 0.07 s for 992, so
//                            labelling is still about 23 times it.
// VRML export, wall recognition and relabelling, Release on the shared
// machine at a load average of 33-35 on 8 cores, so wall time is about
// five times the CPU time; walls 1,012 / 2,047 / 8,064, wall (CPU) seconds
// (before, as measured earlier on a quieter machine: every vertex searched
// linearly, every merge walking every face and segment, every label
// selecting every card row):
//   VRML         0.11 / 0.50 / 7.1             ->  0.04 / 0.08 / 0.45
//                                                  (0.010 / 0.022 / 0.105)
//   recognition  0.28 / 0.88 / 15.9            ->  0.48 / 1.23 / 10.1
//                                                  (0.11 / 0.27 / 2.26)
//   relabelling  0.81 / 1.95 / 24.5            ->  3.2 / 6.9 / 27.6
//                                                  (0.64 / 1.45 / 5.9)
// Recognition then grew as n^1.5 from 2,047 to 8,064: each new pair asked
// the grid along the whole partner strip of every segment near it, along a
// floor-long wall the whole wall. Asked near the pair only (same machine,
// load 12, CPU seconds): 1,012 / 2,047 / 8,064 walls 0.08 / 0.17 / 0.93
// (ratio 5.3-5.8, n^1.22-1.28); the rest is reading the lines' records and
// the face grid's queries along long faces.
//
// Doors and relabelling after the wall LINE table and the outline records
// kept by the drawing's reactor (the wall lines near a pick through the
// spatial index, each face read from the lines and outlines along its own
// line, no selection of the whole drawing per door), the spatial index
// boxing again only the references of a changed block, and the layer
// catalogue and a label's definition parsed once per command. Release, the
// same machine at a load average of 11 on 8 cores, wall (CPU) seconds:
//   doors 121 / 484 / 992 / 3,969   0.13 / 0.55 / 1.28 / 6.86
//                                   (0.11 / 0.54 / 1.25 / 6.83; 992 ->
//                                   3,969 n^1.21, 4.0 times the doors)
//   relabelling 1,012 / 2,047 / 8,064 walls  0.47 / 0.97 / 4.06
//                                   (0.46 / 0.97 / 4.03; n^1.05)
//   labels 121 / 484 / 992          0.23 / 0.78 / 1.53  (n^0.93)
//   recognition 1,012 / 2,047 / 8,064 walls  0.12 / 0.29 / 2.41 (n^1.53:
//                                   unchanged, see above)
//   VRML 1,012 / 2,047 / 8,064      0.012 / 0.025 / 0.14
//
// Then each door's faces read from a box around the picked line that grows
// until the face ends inside it (not the band along the whole floor), a
// bitmap and the bitmap library's folder read once per command, and in
// recognition a merge asking the face grid only near the segment's ends
// (for what it may take) and where its extent grew (for what may cross
// it). Release, medians of five, load average 0.3-0.9 on 8 cores, wall
// seconds (2,047 -> 8,064 walls: ratio for 3.94 times the walls, growth):
//   doors 992 / 3,969            0.71 / 2.81   (3.99 for 4.0 times the
//                                doors, n^1.00)
//   recognition                  0.137 / 0.657 (4.80, n^1.14)
//   relabelling                  0.67 / 2.68   (4.04, n^1.02)
//   VRML                         0.020 / 0.104 (5.10, n^1.19: opening the
//                                faces' objects misses the cache more often
//                                in a larger drawing; the vertex search
//                                grows as the floor)
//   schedule of 992 / 3,969 doors 0.27 / 1.11  (4.20, n^1.04)
//   labels 121 / 484 / 992       0.16 / 0.68 / 1.53 (medians of three)
//
// Labels and relabelling after what is worked out from support files (the
// layer catalogue, the label's and row's definitions, template, field set
// and configuration, the pictures and the bitmap library's folder) was kept
// from one command to the next while the files stayed as they were, rather
// than to the end of each command, a label's command being one label; and
// rows, totals and labels drawn again no longer building the parameter
// dialog. Release, 2,047 walls, paired runs on the shared machine at a load
// average of 19-27 on 8 cores, wall (CPU) seconds, medians of five:
//   labels 992        1.82 (1.54)  ->  0.93 (0.81)   (range 0.79-1.04)
//   relabelling       0.82 (0.74)  ->  0.49 (0.43)   (range 0.45-0.84)
// What a label costs now is spread over the object runs of the label and
// its row (the DRAW statements, each making its entities, about a third),
// the two dialogs the user answers, writing the room into its doors' marks
// and the support-path look-ups (a stat of every support folder each).
//
// Then where a support name is found and which support folders are there
// kept for the command round (relabelling is one command), a folder's
// listing kept as its value (the user's data folder no longer listed by
// every command of the first seconds, its time put back after the
// writability probe), plain application names compared without compiling
// a pattern, a layer or style looked for without its record's list, and a
// table's undo state filed in one growth and moved, not copied. Release,
// 2,047 walls, paired runs (before, after) on the shared machine at a load
// average of 5-11 on 8 cores, wall seconds, medians of three:
//   labels 992        0.91  ->  0.70
//   relabelling       0.54  ->  0.36
// A label's command now goes mostly to the object runs of the label and
// its row (making their entities through lists, about a fifth; reading
// the statements, a tenth), the two dialogs answered (about a sixth),
// writing the room into its doors' marks and the undo states of what
// changes.
//
// Then the layer catalogue, the configuration's lines and a label's field
// set and template shared with what the kept-file cache holds rather than
// copied for each reader (three catalogue copies and a configuration copy
// per label), a run sharing the kept definition's lines until it changes
// one, and the settings object looked for in its dictionary where it is
// rather than in a copy of the entries. Release, 2,047 walls, paired runs
// (before, after) on the shared machine at a load average of 9-12 on 8
// cores, wall (CPU) seconds, medians of five:
//   labels 992        0.96 (0.96)  ->  0.89 (0.89)   (every pair faster,
//                                   by 1-22 %)
//   relabelling       0.45 (0.45)  ->  0.46 (0.46)   (within the noise: a
//                                   row drawn again copied little of it)
// What a label costs now: making the entities of its DRAW statements
// through lists (about a fifth), the two dialogs answered (a tenth),
// writing the room into its doors' marks (a tenth), the kept room graph
// (built for the first label, checked for each) and the first look of each
// support name in the command (a stat of every support folder, about 4 %).
//
// The slabs then still walked the outline once per point (the vertex
// before the rubber band, the check of what changed since the last
// preview, and in gutter mode the plane's heights and the outline's
// length): n^1.7 from 2,002 to 8,002. The entry road now tells the jig
// where the current vertex is, and each of those looks starts from the
// vertex before it (the gutter plane, when it comes out the same to the
// bit, is put only on the vertices past that one). Release, the shared
// machine at a load average of 25-33 on 8 cores (wall time there is
// mostly waiting for a core), CPU ms, 2,002 -> 8,002 vertices:
//   floor slab   42 -> 450 (x10.7, n^1.71)  ->  18 -> 72 (x3.9-4.0, n^0.99)
//   roof slab    56 -> 623 (x11.1, n^1.74)  ->  19-21 -> 70-78 (x3.3-3.8,
//                                               n^0.87-0.97)
// What is left is the block writer (its ear scan) and the host's own work
// per point (the answer parsed, the prompt and the transcript).
//
// Then a label's own costs cut where they came back per label: the room
// written into its doors' mark records in place (not each door's whole
// list read and fed back through entmod), the kept graph comparing a
// changed door by its items, the reactors passing a block's contents by,
// the attribute definitions, attributes, lines and block ends made from
// their groups without lists built and read back, a selection filter
// compiled once per list, the layer groups and scale table read rather
// than opened for write (each open filed them into the undo), a block
// added to the block table undone by taking it out rather than by a copy
// of every block's id, the support path made once per command round, the
// zeros of a value kept without setting DIMZIN and back, and a dialog's
// controls attached once and their liveness kept in an array. The drawing,
// transcript and files of every script test are the same to the byte.
// Release, 2,047 walls, paired runs (before, after) on the shared machine
// at a load average of 1.1-1.4 on 8 cores, wall seconds, medians of five
// (ranges):
//   labels 992        0.61 (0.61-0.65)  ->  0.46 (0.45-0.52)
//   relabelling       0.29 (0.29-0.32)  ->  0.23 (0.22-0.24)
// What a label costs now: the two dialogs built and answered (about an
// eighth: seventy controls made, laid out and ended), making the entities
// of its DRAW statements (a sixth: each append told to the drawing's
// reactors, the block table's and the doors' undo states), reading and
// evaluating the definitions' statements and variables (a sixth), the kept
// room graph's first build (one label in a thousand, a twentieth of the
// floor) and the first look of each support name in a command.
//
// Then a kept definition's VAR declarations and the lines its sections
// start worked out once from its lines (each run applying its own unit
// factor, values in force and order digits), a DRAW section's layers
// prepared once per layer in the run, a run's store slots and scale
// factors read in one open and its predefined variables set without a
// search of the list per new number, the wall-layer list and library
// folders read without filing them into the undo, the binary filer's undo
// states grown without zeroing, and a dialog's controls found by id from a
// list of ids and known alive while in their parent's list. The drawing,
// transcript and files of every script test are the same to the byte.
// Release, 2,047 walls, paired runs (before, after) on the shared machine
// at a load average of 1.1-1.2 (up to 2.7 over the minute) on 8 cores, wall seconds, medians of ten
// (ranges):
//   labels 992        0.473 (0.461-0.572)  ->  0.434 (0.420-0.485)
//   relabelling       0.241 (0.230-0.310)  ->  0.204 (0.200-0.243)
// What a label costs now, still flat: the two dialogs built, painted and
// ended (about a sixth), making the entities of the DRAW statements and the
// label's insert (a sixth: the reactors told of each append), the door's
// undo state as the room is written into its mark (a twentieth), the kept
// graph's first build (a twentieth of the floor), about 27 stats per label
// (where each support name is and whether each kept file is as it was: a
// twentieth), and the variables looked up one by one in a list (3 %).
//
// Then, on another machine (about 1.7 times slower: the state above gives
// labels 0.64-0.77 s there), counted as instructions of the timed part
// with callgrind, which no load changes (998d30b -> now):
//   labels 992        2,140 M -> 1,692 M   relabelling  1,342 M -> 1,067 M
// Step by step for labels: a store write of the value a slot holds made
// without opening the store (2,098 M); a computed variable's references
// found through an index of the list, names compared eight bytes at a time
// (2,021 M); arguments and line lengths read a run of ASCII at a time
// (1,994 M); the binary filer writing into room made ahead, items read
// where they stand, short names folded on the stack for table look-ups, an
// entity's items taken whole (1,765 M); a dialog's controls made and ended
// without copied child lists or a sorted array of live windows (1,692 M).
// Release, paired runs (998d30b, now) at a load average of 2.3-2.4 (a CI
// run beside them, so the ranges are wide), wall seconds, medians of five
// (ranges):
//   labels 992        0.82 (0.61-0.95)  ->  0.73 (0.59-0.74)
//   relabelling       0.39 (0.25-0.46)  ->  0.33 (0.32-0.35)
// bench/floor_polygonize.py takes 0.09 s on that machine: labels are about
// 8 times it. Where the 1,692 M go now: the kept graph's first build
// (15 %), the two dialogs (14 %), evaluating the definitions' expressions
// and setting a run's variables (12 %), making the entities (11 %), and
// the undo states of the store and the doors (4 %).
//
// Then the kept graph's wall lines and arcs read from their objects (no
// list of each entity's data and every application's records), a computed
// variable's expression decoded on the stack, a run's variables set
// through slots by number, a statement's keyword line read only up to its
// first blank, and a label's field set kept parsed with the catalogue's
// text while the file stays as it was. Instructions of the timed part
// (0690735 -> now): labels 992  1,696 M -> 1,543 M (graph 1,631 M;
// expressions and setter 1,588 M; slots 1,581 M; keyword lines 1,569 M;
// field sets 1,549 M; setter's far numbers 1,543 M), relabelling 1,067 M
// -> 978 M. Release, paired runs alternated six times (0690735, now) on
// the shared machine at a load average of 4.6-6.0, wall seconds, medians
// of the medians of five (ranges):
//   labels 992        0.377 (0.361-0.505)  ->  0.354 (0.328-0.413)
//   relabelling       0.171 (0.164-0.197)  ->  0.163 (0.153-0.201)
// (The machine ran labels at 0.47-0.89 s for the same binary within the
// same quarter of an hour; the instructions are the figure to compare.)
// Left in these folders: the definitions' variables themselves (each an
// allocation, every run's list indexed again for each evaluation of its
// computed variables), reading the DRAW statements' arguments, the room
// written into its doors' marks and, outside them, the configuration's two
// numbers scanned for every label (22 M).
//
// Then each support file and folder looked at once per command round (as
// where a name is found already was), the shared layer catalogue's keys
// found through an index of their capitals, a room's marks written on a
// door no longer making the kept graph read the door again, a run's
// variables in blocks kept for the next run and its look-up kept while the
// list only grows, a dialog's plain controls ended together and windows in
// reused blocks, found by id through a table, and an entity's records filed
// into its undo state in one pass. Instructions of the timed part (87ffa24
// -> now): labels 992  1,471 M -> 1,278 M, relabelling 939 M -> 826 M;
// stats per label 27 -> 14. Release, paired runs alternated (87ffa24, now)
// at a load average of 2-3 on 8 cores, wall seconds, medians (ranges):
//   labels 992        0.554 (0.431-0.662)  ->  0.487 (0.391-0.584)  (8 pairs)
//   relabelling       0.270 (0.223-0.317)  ->  0.222 (0.186-0.267)  (6 pairs)
//
// Then the point and face grids of the graph in one open-addressed table
// of cells, a dialog's handlers in lists and its paint records reused, the
// text style of an attribute looked up once, where each support name was
// found kept across commands while every folder searched is as it was, the
// support path made again only when the drawing's name changes, the
// spatial index and the kept outlines, wall lines and graph records passing
// by what they never read without a table look-up, and a DRAW section's
// statements finding their variables through one index. Instructions of
// the timed part (b6095a1 -> now): labels 992  1,278 M -> 1,065 M; stats
// per label 14 -> 11. Release, paired runs alternated (the last round's
// binary, now) at a load average of 1.2-1.4 on 8 cores, wall seconds,
// medians (ranges):
//   labels 992        0.256 (0.248-0.265)  ->  0.230 (0.226-0.238)  (8 pairs)
//   relabelling       0.130 (0.127-0.168)  ->  0.122 (0.119-0.132)  (6 pairs)
// (An hour before, at a load of 0.3-2, the same two binaries gave 0.55 and
// 0.51 s: the machine's own speed moves by half; the paired ratio and the
// instructions are the figures to compare.)
//
// The same floor as a script for the host program:
// tests/rooms/whole_floor/make_floor_script.py COLS ROWS.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "bench/growth.h"
#include "bench/loaded_module.h"
#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/harness/harness.h"

namespace {

constexpr int kX = 400, kY = 300, kH = 15;

std::string Point(double x, double y) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g,%g\n", x, y);
    return buf;
}

std::string WallScript(int cols, int rows) {
    std::string s = "VELMWALLD\n0,0\n" + Point(cols * kX, 0) + Point(cols * kX, rows * kY) +
                    Point(0, rows * kY) + "Zamknij\n";
    for (int j = 1; j < rows; ++j)
        s += "VELMWALLD\n" + Point(kH, j * kY) + Point(cols * kX - kH, j * kY) + "\n";
    for (int j = 0; j < rows; ++j)
        for (int i = 1; i < cols; ++i)
            s += "VELMWALLD\n" + Point(i * kX, j * kY + kH) + Point(i * kX, (j + 1) * kY - kH) + "\n";
    return s;
}

std::string DoorScript(int cols, int rows) {
    std::string s;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i)
            s += "VELMOBJECT\nP1\n!pick " + Point(i * kX + 200, j * kY + kH) + "100\n\n";
    return s;
}

std::string LabelScript(int cols, int rows) {
    std::string s;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            s += "!dialog 139 ok\nVELMSPACEUNIT\n";
            if (i == 0 && j == 0) s += Point(cols * kX + 600, rows * kY);
            s += Point(i * kX + 100, j * kY + 100) + "\n";
        }
    return s;
}

std::string WrlScript(const std::string& path) {
    return "!dialog file edit 1152 \"" + path + "\" ok\nVELMWRLOUT\n\n";
}

std::string DefWallScript(int cols, int rows) {
    return "!dialog 192 select 1078 \"Ściana z cegły pełnej\" click 4\n!dialog 192 click "
           "1061\nVELMDEFWALL\nW\n" +
           Point(-100, -100) + Point(cols * kX + 100, rows * kY + 100) + "\n";
}

// The schedule of the floor's doors, a new table right of the floor.
std::string ScheduleScript(int cols) {
    return "!dialog 150 select 1025 \"DOORS\" ok\nVELMABC\n" + Point(cols * kX + 600, 0);
}

// Labels without doors: relabelling reads the rooms, not the doors.
std::string RelabelScript() {
    return "VELMSUNITR\nCałe\n";
}

// A comb of `teeth` teeth 100 x 150 over a base 150 high: 2 + 4 teeth
// vertices, shifted by dx.
std::string CombPoints(int teeth, double dx) {
    std::string s = Point(dx, 0) + Point(dx + 200.0 * teeth, 0);
    for (int i = teeth - 1; i >= 0; --i)
        s += Point(dx + 200.0 * i + 200, 300) + Point(dx + 200.0 * i + 100, 300) +
             Point(dx + 200.0 * i + 100, 150) + Point(dx + 200.0 * i, 150);
    return s;
}

void Run(const std::string& script) {
    host::currentInput().pushLines(script);
    benchmark::DoNotOptimize(host::processInput());
}

// Times the last of the scripts, after the ones before it, in a new drawing.
template <class... Scripts>
void Stage(benchmark::State& state, const char* name, double n, const std::string& timed,
           const Scripts&... first) {
    // The source tree's support files: the door "P1" and the label
    // template come from there.
    LoadedModule module({{}, VELM_SOURCE_DIR}, host::installScriptDirectives);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host::resetDocuments();
        zcDocManagerPtr()->createDocument("Drawing1.dwg");
        (Run(first), ...);
        host::transcript().clear();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        Run(timed);
        if (std::getenv("WHOLE_FLOOR_TRANSCRIPT")) std::fputs(host::transcript().text().c_str(), stderr);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        host::resetDocuments();
        state.ResumeTiming();
    }
    RecordGrowth(state, name, n, seconds);
}

int Walls(int cols, int rows) {
    return 2 * cols * rows + cols + rows;
}

void BM_DrawWalls(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "walls", Walls(c, r), WallScript(c, r));
    state.counters["walls"] = Walls(c, r);
}

void BM_Doors(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "doors", c * r, DoorScript(c, r), WallScript(c, r));
    state.counters["doors"] = c * r;
}

void BM_RoomLabels(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "labels", c * r, LabelScript(c, r), WallScript(c, r), DoorScript(c, r));
    state.counters["rooms"] = c * r;
}

void BM_WrlOut(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    const std::string path = (std::filesystem::temp_directory_path() / "whole_floor_bench.wrl").string();
    Stage(state, "vrml", Walls(c, r), WrlScript(path), WallScript(c, r), std::string("VELMWALL3D\n\n"));
    std::filesystem::remove(path);
    state.counters["walls"] = Walls(c, r);
}

void BM_DefWall(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "recognition", Walls(c, r), DefWallScript(c, r), WallScript(c, r));
    state.counters["walls"] = Walls(c, r);
}

void BM_Relabel(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "relabel", Walls(c, r), RelabelScript(), WallScript(c, r), LabelScript(c, r));
    state.counters["walls"] = Walls(c, r);
}

void BM_Schedule(benchmark::State& state) {
    const int c = static_cast<int>(state.range(0)), r = static_cast<int>(state.range(1));
    Stage(state, "schedule", Walls(c, r), ScheduleScript(c), WallScript(c, r), DoorScript(c, r));
    state.counters["walls"] = Walls(c, r);
    state.counters["doors"] = c * r;
}

void BM_FloorSlab(benchmark::State& state) {
    const int teeth = static_cast<int>(state.range(0));
    Stage(state, "floor slab", 2 + 4 * teeth,
          "!dialog 152 click 4\nVELMFSLAB\n" + CombPoints(teeth, 0) + "\n\n");
    state.counters["vertices"] = 2 + 4 * teeth;
}

void BM_RoofSlab(benchmark::State& state) {
    const int teeth = static_cast<int>(state.range(0));
    Stage(state, "roof slab", 2 + 4 * teeth,
          "!dialog 118 ok\nVELMR3D\n" + CombPoints(teeth, 1e5) + "\n\n\n\n");
    state.counters["vertices"] = 2 + 4 * teeth;
}

// Each command once on the floors of 22 x 22, 31 x 32 and 63 x 63 rooms.
void LargeFloors(benchmark::internal::Benchmark* b) {
    b->Args({22, 22})->Args({31, 32})->Args({63, 63})->Iterations(1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FloorSlab)->Arg(125)->Arg(500)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoofSlab)->Arg(125)->Arg(500)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawWalls)
    ->Args({11, 11})
    ->Args({22, 22})
    ->Args({31, 32})
    ->Args({63, 63})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Doors)->Args({11, 11})->Args({22, 22})->Args({31, 32})->Args({63, 63})->Iterations(1)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_WrlOut)->Apply(LargeFloors);
BENCHMARK(BM_DefWall)->Apply(LargeFloors);
BENCHMARK(BM_Relabel)->Apply(LargeFloors);
BENCHMARK(BM_Schedule)->Apply(LargeFloors);
BENCHMARK(BM_RoomLabels)
    ->Args({11, 11})
    ->Args({22, 22})
    ->Args({31, 32})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
