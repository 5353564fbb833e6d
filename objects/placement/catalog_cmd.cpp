// The user block catalogue command. The insertion drives the host's insert
// command one answer group at a time: the name first (ELEVATION goes back
// to the user's value before the point is taken), then the scales and the
// point, then the rotation, typed by the user when the entry asks for it.
// Block files are DXF drawings named "<name>.dwg"; they are inserted and
// written under that name.
#include "objects/placement/catalog_cmd.h"

#include <cstdlib>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/resources.h"
#include "host/win/files.h"
#include "objects/dialogs/dlg_catblocchi.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kSymbolApp = "VELM5$_$SIMBOLI-";

bool FileExists(const std::string& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// CLAYER, CMDECHO and ELEVATION as the insertion found them.
struct SavedVars {
    std::string layer;
    bool elevationSet = false;
    double elevation = 0;

    void RestoreLayer() const {
        std::string ignored;
        if (!layer.empty()) SysVarString("CLAYER", layer, ignored);
    }
    void RestoreElevation() {
        if (!elevationSet) return;
        const int set = 1;
        SysVarReal("ELEVATION", &elevation, &set);
        elevationSet = false;
    }
};

// The layer name the insertion goes to: the application prefix dropped and
// the name cut at its first "$".
std::string InsertionLayerKey(const std::string& layer) {
    std::string key;
    StripAppPrefix(layer, key);
    const std::size_t dollar = key.find('$');
    if (dollar != std::string::npos) key.erase(dollar);
    return key;
}

// How many records the symbol table holds.
int TableSize(const char* table) {
    int n = 0;
    for (int rewind = 1; host::ResbufList(zcdbTblNext(table, rewind)); rewind = 0) ++n;
    return n;
}

bool BlockDefined(const std::string& name) {
    const host::ResbufList found(zcdbTblSearch("BLOCK", name.c_str(), 0));
    return found != nullptr;
}

// The three factors by the entry's scale; false when an asked one is not
// given.
bool ScalesFor(const CatalogEntry& e, double scale[3], bool& symbol) {
    symbol = false;
    if (e.scaleX == "?") {
        const char* prompts[3] = {"\nSkala X:", "\nSkala Y:", "\nSkala Z:"};
        for (int i = 0; i < 3; ++i)
            if (GetRealInRange(0, nullptr, prompts[i], &scale[i]) != RTNORM) return false;
    } else if (e.scaleX == "R") {
        scale[0] = scale[1] = scale[2] = SettingReal(SetupVar::SFTMTCM, 1.0);
    } else if (e.scaleX == "S") {
        scale[0] = scale[1] = scale[2] = GetScaleFactor(5);
        symbol = true;
    } else {
        scale[0] = std::atof(e.scaleX.c_str());
        scale[1] = std::atof(e.scaleY.c_str());
        scale[2] = std::atof(e.scaleZ.c_str());
    }
    return true;
}

// More refused answers than anyone types end the insertion as cancelled.
constexpr int kMaxRotationAnswers = 1000;

// The rotation answered: a fixed angle, or the user's with ORTHOMODE as the
// entry asks. RTNORM when the insert command ended with it.
int AnswerRotation(const CatalogEntry& e) {
    if (e.rotation != "?" && e.rotation != "!")
        return zcedCommand(RTREAL, std::atof(e.rotation.c_str()), RTNONE);
    zcutPrintf("\nObrót:");
    const int ortho = e.rotation == "!" ? 1 : 0;
    const int former = SysVarShort("ORTHOMODE", &ortho);
    // The host asks again after an answer it refuses: the user answers
    // until it takes one or the command is cancelled.
    int rc = zcedCommand(RTSTR, PAUSE, RTNONE);
    for (int asked = 1; rc == RTNORM && InsertStillAsks() && asked < kMaxRotationAnswers; ++asked)
        rc = zcedCommand(RTSTR, PAUSE, RTNONE);
    if (rc == RTNORM && InsertStillAsks()) rc = RTCAN;
    SysVarShort("ORTHOMODE", &former);
    return rc;
}

// The symbol's scale on the reference just inserted, so a new print scale
// resizes it.
void MarkSymbol(double scale) {
    RegisterXDataApp(kSymbolApp);
    ads_name last;
    if (zcdbEntLast(last) != RTNORM) return;
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, last) != Zcad::eOk) return;
    ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
    if (entity.openStatus() != Zcad::eOk) return;
    const host::ResbufList xdata(zcutBuildList(1001, kSymbolApp, 1040, scale, 0));
    entity->setXData(xdata.get());
}

}  // namespace

std::string CatalogFolder() {
    std::string folder;
    if (ReadConfigString("PATHCATALOG", folder) && !folder.empty()) return folder;
    std::string data;
    if (!GetDataFolder(data)) return {};
    return data + "CAT";
}

