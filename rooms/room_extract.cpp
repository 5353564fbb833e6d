// VELMEXTRACTR. The template is the first line of "velmor.DEX", with its
// line feed when it has one (so that, as every record starts with a line
// feed, the records stand apart by an empty line). A placeholder is "$"
// and five characters read as "code.decimals"; a placeholder whose code is
// outside 60..85, or that the template ends inside, stops the extraction,
// as does a label without the item asked for; the records written before
// stay.
//
// The chosen file is written only once its records are made, whole: a
// cancel in the file dialog leaves no file, and a file that cannot be
// written leaves the old one as it was.
#include "rooms/room_extract.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ui/hostdialogs.h"
#include "host/win/files.h"
#include "host/win/replace_file.h"
#include "host/win/textfile.h"
#include "rooms/csv_field.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kDexFile = "velmor.DEX";
constexpr std::size_t kTemplateLength = 257;  // characters

// The length in bytes of the UTF-8 character starting with `lead`.
std::size_t CharLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The bytes of the first `count` characters of `text` from `at` (fewer
// when it ends first); `taken` gets the characters taken.
std::size_t CharsBytes(const std::string& text, std::size_t at, std::size_t count, std::size_t& taken) {
    std::size_t end = at;
    for (taken = 0; taken < count && end < text.size(); ++taken) end += CharLength(text[end]);
    return std::min(end, text.size()) - at;
}

// The template: nullopt after its message, which names the file and its
// line when the file is there but gives no template.
std::optional<std::string> ReadTemplate() {
    std::optional<std::string> path = FindSupportFile(kDexFile);
    std::optional<host::TextFile> file;
    bool notText = false;
    if (path) file = ReadSupportText(*path, &notText);
    if (!file) {
        if (!notText) zcutPrintf("\n%s: %s", kDexFile, "Pliku nie znaleziono");
        return std::nullopt;
    }
    if (file->lines.empty()) {
        ReportSupportFault(*path, SupportFault{1, "brak wiersza wzorca"});
        return std::nullopt;
    }
    std::string line = file->lines.front();
    if (file->lines.size() > 1 || file->finalLineEnd) line += '\n';
    std::size_t taken = 0;
    line.resize(CharsBytes(line, 0, kTemplateLength, taken));
    // A placeholder the record cannot fill is found before any file is made.
    if (std::optional<std::string> wrong = DexTemplateFault(line)) {
        ReportSupportFault(*path, SupportFault{1, *wrong});
        return std::nullopt;
    }
    return line;
}

bool StringCode(int code) {
    return code == 75 || code == 76 || code == 77 || code == 79 || (code >= 82 && code <= 84);
}

std::string Fixed(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

}  // namespace

double ScaleTakeOffValue(int code, double value, double f) {
    switch (code) {
        case 60:
        case 61:
        case 62:
        case 64:
        case 69:
            return value * f * f;
        case 63:
        case 67:
        case 70:
            return value * f;
        case 68:
            return value * f * f * f;
        default:
            return value;
    }
}

std::optional<std::string> DexTemplateFault(const std::string& pattern) {
    for (std::size_t i = pattern.find('$'); i != std::string::npos; i = pattern.find('$', i)) {
        std::size_t taken = 0;
        const std::size_t bytes = CharsBytes(pattern, i + 1, 5, taken);
        std::string placeholder = pattern.substr(i + 1, bytes);
        while (!placeholder.empty() && (placeholder.back() == '\n' || placeholder.back() == '\r'))
            placeholder.pop_back();
        int code = 0, decimals = 0;
        if (taken < 5 || std::sscanf(placeholder.c_str(), "%d.%d", &code, &decimals) != 2 || code < 60 ||
            code > 85)
            return "znacznik $" + placeholder + " nie ma postaci $KK.DD z kodem od 60 do 85";
        i += 1 + bytes;
    }
    return std::nullopt;
}

namespace {

// The template without its placeholders.
std::string TemplateLiterals(const std::string& pattern) {
    std::string literals;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] != '$') {
            literals += pattern[i++];
            continue;
        }
        std::size_t taken = 0;
        i += 1 + CharsBytes(pattern, i + 1, 5, taken);
    }
    return literals;
}

}  // namespace

