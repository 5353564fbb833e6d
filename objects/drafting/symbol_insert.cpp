// Symbol and block insertion (see the header).
//
// The host's insert runs over several calls: the file and a pause for the
// point, then the scale and a pause for the rotation, then one answer per
// attribute prompt for as long as the insert still asks. A cancelled pause
// cancels the insert, so the drawing stays as it was; ATTDIA and CMDECHO
// are put back on every path.
#include "objects/drafting/symbol_insert.h"

#include <cstdio>
#include <optional>
#include <set>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/textfile.h"
#include "objects/dialogs/run_memory.h"
#include "objects/language/obj_text.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kSymbolApp = "VELM5$_$SIMBOLI-";
constexpr const char* kNotFound = "Pliku nie znaleziono";
constexpr std::size_t kMaxListLine = 124;
// An insert with more attributes than anyone draws is still answered, with
// defaults, but not forever.
constexpr int kMaxAttributePrompts = 1000;

struct InsertKind {
    const char* prompt;
    const char* promptWithLast;
    bool symbol;
};

// ATTDIA and CMDECHO at 0 while the insert runs.
class QuietInsert {
public:
    QuietInsert() : m_attdia(SysVarShort("ATTDIA", &kZero)), m_cmdecho(SysVarShort("CMDECHO", &kZero)) {}
    ~QuietInsert() {
        SysVarShort("CMDECHO", &m_cmdecho);
        SysVarShort("ATTDIA", &m_attdia);
    }
    QuietInsert(const QuietInsert&) = delete;
    QuietInsert& operator=(const QuietInsert&) = delete;

private:
    static constexpr int kZero = 0;
    int m_attdia, m_cmdecho;
};

// The names the user typed at the name prompt in this run, folders and
// all: a drawing's stored name that is one of them is the user's own, not
// the drawing's, and Enter takes it whole.
std::set<std::string>& TypedNames() {
    return RunMemory().typedBlockNames;
}

std::optional<std::string> AskString(const std::string& prompt) {
    char buf[512] = "";
    if (zcedGetString(0, prompt.c_str(), buf) != RTNORM) return std::nullopt;
    return std::string(buf);
}

std::string WithLast(const char* bare, const char* withLast, const std::string& last) {
    if (last.empty()) return bare;
    char text[1024];
    std::snprintf(text, sizeof text, withLast, last.c_str());
    return text;
}

// The user answers the insert's attribute prompts while it asks: the block
// was said to have none, so its prompts are left to whoever types.
int PauseForAttributes() {
    int rc = RTNORM;
    for (int i = 0; i < kMaxAttributePrompts && InsertStillAsks(); ++i) {
        rc = zcedCommand(RTSTR, PAUSE, 0);
        if (rc != RTNORM) break;
    }
    return rc;
}

// Answers the insert's attribute prompts while it asks: the given values
// first, Enter (the default) for any further one.
int AnswerAttributes(const std::array<std::string, 3>& values) {
    int rc = RTNORM;
    for (int i = 0; i < kMaxAttributePrompts && InsertStillAsks(); ++i) {
        rc = zcedCommand(RTSTR, i < 3 ? values[static_cast<std::size_t>(i)].c_str() : "", 0);
        if (rc != RTNORM) break;
    }
    return rc;
}

