// VELMXABC: the mark records of one floor's openings written to a CSV file,
// one line per opening, by the pattern line of "VELMABC.DEX". A pattern
// token is "$" and six characters "number.decimals" (064.00): the value of
// that schedule variable, as one CSV field (csv_field.h); every other
// character stands for itself.
//
// The chosen file is replaced only once the command knows it writes one:
// until the floor is chosen a temporary file beside it holds the place, so
// a cancel leaves an existing file as it was.
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "core/host_services.h"
#include "core/support_files.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/win/files.h"
#include "host/win/replace_file.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_text.h"
#include "rooms/csv_field.h"
#include "rooms/opening_marks.h"
#include "rooms/room_extract.h"
#include "rooms/schedules/schedule_cmds.h"
#include "rooms/schedules/schedule_context.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kDexFile = "VELMABC.DEX";
constexpr const char* kDexError = "\nBłąd w pliku VELMABC.DEX";

bool ParseToken(const std::string& token, int& number, int& decimals);

// The offset of the first "$" of the pattern not followed by a token of six
// characters "number.decimals".
std::optional<std::size_t> BadPatternToken(const std::string& pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '$') continue;
        int number = 0, decimals = 0;
        if (pattern.size() - i - 1 < 6 || !ParseToken(pattern.substr(i + 1, 6), number, decimals)) return i;
        i += 6;
    }
    return std::nullopt;
}

// The pattern line: nullopt after its message.
std::optional<std::string> ReadPattern() {
    std::optional<std::string> path = FindSupportFile(kDexFile);
    std::optional<LineCursor> cursor;
    if (path) cursor = OpenLineCursor(*path);
    if (!cursor) {
        zcutPrintf("\n%s: %s", kDexFile, "Pliku nie znaleziono");
        return std::nullopt;
    }
    std::string line;
    if (!ReadLineNoEol(line, *cursor)) {
        ReportSupportFault(*path, SupportFault{1, std::string(kDexError + 1) + ": brak wiersza wzorca"});
        return std::nullopt;
    }
    if (line.size() > 257) line.resize(257);
    // A token that cannot be read would otherwise be found only at the
    // first opening, after the output file was chosen.
    if (std::optional<std::size_t> bad = BadPatternToken(line)) {
        ReportSupportFault(*path, SupportFault{1, std::string(kDexError + 1) + ": pole w kolumnie " +
                                                      std::to_string(*bad + 1) + " nie ma postaci $NNN.DD"});
        return std::nullopt;
    }
    return line;
}

// Reads "%d.%d" from the whole of a six-character token.
bool ParseToken(const std::string& token, int& number, int& decimals) {
    int used = 0;
    if (std::sscanf(token.c_str(), "%d.%d%n", &number, &decimals, &used) != 2) return false;
    return decimals >= 0 && decimals < 64;
}

// One output line for the context's variables; false on a bad token or a
// variable the definition lacks.
bool FormatLine(const std::string& pattern, const ObjVarList& vars, std::string& out) {
    out.clear();
    // A text value (a description, a name) may hold the separator or line
    // ends: each value is one field, whatever it holds.
    std::string literals;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '$')
            i += 6;
        else
            literals += pattern[i];
    }
    const char separator = CsvSeparator(literals);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '$') {
            out += pattern[i];
            continue;
        }
        if (pattern.size() - i - 1 < 6) return false;
        int number = 0, decimals = 0;
        if (!ParseToken(pattern.substr(i + 1, 6), number, decimals)) return false;
        const ObjVar* v = FindObjVar(number, vars);
        if (!v) return false;
        char buffer[512];
        if (v->type == u'B' || v->type == u'I')
            std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(v->value));
        else
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v->value);
        if (v->type == u'S')
            AppendCsvText(out, v->text, separator);
        else
            AppendCsvField(out, buffer, separator);
        i += 6;
    }
    out += "\n";
    return true;
}

