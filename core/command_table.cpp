// The module's command table: the 138 rows, the join with handler lists,
// and registration through a command sink.
//
// The rows are data, in registration order. The join indexes the bindings by
// global name once and walks the rows, so it is linear in the table and the
// bindings. Global names are "VELM" and the local name but for the few rows
// that give another local name and "CMD_ADD_S", which has no prefix.
#include "core/command_table.h"

#include <array>
#include <unordered_map>
#include <unordered_set>

namespace {

using enum CommandOwner;

constexpr std::array<CommandEntry, kCommandCount> kCommandRows = {{
    {1, "CMD_ADD_S", "CMD_ADD_S", kCmdModal, Objects, nullptr},
    {2, "VELMOBJECT", "OBJECT", kCmdModal, Objects, nullptr},
    {3, "VELMMODIFY", "MODIFY", kCmdPickFirst, Objects, nullptr},
    {4, "VELMLIBRARY", "LIBRARY", kCmdModal, Objects, nullptr},
    {5, "VELMGGROUP", "GGROUP", kCmdModal, Objects, nullptr},
    {6, "VELMOBJECTF", "OBJECTF", kCmdModal, Objects, nullptr},
    {7, "VELMTIPOF", "TIPOF", kCmdModal, Objects, nullptr},
    {8, "VELMSUBSTF", "SUBSTF", kCmdModal, Objects, nullptr},
    {9, "VELMCOPYOBJ", "COPYOBJ", kCmdPickFirst, Objects, nullptr},
    {10, "VELMMOVEDIM", "MOVEDIM", kCmdModal, Objects, nullptr},
    {11, "VELMLIGHTDEDUCTION", "LIGHTDEDUCTION", kCmdModal, Rooms, nullptr},
    {12, "VELM2DSTAIR", "2DSTAIR", kCmdModal, Objects, nullptr},
    {13, "VELMPARAMAPPLY", "PARAMAPPLY", kCmdModal, Objects, nullptr},
    {14, "VELMOBJECTREP", "OBJECTREP", kCmdPickFirst, Objects, nullptr},
    {15, "VELMSETVAR", "VELMSETVAR", kCmdTransparent, Settings, nullptr},
    {16, "VELMOBJECTCL", "OBJECTCL", kCmdModal, Walls, nullptr},
    {17, "VELMFIXEDPON", "FIXEDPON", kCmdModal, Objects, nullptr},
    {18, "VELMFIXEDPOFF", "FIXEDPOFF", kCmdModal, Objects, nullptr},
    {19, "VELMFIXEDPCH", "FIXEDPCH", kCmdTransparent, Objects, nullptr},
    {20, "VELMLAYEROFF", "LAYEROFF", kCmdModal, Walls, nullptr},
    {21, "VELMLAYERFRZ", "LAYERFRZ", kCmdModal, Walls, nullptr},
    {22, "VELMLAYERDEL", "LAYERDEL", kCmdModal, Walls, nullptr},
    {23, "VELMLAYERISO", "LAYERISO", kCmdModal, Walls, nullptr},
    {24, "VELMINB", "VELINB", kCmdModal, Objects, nullptr},
    {25, "VELMFSLAB", "FSLAB", kCmdModal, Roofs, nullptr},
    {26, "VELMR3D", "R3D", kCmdModal, Roofs, nullptr},
    {27, "VELMHIPROOF", "HIPROOF", kCmdModal, Roofs, nullptr},
    {28, "VELMHROOF", "HROOF", kCmdModal, Roofs, nullptr},
    {29, "VELMGROOF", "GROOF", kCmdModal, Roofs, nullptr},
    {30, "VELMEDITSLABS", "EDITSLABS", kCmdPickFirst, Roofs, nullptr},
    {31, "VELMGIRDER", "GIRDER", kCmdModal, Roofs, nullptr},
    {32, "VELMRGIRDER", "RGIRDER", kCmdModal, Roofs, nullptr},
    {33, "VELMEDITROOFP", "EDITROOFP", kCmdPickFirst, Roofs, nullptr},
    {34, "VELMJ3SLABS", "J3SLABS", kCmdModal, Roofs, nullptr},
    {35, "VELMFLOORV", "FLOORV", kCmdTransparent, Settings, nullptr},
    {36, "VELMROOFV", "ROOFV", kCmdTransparent, Settings, nullptr},
    {37, "VELMWALL", "WALL", kCmdModal, Walls, nullptr},
    {38, "VELMWALLD", "WALLD", kCmdModal, Walls, nullptr},
    {39, "VELMLWALL", "LWALL", kCmdModal, Walls, nullptr},
    {40, "VELMDEFWALL", "DEFWALL", kCmdModal, Walls, nullptr},
    {41, "VELMWALLATT", "WALLATT", kCmdModal, Walls, nullptr},
    {42, "VELMDEFMXT", "DEFMXT", kCmdModal, Walls, nullptr},
    {43, "VELMDBLWALL", "DBLWALL", kCmdModal, Walls, nullptr},
    {44, "VELMDELWALL", "DELWALL", kCmdModal, Objects, nullptr},
    {45, "VELMEDITWALL", "EDITWALL", kCmdPickFirst, Objects, nullptr},
    {46, "VELMCLEANL", "CLEANL", kCmdModal, Walls, nullptr},
    {47, "VELMCLEANT", "CLEANT", kCmdModal, Walls, nullptr},
    {48, "VELMCLEANX", "CLEANX", kCmdModal, Walls, nullptr},
    {49, "VELMWALLBRK", "WALLBRK", kCmdModal, Objects, nullptr},
    {50, "VELMBLA", "BLA", kCmdModal, Walls, nullptr},
    {51, "VELMJOINWALL", "JOINWALL", kCmdModal, Walls, nullptr},
    {52, "VELMRWALL", "RWALL", kCmdModal, Walls, nullptr},
    {53, "VELMWALL3D", "WALL3D", kCmdModal, Visual, nullptr},
    {54, "VELMW3DFACE", "W3DFACE", kCmdModal, Visual, nullptr},
    {55, "VELMVARW3D", "VARW3D", kCmdModal, Visual, nullptr},
    {56, "VELMDDWALL", "DDWALL", kCmdPickFirst, Walls, nullptr},
    {57, "VELMVISEDGE", "VISEDGE", kCmdModal, Walls, nullptr},
    {58, "VELMWHOLE", "WHOLE", kCmdModal, Objects, nullptr},
    {59, "VELMGPROF", "GPROF", kCmdModal, Roofs, nullptr},
    {60, "VELMZPROF", "ZPROF", kCmdModal, Roofs, nullptr},
    {61, "VELMEZPROF", "EZPROF", kCmdPickFirst, Roofs, nullptr},
    {62, "VELMVFLOOR", "VFLOOR", kCmdModal, Rooms, nullptr},
    {63, "VELMEXTRACTR", "EXTRACTR", kCmdModal, Rooms, nullptr},
    {64, "VELMSPACEUNIT", "SPACEUNIT", kCmdModal, Rooms, nullptr},
    {65, "VELMSUNITR", "SUNITR", kCmdModal, Rooms, nullptr},
    {66, "VELMEDITTAB", "EDITTAB", kCmdModal, Rooms, nullptr},
    {67, "VELMTOTAB", "TOTAB", kCmdModal, Rooms, nullptr},
    {68, "VELMFUNLINE", "FUNLINE", kCmdModal, Rooms, nullptr},
    {69, "VELMMODTAG", "MODTAG", kCmdModal, Rooms, nullptr},
    {70, "VELMDEFROOMD", "DEFROOMD", kCmdModal, Rooms, nullptr},
    {71, "VELMSUNITV", "SUNITV", kCmdModal, Rooms, nullptr},
    {72, "VELMINFOUNIT", "INFOUNIT", kCmdModal, Rooms, nullptr},
    {73, "VELMCNAMETAB", "CNAMETAB", kCmdModal, Rooms, nullptr},
    {74, "VELMSHOWTAGFIX", "SHOWTAGFIX", kCmdModal, Rooms, nullptr},
    {75, "VELMREINDEXROOM", "REINDEXROOM", kCmdModal, Rooms, nullptr},
    {76, "VELMPOLYDEDUCT", "POLYDEDUCT", kCmdTransparent, Rooms, nullptr},
    {77, "VELMWABC", "WABC", kCmdModal, Rooms, nullptr},
    {78, "VELMDABC", "DABC", kCmdModal, Rooms, nullptr},
    {79, "VELMABC", "ABC", kCmdModal, Rooms, nullptr},
    {80, "VELMREINDEXABC", "REINDEXABC", kCmdModal, Rooms, nullptr},
    {81, "VELMTOTABC", "TOTABC", kCmdModal, Rooms, nullptr},
    {82, "VELMXABC", "XABC", kCmdModal, Rooms, nullptr},
    {83, "VELMHATCH3D", "HATCH3D", kCmdModal, Visual, nullptr},
    {84, "VELMHFLOOR", "HFLOOR", kCmdModal, Visual, nullptr},
    {85, "VELMHWALL", "HWALL", kCmdModal, Visual, nullptr},
    {86, "VELMDPLAN", "DPLAN", kCmdModal, Rooms, nullptr},
    {87, "VELMDROOM", "DROOM", kCmdModal, Rooms, nullptr},
    {88, "VELMDPROOM", "DPROOM", kCmdModal, Rooms, nullptr},
    {89, "VELMDELEV", "DELEV", kCmdModal, Rooms, nullptr},
    {90, "VELMDV", "DV", kCmdModal, Rooms, nullptr},
    {91, "VELMDBROKEN", "DBROKEN", kCmdModal, Rooms, nullptr},
    {92, "VELMOPTIONS", "VELOPTIONS", kCmdModal, Settings, nullptr},
    {93, "VELMOPENSET", "OPENSET", kCmdModal, Settings, nullptr},
    {94, "VELMSCALEF", "SCALEF", kCmdModal, Settings, nullptr},
    {95, "VELMAUDIT", "VELAUDIT", kCmdModal, Walls, nullptr},
    {96, "VELMHELP", "VELHELP", kCmdModal, Core, nullptr},
    {97, "VELMDISTANCE", "ADISTANCE", kCmdModal, Walls, nullptr},
    {98, "VELMCHANGET", "CHANGET", kCmdModal, Walls, nullptr},
    {99, "VELMCHANGELT", "CHANGELT", kCmdModal, Walls, nullptr},
    {100, "VELMCHANGEC", "CHANGEC", kCmdModal, Walls, nullptr},
    {101, "VELMCHANGEL", "CHANGEL", kCmdModal, Walls, nullptr},
    {102, "VELMOFFSETCL", "OFFSETCL", kCmdModal, Walls, nullptr},
    {103, "VELMROTATEAS", "ROTATEAS", kCmdModal, Walls, nullptr},
    {104, "VELMROTSNAP", "ROTSNAP", kCmdTransparent, Walls, nullptr},
    {105, "VELMULINES", "ULINES", kCmdModal, Walls, nullptr},
    {106, "VELMXLW3D", "XLW3D", kCmdModal, Walls, nullptr},
    {107, "VELMVPSCALE", "VPSCALE", kCmdModal, Settings, nullptr},
    {108, "VELMPSURF", "PSURF", kCmdModal, Walls, nullptr},
    {109, "VELMREINDEXLABEL", "REINDEXLABEL", kCmdModal, Objects, nullptr},
    {110, "VELMBREAKA", "BREAKA", kCmdModal, Walls, nullptr},
    {111, "VELMBREAKX", "BREAKX", kCmdModal, Walls, nullptr},
    {112, "VELMMESH2D", "MESH2D", kCmdModal, Objects, nullptr},
    {113, "VELMCATBLOCK", "CATBLOCK", kCmdModal, Objects, nullptr},
    {114, "VELMINS", "VELINS", kCmdModal, Objects, nullptr},
    {115, "VELMPERSP", "PERSP", kCmdModal, Walls, nullptr},
    {116, "VELMGENVIEW", "GENVIEW", kCmdModal, Visual, nullptr},
    {117, "VELMSELVIEW", "SELVIEW", kCmdModal, Visual, nullptr},
    {118, "VELMREGENVIEW", "REGENVIEW", kCmdModal, Visual, nullptr},
    {119, "VELMASSIGNZ", "ASSIGNZ", kCmdModal, Settings, nullptr},
    {120, "VELMMOVEZ", "MOVEZ", kCmdModal, Settings, nullptr},
    {121, "VELMVXD", "VXD", kCmdTransparent, Settings, nullptr},
    {122, "VELMFLOORTRANS", "FLOORTRANS", kCmdModal, Settings, nullptr},
    {123, "VELMFLOOROPTIONS", "FLOOROPTIONS", kCmdModal, Settings, nullptr},
    {124, "VELMCFLOOR", "CFLOOR", kCmdModal, Settings, nullptr},
    {125, "VELMFLOOROFF", "FLOOROFF", kCmdModal, Settings, nullptr},
    {126, "VELMFLOORSEL", "FLOORSEL", kCmdModal, Settings, nullptr},
    {127, "VELMCREATESTAIR", "CREATESTAIR", kCmdModal, Stairs, nullptr},
    {128, "VELMSTAIRMODEL", "STAIRMODEL", kCmdModal, Stairs, nullptr},
    {129, "VELMEDITSTAIR", "EDITSTAIR", kCmdPickFirst, Stairs, nullptr},
    {130, "VELMSTAIRDEF", "STAIRDEF", kCmdModal, Stairs, nullptr},
    {131, "VELMHANDRAIL", "HANDRAIL", kCmdModal, Stairs, nullptr},
    {132, "VELMPOVRAYD", "POVRAYD", kCmdModal, Visual, nullptr},
    {133, "VELMPOVRAYF", "POVRAYF", kCmdModal, Visual, nullptr},
    {134, "VELMPOVMAT", "POVMAT", kCmdModal, Visual, nullptr},
    {135, "VELMWRLOUT", "WRLOUT", kCmdModal, Visual, nullptr},
    {136, "VELMWRLMAT", "WRLMAT", kCmdModal, Visual, nullptr},
    {137, "VELMPOVOPTIONS", "POVOPTIONS", kCmdModal, Visual, nullptr},
    {138, "VELMWALLML", "WALLML", kCmdModal, Walls, nullptr},
}};

}  // namespace