int InsertCatalogBlock(CatalogState& state, const AAR_LAYERC& layers, bool first, const std::string& folder) {
    const CatalogEntry& e = state.Entry();
    double scale[3] = {1.0, 1.0, 1.0};
    SavedVars saved;
    double elevation = 0;
    if (!e.currentFloor) {
        const double zero = 0;
        const int set = 1;
        saved.elevation = SysVarReal("ELEVATION", &zero, &set);
        saved.elevationSet = true;
    } else {
        elevation = SettingReal(SetupVar::SQPAV);
    }
    std::string layer = InsertionLayerKey(state.insertLayer);
    if (!layer.empty()) {
        EnsureLayer(layer, layers, e.currentFloor, elevation, false);
        SysVarString("CLAYER", layer, saved.layer);
    }
    ads_point at = {0, 0, 0};
    if (GetPointInRange(first ? RSG_NONULL : 0, nullptr, nullptr, "\nPunkt wstawienia:", at) != RTNORM) {
        saved.RestoreLayer();
        saved.RestoreElevation();
        return RTERROR;
    }
    if (e.currentFloor) at[2] = elevation;

    const std::string path = CatalogBlockPath(folder, e.blockName);
    std::string insertName;
    if (state.explode)
        insertName = "*" + path;
    else if (BlockDefined(e.blockName) && (!first || !state.redefine))
        insertName = e.blockName;
    else
        insertName = e.blockName + "=" + path;

    const int quiet = 0;
    const int echo = SysVarShort("CMDECHO", &quiet);
    bool symbol = false;
    const bool scaled = ScalesFor(e, scale, symbol);
    int rc = RTERROR;
    if (scaled) {
        rc = zcedCommand(RTSTR, "_-INSERT", RTSTR, insertName.c_str(), RTNONE);
        saved.RestoreElevation();
        if (rc == RTNORM)
            rc = zcedCommand(RTSTR, "_X", RTREAL, scale[0], RTSTR, "_Y", RTREAL, scale[1], RTSTR, "_Z",
                             RTREAL, scale[2], RT3DPOINT, at, RTNONE);
    }
    saved.RestoreElevation();
    if (rc != RTNORM) {
        zcedCommand(RTNONE);
        SysVarShort("CMDECHO", &echo);
        saved.RestoreLayer();
        return RTERROR;
    }
    rc = AnswerRotation(e);
    if (rc != RTNORM) zcedCommand(RTNONE);
    saved.RestoreLayer();
    SysVarShort("CMDECHO", &echo);
    if (rc != RTNORM) return 1;
    if (symbol) MarkSymbol(scale[0]);
    return 0;
}

void SelectBlockObjects(host::SelectionSet& set, ads_point base) {
    const char* prompts[2] = {"Wybierz obiekty bloku:", "Usuń obiekty ze zbioru wskazań:"};
    if (zcedSSGet(":$", prompts, nullptr, nullptr, set.put()) != RTNORM) {
        set.reset();
        return;
    }
    if (GetPointInRange(RSG_NONULL, nullptr, nullptr, "Punkt wstawienia bloku:", base) != RTNORM) set.reset();
}

bool WblockCatalogBlock(CatalogState& state, const std::string& folder, const host::SelectionSet& set,
                        const ads_point base) {
    if (!set) return false;
    CatalogEntry& e = state.Entry();
    const std::string path = CatalogBlockPath(folder, e.blockName);
    if (FileExists(path)) {
        CZcModuleResourceOverride use(VelmResourceHandle());
        if (ModuleMessageBox("Jesteś pewien, że chcesz zastąpić istniejący blok?\nWybierz Tak, aby zastąpić",
                             MB_YESNO, 0) != IDYES)
            return false;
    }
    // The old block stays until the new one is whole on disk.
    const std::string written = folder + "/" + e.blockName + ".$$$";
    DeleteFileW(written.c_str());
    const int quiet = 0, expert = 2;
    const int echo = SysVarShort("CMDECHO", &quiet);
    const int formerExpert = SysVarShort("EXPERT", &expert);
    int rc = zcedCommand(RTSTR, "_WBLOCK", RTSTR, written.c_str(), RTSTR, "", RT3DPOINT, base, RTPICKS,
                         set.get(), RTSTR, "", RTNONE);
    // The write took the objects out of the drawing; only then are they
    // brought back, so what an earlier erase took stays erased.
    if (rc == RTNORM) zcedCommand(RTSTR, "_OOPS", RTNONE);
    SysVarShort("CMDECHO", &echo);
    SysVarShort("EXPERT", &formerExpert);
    bool done = rc == RTNORM && FileExists(written);
    if (done) {
        DeleteFileW(path.c_str());
        done = MoveFileW(written.c_str(), path.c_str()) != 0;
    }
    if (!done) {
        DeleteFileW(written.c_str());
        zcutPrintf("\nNie można zapisać bloku %s", e.blockName.c_str());
    }
    e.filePresent = FileExists(path);
    return done;
}

