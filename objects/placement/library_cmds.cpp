#include "objects/placement/library_cmds.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbobjptr.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/resources.h"
#include "host/util/findfile.h"
#include "objects/dialogs/dlg_menu_obj.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_records.h"
#include "objects/placement/insert_run.h"
#include "objects/placement/modify_regen.h"
#include "objects/placement/param_input.h"
#include "objects/placement/wall_edit_util.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_gengruppi.h"
#include "settings/dialogs/dlg_librerie.h"
#include "settings/rescale.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kTemporaryName = "$$TEMP$$__$$";
constexpr UINT kSlideMenuSyntaxString = 1064;
constexpr const char* kNotParametric = "\nWybrany element nie jest parametrycznym obiektem";

// -1 without the record, 0 with a record lacking the name, 1 with it.
int RecordName(const ads_name entity, std::string& name) {
    host::ResbufList list(GetEntXData(entity, kParamRecordApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kParamRecordApp) : nullptr;
    if (!app) return -1;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype == 1000) {
            name = rb->resval.rstring ? rb->resval.rstring : "";
            return 1;
        }
    }
    return 0;
}

// The definition named becomes the last one used as soon as it is chosen,
// found or not: the next prompt offers what the user typed last.
void KeepLastDefinition(const std::string& name) {
    SetSettingString(SetupVar::ULTIMO_FMASTER, name);
}

// The definition name typed at the prompt; Enter takes the last one used.
bool AskObjectName(std::string& name) {
    // Kept in the drawing, whoever made it: its file name alone is offered.
    const std::string last = host::bareFileName(SettingString(SetupVar::ULTIMO_FMASTER, "F1"));
    char prompt[300];
    std::snprintf(prompt, sizeof prompt, "\nNazwa pliku obiektu <%s>:", last.c_str());
    char reply[260] = {};
    if (zcedGetString(0, prompt, reply) != RTNORM) return false;
    name = reply;
    if (name.empty())
        name = last;
    else
        KeepLastDefinition(name);
    return true;
}

// A new insertion of the named definition, with a placed object's values
// when `source` is given.
int InsertNamedObject(const std::string& name, bool skipInput, const ads_name source) {
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    context->skipParamInput = skipInput ? 1 : 0;
    context->runMode = 0;
    InitObjVariables(*context);
    const int result = InsertParamObject(*context, nullptr, source, 1);
    FreeObjContext(std::move(context));
    return result;
}

// Placed objects replaced by the named definition.
void ReplaceByDefinition(const std::string& name) {
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    context->runMode = 2;
    context->skipParamInput = 0;
    InitObjVariables(*context);
    ReplaceParamObjects(*context);
    FreeObjContext(std::move(context));
}

// A definition file from the file dialog, or typed when the user chose to
// type it; false on cancel or an empty answer.
bool ChooseDefinitionFile(const char* title, const char* filter, const char* typedPrompt, std::string& name) {
    std::string folder;
    GetDataFolder(folder);
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog(title, folder.c_str(), "txt", filter, 24, &answer);
    const host::ResbufList result(answer);
    if (rc != RTNORM || !result) return false;
    const bool typed = result->restype == RTSHORT;
    if (!typed) name = result->resval.rstring ? result->resval.rstring : "";
    if (typed) {
        char reply[260] = {};
        if (zcedGetString(0, typedPrompt, reply) != RTNORM || !reply[0]) return false;
        name = reply;
    }
    return !name.empty();
}

// GetParamObjectFile, giving also the object the name came from.
int PickParamObject(const char* prompt, std::string& name, const ads_name preset, ads_name object) {
    if (preset && !ads_name_nil(preset)) {
        ads_name_set(preset, object);
        const int r = RecordName(preset, name);
        if (r >= 0) return r;
    }
    for (;;) {
        ads_name picked;
        ads_point at;
        const int rc = zcedEntSel(prompt, picked, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return 0;
        ads_name_set(picked, object);
        const int r = RecordName(picked, name);
        if (r >= 0) return r;
        zcutPrintf("%s", kNotParametric);
    }
}

// The named sets of a definition edited; when the editor chose a set, an
// object is placed with it and the definition becomes the last one used.
void EditSetsThenInsert(const std::string& name) {
    std::unique_ptr<ObjContext> editor = NewObjContext(name);
    editor->runMode = 3;
    const bool chosen = SaveParameterSets(*editor) != 0;
    const std::string setName = editor->paramSetName;
    FreeObjContext(std::move(editor));
    if (!chosen) return;
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    context->paramSetName = setName;
    context->skipParamInput = 1;
    KeepLastDefinition(name);
    context->runMode = 0;
    InitObjVariables(*context);
    InsertParamObject(*context, nullptr, nullptr, 1);
    FreeObjContext(std::move(context));
}

// What follows the row count of the slide menu: the column count, one word
// per slide and the title. False when anything is missing, a count is
// negative or the grid holds more slides than the menu shows.
bool ReadSlideMenuArguments(int rows, int& columns, std::vector<std::string>& names, std::string& title) {
    if (zcedGetInt(nullptr, &columns) != RTNORM) return false;
    if (rows < 0 || columns < 0 || rows * columns > menuobj::kMaxSlides) return false;
    for (int i = 0; i < rows * columns; ++i) {
        char word[260] = {};
        if (zcedGetString(0, nullptr, word) != RTNORM) return false;
        names.emplace_back(word);
    }
    char text[512] = {};
    if (zcedGetString(1, nullptr, text) != RTNORM) return false;
    title = text;
    return true;
}

}  // namespace

int GetParamObjectFile(const char* prompt, std::string& name, const ads_name preset) {
    ads_name object;
    return PickParamObject(prompt, name, preset, object);
}