void RegisterCommands(CommandSink& sink, std::span<const CommandEntry> table) {
    for (const CommandEntry& row : table) {
        if (row.handler != nullptr) {
            sink.addCommand(kCommandGroup, row.globalName, row.localName, row.flags, row.handler);
        }
    }
}

std::span<const CommandEntry> CommandDefinitions() {
    return kCommandRows;
}

std::vector<CommandEntry> JoinCommandTable(std::span<const CommandBinding> bindings) {
    std::unordered_map<std::string_view, CommandHandler> byName;
    byName.reserve(bindings.size());
    for (const CommandBinding& binding : bindings) {
        if (binding.globalName != nullptr) {
            byName.emplace(binding.globalName, binding.handler);  // first one wins
        }
    }
    std::vector<CommandEntry> table(kCommandRows.begin(), kCommandRows.end());
    for (CommandEntry& row : table) {
        if (auto found = byName.find(row.globalName); found != byName.end()) {
            row.handler = found->second;
        }
    }
    return table;
}

std::vector<std::string> CheckCommandBindings(CommandOwner owner, std::span<const CommandBinding> bindings) {
    std::unordered_map<std::string_view, const CommandEntry*> rows;
    for (const CommandEntry& row : kCommandRows) {
        rows.emplace(row.globalName, &row);
    }
    std::vector<std::string> faults;
    std::unordered_set<std::string_view> seen;
    for (const CommandBinding& binding : bindings) {
        const std::string name = binding.globalName != nullptr ? binding.globalName : "(null)";
        auto row = binding.globalName != nullptr ? rows.find(binding.globalName) : rows.end();
        if (row == rows.end()) {
            faults.push_back(name + ": not a command of the table");
            continue;
        }
        if (row->second->owner != owner) {
            faults.push_back(name + ": owned by subsystem " +
                             std::to_string(static_cast<int>(row->second->owner)));
        }
        if (binding.handler == nullptr) {
            faults.push_back(name + ": null handler");
        }
        if (!seen.insert(row->second->globalName).second) {
            faults.push_back(name + ": bound twice");
        }
    }
    return faults;
}