void RunInsert(const InsertKind& kind) {
    using namespace SetupVar;
    // 1. The name. The last one is the drawing's: whoever made the drawing
    // may have stored a path there, which Enter would import from wherever
    // it points; it is offered and used by its file name alone, unless the
    // user typed that very name in this run.
    const std::string stored = SettingString(CUBLOCCO);
    const std::string lastName = TypedNames().contains(stored) ? stored : host::bareFileName(stored);
    std::optional<std::string> name = AskString(WithLast(kind.prompt, kind.promptWithLast, lastName));
    if (!name) return;
    if (!name->empty()) {
        SetSettingString(CUBLOCCO, *name);
        TypedNames().insert(*name);
    } else {
        name = lastName;
    }
    if (name->empty()) return;
    // 2. The file.
    const std::string fileName = *name + ".dwg";
    std::string path;
    if (FindLibraryFile(fileName, path) != RTNORM) {
        zcutPrintf("\n%s: %s", fileName.c_str(), kNotFound);
        return;
    }
    bool attributes = kind.symbol;
    if (!kind.symbol) attributes = AskYesNo("\nCzy blok ma atrybut?<N>:", 0) == 1;
    // 3. The layer.
    const std::string lastLayer = SettingString(ULAYERBLOCK);
    std::optional<std::string> layer =
        AskString(WithLast("\nOkreśl nazwę warstwy:", "\nOkreśl nazwę warstwy <%s>:", lastLayer));
    if (!layer) return;
    if (!layer->empty()) {
        const std::string bare = (*layer)[0] == '=' ? layer->substr(1) : *layer;
        if (zcdbSNValid(bare.c_str(), 0) != RTNORM) {
            zcutPrintf("%s", "\nNieprawidłowa nazwa warstwy");
            return;
        }
        SetSettingString(ULAYERBLOCK, *layer);
    } else {
        layer = lastLayer;
    }
    // 4. The layer made, on the floor when asked.
    const double floorLevel = SettingReal(SQPAV, 0.0);
    bool onFloor = false;
    if (!layer->empty() && !zcutEqualsNoCase(*layer, "0")) {
        AAR_LAYERC table;
        table.ReadLayerDefFile("LAYERC.DEF");
        if ((*layer)[0] == '=') {
            layer->erase(0, 1);
            onFloor = SettingInt(SET_ADDINSQPAV, 0) != 0;
        }
        EnsureLayer(*layer, table, onFloor, floorLevel, true);
    }
    // 5. The attribute values.
    std::array<std::string, 3> values{*name, "-", "1"};
    // The list's name is the drawing's too: looked up by its file name.
    const std::string listName = host::bareFileName(SettingString(SFILEARTICOLI)) + ".STF";
    char listPath[1024];
    if (zcedFindFile(listName.c_str(), listPath) != RTNORM)
        zcutPrintf("\n%s %s\n", listName.c_str(), kNotFound);
    else
        values = SymbolAttributeValues(listPath, *name);
    // 6. The scale.
    const bool inDialog = SettingInt(SCOMPUTO01, 0) != 0;
    const double scale = kind.symbol ? GetScaleFactor(5) : SettingReal(SFTMTCM, 1.0);
    // 7 to 10. The insert.
    int rc = RTNORM;
    {
        QuietInsert quiet;
        zcutPrintf("%s", "\nOkreśl punkt wstawienia i kąt:");
        rc = zcedCommand(RTSTR, "_-INSERT", RTSTR, path.c_str(), RTSTR, PAUSE, 0);
        if (rc == RTNORM) rc = zcedCommand(RTREAL, scale, RTSTR, "", RTSTR, PAUSE, 0);
        if (rc != RTNORM) {
            zcedCommand(0);
            return;
        }
        if (attributes) {
            rc = AnswerAttributes(inDialog ? std::array<std::string, 3>{"", "", ""} : values);
            if (rc == RTNORM && inDialog) {
                ads_name last;
                if (zcdbEntLast(last) == RTNORM) rc = zcedCommand(RTSTR, "_DDATTE", RTENAME, last, 0);
            }
        } else {
            // The insert is made only once its attributes are answered; the
            // layer and floor below apply to it, not to what came before.
            rc = PauseForAttributes();
            if (rc != RTNORM) {
                zcedCommand(0);
                return;
            }
        }
        zcutPrintf("%s", "\n");
    }
    if (kind.symbol) RegisterXDataApp(kSymbolApp);
    if (rc != RTNORM) return;
    // 12. The insert put on its layer and floor, and marked.
    ads_name last;
    if (zcdbEntLast(last) != RTNORM) return;
    host::ResbufList list(zcdbEntGet(last));
    if (!list) return;
    if (onFloor) {
        if (resbuf* at = FindRbCode(list.get(), 10)) at->resval.rpoint[2] = floorLevel;
    }
    if (!layer->empty()) ReplaceRb(list.get(), 8, layer->c_str());
    if (kind.symbol) {
        resbuf* tail = list.get();
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = zcutBuildList(-3, 1001, kSymbolApp, 1040, scale, 0);
    }
    zcdbEntMod(list.get());
}

}  // namespace

std::array<std::string, 3> SymbolAttributeValues(const std::string& path, const std::string& symbol) {
    const std::array<std::string, 3> defaults{symbol, "-", "1"};
    // Defaults taken for a damaged list would change the symbol's
    // attributes unseen: the list and its line are named.
    bool notText = false;
    const std::optional<host::TextFile> file = ReadSupportText(path, &notText);
    if (!file) {
        if (!notText)
            ReportSupportFault(path, SupportFault{0, "nie można odczytać pliku; atrybuty domyślne"});
        return defaults;
    }
    if (file->lines.empty()) {
        ReportSupportFault(path, SupportFault{1, "plik jest pusty; atrybuty domyślne"});
        return defaults;
    }
    std::optional<SupportFault> wrong;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        const std::string line = file->lines[i].substr(0, kMaxListLine);
        const std::size_t space = line.find_first_of(" \t");
        if (space == std::string::npos || !zcutEqualsNoCase(line.substr(0, space), symbol)) continue;
        std::string rest = line.substr(line.find_first_not_of(" \t", space) == std::string::npos
                                           ? line.size()
                                           : line.find_first_not_of(" \t", space));
        const std::size_t bar1 = rest.find('|');
        const std::size_t bar2 = bar1 == std::string::npos ? std::string::npos : rest.find('|', bar1 + 1);
        // All three fields must be there, as the line's format asks.
        if (bar1 == 0 || bar2 == std::string::npos || bar2 == bar1 + 1 || bar2 + 1 >= rest.size()) {
            if (!wrong)
                wrong = SupportFault{i + 1,
                                     "wiersz symbolu " + symbol +
                                         " nie ma postaci NAZWA WARTOŚĆ|WARTOŚĆ|WARTOŚĆ; atrybuty domyślne"};
            continue;
        }
        // The third value is the symbol's count: a number there that no
        // count is (none or less, or beyond any drawing) is a slip.
        std::string count = rest.substr(bar2 + 1);
        if (host::parseDouble(count) && !NumberFromText(count, NumberRange::Size)) {
            if (!wrong)
                wrong = SupportFault{i + 1, "wiersz symbolu " + symbol + ": ilość " + count +
                                                " poza zakresem; atrybuty domyślne"};
            continue;
        }
        return {rest.substr(0, bar1), rest.substr(bar1 + 1, bar2 - bar1 - 1), std::move(count)};
    }
    if (wrong) {
        ReportSupportFault(path, *wrong);
        return defaults;
    }
    // A symbol the list does not hold is no fault of the list: it takes
    // the defaults, as it always has, and the command that inserts it
    // succeeds. Said all the same, so a misspelt name is seen.
    zcutPrintf("\n%s: brak wiersza symbolu %s; atrybuty domyślne", path.c_str(), symbol.c_str());
    return defaults;
}

void CmdInsertSymbol() {
    RunInsert({"\nOkreśl symbol do wstawienia:", "\nOkreśl symbol do wstawienia <%s>:", true});
}

void CmdInsertBlock() {
    RunInsert({"\nOkreśl blok do wstawienia:", "\nOkreśl blok do wstawienia <%s>:", false});
}