int SelectObjectFile(const char* prompt, std::string& name, const ads_name preset) {
    if (name == ".") return GetParamObjectFile(prompt, name, preset);
    // The folder goes first: a dot in a folder's name is no extension, and
    // a name left with its folder would tie the drawing to this machine.
    std::string bare = name;
    const std::size_t slash = bare.find_last_of("/\\:");
    if (slash != std::string::npos) bare = bare.substr(slash + 1);
    const std::size_t dot = bare.find('.', 1);
    if (dot != std::string::npos) bare.resize(dot);
    char found[1024];
    if (!bare.empty() && zcedFindFile((bare + ".txt").c_str(), found) == RTNORM) name = bare;
    return 1;
}

void CmdObject() {
    std::string name;
    if (!AskObjectName(name)) return;
    if (InsertNamedObject(name, SettingInt(SetupVar::SET_PARINIZIALEOBJ) == 0, nullptr) == kReplaceChosen)
        ReplaceByDefinition(name);
}

void CmdObjectReplace() {
    std::string name;
    if (!AskObjectName(name)) return;
    ReplaceByDefinition(name);
}

void CmdSubstituteFile() {
    std::string name = ".";
    if (!SelectObjectFile("\nWybierz nowy obiekt, Enter, aby przeglądać:", name, nullptr)) {
        name.clear();
        if (!ChooseDefinitionFile("Plik definicji obiektu", "File Pov",
                                  "\n./Określ nazwę pliku dla nowego obiektu:", name))
            return;
        if (!SelectObjectFile("\nWybierz nowy obiekt", name, nullptr)) return;
    }
    ReplaceByDefinition(name);
}

void CmdObjectFile() {
    std::string name;
    if (!ChooseDefinitionFile("Plik definicji obiektu", "File Pov",
                              "\nOkreśl nazwę pliku dla nowego obiektu:", name))
        return;
    if (!SelectObjectFile("\nWybierz obiekt, który chcesz wstawić:", name, nullptr)) return;
    KeepLastDefinition(name);
    if (InsertNamedObject(name, SettingInt(SetupVar::SET_PARINIZIALEOBJ) == 0, nullptr) == kReplaceChosen)
        ReplaceByDefinition(name);
}

void CmdCopyObject() {
    ads_name preset{0, 0};
    ads_name set;
    if (zcedSSGet("_I", nullptr, nullptr, nullptr, set) == RTNORM) {
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        if (n == 1) zcedSSName(set, 0, preset);
        zcedSSFree(set);
    }
    std::string name;
    ads_name source{0, 0};
    if (!PickParamObject("\nWybierz obiekt, który chcesz skopiować:", name, preset, source)) return;
    if (name == kTemporaryName) {
        zcutPrintf("%s", kNotParametric);
        return;
    }
    InsertNamedObject(name, true, source);
}

void CmdLibrary() {
    std::vector<std::string> folders;
    if (ZcDbObjectPointer<VELM_LIBOBJOPT> options(OpenLibObjOptObject()); options) {
        folders = options->entries;
    }
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgLibrerie dlg;
    dlg.SetPaths(folders);
    if (dlg.DoModal() != IDOK) return;
    dlg.GetPaths(folders);
    if (ZcDbObjectPointer<VELM_LIBOBJOPT> options(OpenLibObjOptObject()); options) {
        options->entries = folders;
    }
}

void CmdLayerGroups() {
    bool regenerate = false;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgGenGruppi dlg;
        dlg.DoModal();
        regenerate = dlg.m_regenerate != 0;
    }
    if (regenerate) RegenObjectsByApp(kParamRecordApp, nullptr);
}

void CmdEditParameterSets() {
    std::string name;
    if (!ChooseDefinitionFile("Modyfikuj parametry obiektu", "File Txt",
                              "\n./Określ nazwę pliku obiektu, którego parametry chcesz modyfikować:", name))
        return;
    if (!SelectObjectFile("Modyfikuj parametry obiektu", name, nullptr)) return;
    EditSetsThenInsert(name);
}

void CmdSlideMenu() {
    int rows = 0;
    const int first = zcedGetInt("\nEnter, aby wstawić ostatni wstawiony obiekt:", &rows);
    if (first == RTNONE) {
        InsertNamedObject(host::bareFileName(SettingString(SetupVar::ULTIMO_FMASTER, "F1")), true, nullptr);
        return;
    }
    if (first != RTNORM) return;
    int columns = 0;
    std::string title;
    std::vector<std::string> names;
    if (!ReadSlideMenuArguments(rows, columns, names, title)) {
        std::string message;
        {
            CZcModuleResourceOverride use(VelmResourceHandle());
            message = ResourceString(kSlideMenuSyntaxString);
        }
        zcutPrintf("\n%s: CMD_ADD_S", message.c_str());
        return;
    }
    int result = 0;
    std::string name;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgMenuObj menu;
        menu.SetContent(title, rows, columns, names);
        menu.DoModal();
        result = menu.GetResultCode();
        name = menu.GetSelectedName();
    }
    // A slide without a name (an empty menu) has nothing to place.
    if (name.empty()) return;
    switch (result) {
        case menuobj::kResultEditSets:
            EditSetsThenInsert(name);
            break;
        case menuobj::kResultParameters:
            KeepLastDefinition(name);
            InsertNamedObject(name, false, nullptr);
            break;
        case menuobj::kResultInsert:
            KeepLastDefinition(name);
            if (InsertNamedObject(name, true, nullptr) == kReplaceChosen) ReplaceByDefinition(name);
            break;
        case menuobj::kResultReplace:
            ReplaceByDefinition(name);
            break;
        default:
            break;
    }
}