// The output: the temporary file beside the chosen one until it is kept.
class Output {
public:
    explicit Output(std::string path) : m_path(std::move(path)) {}
    // An export: a link under the name is replaced, never written through.
    bool open(std::string* error) { return m_file.open(m_path, error, host::LinkAtName::ReplaceLink); }
    void drop() { m_file.discard(); }
    void keep() {
        std::string error;
        const bool whole =
            m_text.empty() || std::fwrite(m_text.data(), 1, m_text.size(), m_file.stream()) == m_text.size();
        if (!whole) {
            error = "nie można zapisać " + m_path + ": " + host::fileErrorReason(errno);
            m_file.discard();
        }
        if (whole && m_file.commit(&error)) return;
        zcutPrintf("\n%s", error.c_str());
        host::noteFailed();
    }
    std::string& text() { return m_text; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path, m_text;
    host::ReplacingFile m_file;
};

}  // namespace

void VelmXAbc() {
    const int printScale = SettingInt(SetupVar::SFATSCALA, 50);
    const std::optional<std::string> pattern = ReadPattern();
    if (!pattern) return;

    const std::string path = AskExtractFile();
    if (path.empty()) return;
    Output output(path);
    std::string why;
    if (!output.open(&why)) {
        zcutPrintf("\nPliku %s nie można otworzyć", path.c_str());
        zcutPrintf("\n%s", why.c_str());
        host::noteFailed();
        return;
    }

    CABACHI s;
    s.templateName = SettingString(SetupVar::NOMEFILEOA, "VELMOA01");
    for (;;) {
        ads_name e;
        ads_point at;
        const int pick = zcedEntSel(
            "\nWybierz jeden obiekt podłogi do wyciągnięcia/Enter, aby wybrać bieżącą podłogę", e, at);
        if (pick == RTCAN || (pick != RTNORM && PickHitNothing())) {
            output.drop();
            return;
        }
        if (pick != RTNORM) {
            s.level = SettingReal(SetupVar::SQPAV);
            break;
        }
        if (EntityLevelOf(e, s.level)) break;
        zcutPrintf("\nWybrany obiekt nie jest identyfikowany jako podłoga");
    }

    ads_name marks;
    if (!SelectWithRecord(kAbInfissiObjApp, marks)) {
        zcutPrintf("\nLiczba wyodrębnionych rekordów:%d", 0);
        output.keep();
        return;
    }
    int written = 0;
    // Every way the extract stops short (the pattern, the template, the
    // row definition) fails the command alike.
    bool failed = true;
    if (s.ReadOaFile() && (s.context = NewObjContext(s.rowName)) != nullptr) {
        ObjContext& c = *s.context;
        InitObjVariables(c);
        int var = 0;
        if (LoadObjFile(c, s.rowName) != 1)
            zcutPrintf("\n%s(.txt) !%s", s.rowName.c_str(), "Nie mogę znaleźć pliku definicji obiektu");
        else if ((var = ReadVarSection(true, c)) != 0)
            zcutPrintf("\n%s: %s", "Błąd składni w sekcji pliku", VarSectionErrorLabel(var).c_str());
        else {
            failed = false;
            std::int32_t n = 0;
            zcedSSLength(marks, &n);
            std::string line;
            for (std::int32_t i = 0; i < n && !failed; ++i) {
                ads_name e;
                double level = 0.0;
                if (zcedSSName(marks, i, e) != RTNORM || !EntityLevelOf(e, level) ||
                    !SameLevel(level, s.level))
                    continue;
                resbuf* app = nullptr;
                const host::ResbufList list(ReadMarkRecord(e, app));
                if (!list) continue;
                s.currentRecord = app;
                s.FillParameters(0);
                EvaluateComputedVars(c, printScale);
                s.currentRecord = nullptr;
                if (!FormatLine(*pattern, c.vars, line)) {
                    failed = true;
                    break;
                }
                output.text() += line;
                ++written;
            }
            if (failed)
                zcutPrintf(kDexError);
            else
                zcutPrintf("\n%d %s", written, "wyodrębnione rekordy");
        }
        // The definition is only read here: nothing goes back to its file.
        if (c.text) c.text->modified = 0;
    }
    zcedSSFree(marks);
    if (failed) host::noteFailed();
    output.keep();
}
