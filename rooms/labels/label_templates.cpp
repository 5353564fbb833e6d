// Room label templates (see the header).
#include "rooms/labels/label_templates.h"

#include <algorithm>
#include <optional>

#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/util/nocase.h"

namespace {

// Longest file name the host's search takes, the terminator excluded.
constexpr std::size_t kMaxFileName = 255;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

// The first run of non-blanks of `text`; empty when there is none.
std::string FirstWord(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::size_t j = i;
    while (j < text.size() && !IsBlank(text[j])) ++j;
    return std::string(text.substr(i, j - i));
}

bool StartsNoCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && zcutEqualsNoCase(line.substr(0, key.size()), key);
}

struct NameMapRow {
    const char* drawing;
    const char* current;
};

constexpr NameMapRow kNameMap[] = {
    {"ATT_ETI1", "att_ec1"},    {"ATT_ETI2", "Att_el2"},    {"Att_eti3", "Att_ei3"},
    {"Att_eti4", "Att_ei4"},    {"Att_orto", "Att_tp4"},    {"Att_ret", "Att_e4"},
    {"Att_ret1", "Att_e41"},    {"Att_tab1", "Att_tab1"},   {"Att_tab1c", "Att_tpc1"},
    {"att_tab1i", "Att_ti1"},   {"att_tab1ic", "Att_tic1"}, {"att_tab2", "Att_tpc2"},
    {"att_tab2i", "Att_tic2"},  {"Att_tab3", "Att_tp3"},    {"Att_tab3c", "Att_tpc3"},
    {"Att_tab3i", "Att_ti3"},   {"Att_tab3ic", "Att_tic3"}, {"Att_tab5", "Att_tres"},
    {"Att_tabch", "Att_tabch"},
};

}  // namespace

int ReadUaFile(std::string_view templateName, LabelTemplate& out, std::string_view record) {
    const std::string fileName = std::string(templateName) + ".UA";
    if (!CheckDrawingFileName(fileName, record)) return 0;
    // A name too long for a file name cannot name a template on disk.
    const std::optional<std::string> path =
        fileName.size() <= kMaxFileName ? FindSupportFile(fileName) : std::nullopt;
    if (!path) {
        zcutPrintf("\n%s: %s", fileName.c_str(), "Pliku nie znaleziono");
        return 0;
    }
    // A template that cannot be read has been named with the reason.
    std::optional<LineCursor> cursor = OpenLineCursor(*path);
    if (!cursor) return 0;
    out = LabelTemplate{};
    struct Key {
        const char* key;
        std::string* field;
    };
    const Key keys[] = {{"eti=", &out.labelBlock},
                        {"tab=", &out.cardBlock},
                        {"rec=", &out.rowBlock},
                        {"tot=", &out.totalBlock}};
    bool ended = false;
    std::string line;
    while (ReadLineNoEol(line, *cursor)) {
        if (StartsNoCase(line, "end")) {
            ended = true;
            break;
        }
        for (const Key& k : keys) {
            if (!StartsNoCase(line, k.key)) continue;
            std::string value = FirstWord(std::string_view(line).substr(4));
            if (!value.empty()) *k.field = std::move(value);
        }
    }
    // What is missing is named at the "end" line, or at the last line of a
    // file without one.
    const char* missing = nullptr;
    if (!ended) {
        out.labelBlock.clear();
        missing = "end";
    } else if (out.labelBlock.empty()) {
        missing = "eti=";
    } else if (!out.cardBlock.empty() || !out.rowBlock.empty() || !out.totalBlock.empty()) {
        // A card is drawn with its rows and its total: a template naming
        // only some of the three would draw a card that silently lacks them.
        for (const Key& k : keys)
            if (k.field->empty()) {
                missing = k.key;
                break;
            }
    }
    if (missing) {
        std::string what = "Błąd w definicji pliku etykiety pokoju " + std::string(templateName) +
                           ".ua: brak wiersza " + missing;
        ReportSupportFault(*path, SupportFault{std::max<std::size_t>(cursor->next, 1), what});
        return 0;
    }
    return 1;
}

std::string MapLabelTemplateName(std::string_view name) {
    for (const NameMapRow& row : kNameMap)
        if (zcutEqualsNoCase(name, row.drawing)) return row.current;
    return std::string(name);
}