std::optional<std::string> ExpandRoomRecord(const std::string& pattern, const resbuf* templateItem,
                                            double f) {
    // Names and other texts may hold the separator or line ends: each
    // value is one field, whatever it holds.
    const char separator = CsvSeparator(TemplateLiterals(pattern));
    std::string out = "\n";
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] != '$') {
            out += pattern[i++];
            continue;
        }
        std::size_t taken = 0;
        const std::size_t bytes = CharsBytes(pattern, i + 1, 5, taken);
        if (taken < 5) return std::nullopt;
        const std::string placeholder = pattern.substr(i + 1, bytes);
        i += 1 + bytes;
        int code = 0, decimals = 0;
        if (std::sscanf(placeholder.c_str(), "%d.%d", &code, &decimals) != 2 || code < 60 || code > 85)
            return std::nullopt;
        // Five characters cannot ask for more; a negative count would be
        // read as none given.
        if (decimals < 0) decimals = 0;
        if (code == 85) {
            AppendCsvText(out,
                          templateItem && templateItem->resval.rstring ? templateItem->resval.rstring : "",
                          separator);
            continue;
        }
        const resbuf* item = templateItem ? templateItem->rbnext : nullptr;
        for (int n = 60; item && item->restype != 1011 && n < code; ++n) item = item->rbnext;
        if (!item || item->restype == 1011 || item->restype == 1001) return std::nullopt;
        if (item->restype == 1000) {
            // A text at a numeric code (a user field of text type) is
            // written as it stands.
            AppendCsvText(out, item->resval.rstring ? item->resval.rstring : "", separator);
            continue;
        }
        const double value = item->restype == 1070   ? item->resval.rint
                             : item->restype == 1071 ? static_cast<double>(item->resval.rlong)
                                                     : item->resval.rreal;
        AppendCsvField(out, Fixed(StringCode(code) ? value : ScaleTakeOffValue(code, value, f), decimals),
                       separator);
    }
    return out;
}

std::string AskExtractFile() {
    resbuf rb;
    std::string name;
    if (zcedGetVar("DWGNAME", &rb) == RTNORM && rb.restype == RTSTR && rb.resval.rstring) {
        name = rb.resval.rstring;
        zcutDelString(rb.resval.rstring);
    }
    if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
    resbuf* answer = nullptr;
    const int rc =
        zcedGetFileNavDialog("Nazwa pliku do rozpakowania", name.c_str(), "csv", "File csv", 3, &answer);
    const host::ResbufList chosen(answer);
    std::string path;
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        path = chosen->resval.rstring;
    return path;
}

namespace {

// The extract is an export: written whole in one go, a link under its name
// replaced, never written through. A file that cannot be written leaves
// the one there as it was and fails the command with the writer's reason.
bool WriteExtract(const std::string& path, const std::string& text) {
    std::string error;
    if (host::replaceFile(path, text, &error)) return true;
    zcutPrintf("\n%s", error.c_str());
    host::noteFailed();
    return false;
}

}  // namespace

void VelmExtractR() {
    // A template that is missing or cannot be read ends the command as
    // failed: a script must not take its message for an extract made.
    const std::optional<std::string> pattern = ReadTemplate();
    if (!pattern) {
        host::noteFailed();
        return;
    }

    const std::string path = AskExtractFile();
    if (path.empty()) return;
    std::string text;
    const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomLabelApp, 0));
    ads_name labels;
    const bool any = zcedSSGet("X", nullptr, nullptr, filter.get(), labels) == RTNORM;
    if (!any) {
        if (WriteExtract(path, text)) zcutPrintf("\nLiczba wyodrębnionych rekordów:%d", 0);
        return;
    }
    const double f = SettingReal(SetupVar::SRAPPORTO_UM, 0.01);
    std::int32_t count = 0, written = 0;
    zcedSSLength(labels, &count);
    const host::ResbufList apps(zcutBuildList(RTSTR, kRoomLabelApp, 0));
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name label;
        if (zcedSSName(labels, i, label) != RTNORM) break;
        const host::ResbufList list(zcdbEntGetX(label, apps.get()));
        const resbuf* app = list.get();
        while (app && !(app->restype == 1001 && app->resval.rstring &&
                        std::string(app->resval.rstring) == kRoomLabelApp))
            app = app->rbnext;
        const resbuf* templateItem =
            app && app->rbnext && app->rbnext->restype == 1000 ? app->rbnext : nullptr;
        const std::optional<std::string> record =
            templateItem ? ExpandRoomRecord(*pattern, templateItem, f) : std::nullopt;
        if (!record) break;
        text += *record;
        ++written;
    }
    zcedSSFree(labels);
    if (!WriteExtract(path, text)) return;
    if (written == count)
        zcutPrintf("\nLiczba wyodrębnionych rekordów:%d", written);
    else
        zcutPrintf("\n%s: Error", kDexFile);
}