void CmdCatalogBlock() {
    const std::string folder = CatalogFolder();
    if (folder.empty() || (!FileExists(folder) && !CreateDirectoryW(folder.c_str(), nullptr))) {
        zcedAlert("Brakuje katalogu bloków");
        return;
    }
    const std::string file = folder + "/catalog.ini";
    if (!FindSupportFile(file)) {
        zcedAlert("Brakuje pliku CATALOG.INI");
        return;
    }
    CatalogList groups;
    ReadCatalogFile(groups, folder, file);
    if (groups.empty()) {
        // Where the file went wrong, so that it can be mended; a script
        // learns of it from the command's failure.
        if (groups.fault) ReportSupportFault(file, *groups.fault);
        zcutPrintf("\nBłąd odczytu grupy");
        host::noteFailed();
        return;
    }
    CatalogState state;
    state.group = groups.Find(SettingString(SetupVar::CAT_NGRUPPO));
    if (!state.group) state.group = groups.head;
    state.slot = std::atoi(SettingString(SetupVar::CAT_NBLOCCO).c_str());
    if (state.slot >= 0 && state.slot < kCatalogSlots)
        state.insertLayer = state.Entry().layer == "?" ? std::string() : state.Entry().layer;

    int code = catblocchi::kClosed;
    for (;;) {
        CDlgCatblocchiSel browser;
        browser.m_groups = &groups;
        browser.m_state = &state;
        browser.m_folder = folder;
        {
            CZcModuleResourceOverride use(VelmResourceHandle());
            browser.DoModal();
        }
        code = browser.m_result;
        if (code != catblocchi::kDefineBlock) break;
        std::string name = state.Entry().blockName;
        host::SelectionSet set;
        ads_point base = {0, 0, 0};
        CDlgcatblocchidef::Values kept;
        bool load = true;
        for (;;) {
            CDlgcatblocchidef editor;
            editor.m_state = &state;
            editor.m_folder = folder;
            editor.m_loadFromEntry = load;
            editor.m_values = kept;
            {
                CZcModuleResourceOverride use(VelmResourceHandle());
                editor.DoModal();
            }
            kept = editor.m_values;
            load = false;
            if (editor.m_result == catblocchi::kEditChoose) {
                SelectBlockObjects(set, base);
                continue;
            }
            if (editor.m_result == catblocchi::kEditDone && WblockCatalogBlock(state, folder, set, base))
                name = state.Entry().blockName;
            break;
        }
        set.reset();
        state.Entry().blockName = name;
    }

    if (code == catblocchi::kInsertOnce || code == catblocchi::kInsertRepeated) {
        AAR_LAYERC layers;
        layers.ReadLayerDefFile("LAYERC.DEF");
        const int dialogs = 1;
        const int attdia = SysVarShort("ATTDIA", &dialogs);
        const int blocks = TableSize("BLOCK"), layerCount = TableSize("LAYER");
        const int first = InsertCatalogBlock(state, layers, true, folder);
        if (first == 0 && code == catblocchi::kInsertRepeated)
            while (InsertCatalogBlock(state, layers, false, folder) == 0) {
            }
        SysVarShort("ATTDIA", &attdia);
        // Nothing inserted, yet the block's definition (with the layers of
        // its objects) or the insertion layer came in: the command is
        // taken back whole once it has ended. Only then, since a command
        // that changed nothing has no step of its own to take back.
        if (first != 0 && (TableSize("BLOCK") != blocks || TableSize("LAYER") != layerCount))
            if (ZcApDocument* doc = zcDocManagerPtr()->curDocument())
                zcDocManagerPtr()->sendStringToExecute(doc, "_U\n", true, false, false);
    }
    WriteCatalogFile(file, groups);
    // Stored when they would open elsewhere next time: a drawing whose
    // stored group and slot already lead here is not changed.
    const std::string storedGroup = SettingString(SetupVar::CAT_NGRUPPO);
    CatalogGroup* opens = groups.Find(storedGroup);
    if (!opens) opens = groups.head;
    const int storedSlot = std::atoi(SettingString(SetupVar::CAT_NBLOCCO).c_str());
    if (opens != state.group && state.group) SetSettingString(SetupVar::CAT_NGRUPPO, state.group->name);
    if (storedSlot != state.slot) SetSettingString(SetupVar::CAT_NBLOCCO, std::to_string(state.slot));
}
