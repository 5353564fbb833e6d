// The wall-type file reader and writer, and loading, backing up and saving
// the files of the data folder.
#include "walls/types/mxt_file.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ui/uibase.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "store/settings_store.h"

namespace {

constexpr std::string_view kOpen = "STRATIFICAZIONE";
constexpr std::string_view kClose = "ENDSTRATIFICAZIONE";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && host::iequals(text.substr(0, prefix.size()), prefix);
}

// "%d" as the C library reads it; `fallback` when nothing parses.
int IntOr(std::string_view text, int fallback) {
    std::optional<long long> v = host::parseIntegerPrefix(text);
    return v ? static_cast<int>(*v) : fallback;
}

// The type's layer becomes a wall layer of the drawing when no wall layer
// has that name, letter case ignored (the wall-layer list keeps no two
// names that differ only in case).
void JoinWallLayers(const std::string& layer) {
    ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject());
    if (!walls) return;
    bool known = false;
    for (const std::string& entry : walls->entries) known = known || host::iequals(entry, layer);
    if (!known) walls->entries.push_back(layer);
}

void ReportFileError(const std::string& baseName) {
    std::string label;
    LoadModuleString(label, IDS_FILE_ERROR);
    ModuleMessageBox(label + " " + baseName, MB_OK, 0);
}

void ReportNoFiles() {
    std::string text;
    LoadModuleString(text, IDS_NO_MXT_FILE);
    ModuleMessageBox(text, MB_OK, 0);
}

// The base names of the wall-type files of the data folder, in search order.
std::vector<std::string> WallTypeFileNames(std::string& folder) {
    std::vector<std::string> names;
    if (!GetDataFolder(folder)) return names;
    for (const std::string& entry : host::listFolder(folder, "*.mxt")) {
        std::string path = folder + entry;
        if (!host::fileExists(path)) continue;
        names.push_back(host::splitPath(entry).fname);
    }
    return names;
}

// The file "<name>.mxt" becomes "<name>.mxk", an older backup of any
// letter case removed first.
void BackupWallTypeFile(const std::string& folder, const std::string& name) {
    std::string backup = WallTypeFilePath(name, "mxk");
    DeleteFileW(backup.c_str());
    MoveFileW(WallTypeFilePath(name, "mxt").c_str(), (folder + name + ".mxk").c_str());
}

// The file as the list loaded it; null for a file it did not load.
const LoadedWallTypeFile* FileAsLoaded(const CListMuri& list, const std::string& fileName) {
    for (const LoadedWallTypeFile& file : list.loaded)
        if (host::iequals(file.fileName, fileName)) return &file;
    return nullptr;
}

// Another program changed, made or removed the file since the list was
// loaded: its edit stays, this one is refused.
void ReportChangedByOther(const std::string& path, const char* verb) {
    zcutPrintf(
        "\nnie można %s %s: plik zmienił się od odczytu (zmienił go inny program); zmiany nie "
        "zostały zapisane.",
        verb, path.c_str());
    host::noteFailed();
}

// The file "<name>.mxt" copied to "<name>.mxk", an older backup of any
// letter case replaced: the file itself stays where it is throughout, for
// another program reading it meanwhile.
// A backup that cannot be written (a full or size-limited folder) is named
// with the writer's reason and fails the command: the type is not saved.
bool CopyToBackup(const std::string& folder, const std::string& path) {
    const std::string name = host::splitPath(path).fname, backup = folder + name + ".mxk";
    if (const std::string older = WallTypeFilePath(name, "mxk"); older != backup) DeleteFileW(older.c_str());
    std::string bytes, error;
    if (host::readWholeFile(path, bytes, &error) && host::writeFileAtomically(backup, bytes, &error))
        return true;
    zcutPrintf("\n%s; zmiany nie zostały zapisane.", error.c_str());
    host::noteFailed();
    return false;
}

// One type written to its file, its old file copied to the backup first. A
// type the editor left as loaded is not written; nor is one whose file
// another program changed since (refused, named), nor a file that was not
// read whole.
bool SaveWallType(const std::string& folder, const CMuro& type, const LoadedWallTypeFile* loaded) {
    const std::string path = WallTypeFilePath(type.fileName, "mxt");
    if (path.empty()) return false;
    const std::vector<std::string> lines = WallTypeFileLines(type);
    if (loaded && lines == loaded->typeLines) return true;
    const std::vector<std::string>* asLoaded = loaded ? &loaded->lines : nullptr;
    std::optional<SupportFileRead> read;
    if (host::fileExists(path)) {
        read = ReadWallTypeSource(path);
        if (!read) return false;
    }
    if (!read) {
        if (asLoaded) {
            ReportChangedByOther(path, "zapisać");
            return false;
        }
        return WriteSupportLines(SupportFileRead{path, {}, std::nullopt}, lines) == SupportWrite::Written;
    }
    if (lines == read->file.lines) return true;
    if (read->fault) return WriteSupportLines(*read, lines) == SupportWrite::Written;  // refused, named
    if (!asLoaded || read->file.lines != *asLoaded) {
        ReportChangedByOther(path, "zapisać");
        return false;
    }
    if (!CopyToBackup(folder, path)) return false;
    // The write compares the file once more with what was loaded, under the
    // lock of the folder's writes.
    return WriteSupportLines(*read, lines) == SupportWrite::Written;
}

// A file the editor removed the type of is kept as its backup only, unless
// another program changed it since the list was loaded.
bool RemoveWallTypeFile(const std::string& folder, const LoadedWallTypeFile& loaded) {
    const std::string path = WallTypeFilePath(loaded.fileName, "mxt");
    if (path.empty() || !host::fileExists(path)) return true;
    const std::optional<SupportFileRead> read = ReadWallTypeSource(path);
    if (!read || read->file.lines != loaded.lines) {
        ReportChangedByOther(path, "usunąć");
        return false;
    }
    if (!CopyToBackup(folder, path)) return false;
    if (DeleteFileW(path.c_str()) != FALSE) return true;
    zcutPrintf("\nnie można usunąć %s: %s", path.c_str(), host::fileErrorReason(errno).c_str());
    host::noteFailed();
    return false;
}

// Reads "<file name>.mxt" into the type, from the disk: a save compares
// with this read. Its lines go to `lines`.
bool ReadWallTypeLines(CMuro& type, std::vector<std::string>* lines) {
    std::string path = WallTypeFilePath(type.fileName, "mxt");
    std::optional<host::TextFile> file;
    if (!path.empty()) file = ReadSupportTextNow(path);
    if (!file) {
        type.scales.reset();
        return false;
    }
    if (file->lines.size() >= 5) JoinWallLayers(file->lines[4]);
    if (std::optional<SupportFault> fault = WallTypeFault(file->lines, type)) {
        ReportSupportFault(path, *fault);
        type.scales.reset();
        return false;
    }
    if (lines) *lines = std::move(file->lines);
    return true;
}

}  // namespace

std::string WallTypeFilePath(const std::string& fileName, const char* extension) {
    std::string folder;
    if (!GetDataFolder(folder)) return {};
    std::string name = fileName + "." + extension;
    // The data folder may come from a system where names ignore letter case:
    // an existing file is used under the name it has.
    if (name.find_first_of("*?") == std::string::npos)
        for (const std::string& entry : host::listFolder(folder, name))
            if (host::fileExists(folder + entry)) return folder + entry;
    return folder + name;
}

std::vector<std::string> WallTypeFileLines(const CMuro& type) {
    std::vector<std::string> lines{type.name, type.storedFileName, std::to_string(type.color),
                                   std::to_string(type.priority), type.layer};
    if (!type.scales) return lines;
    for (const CScala& scale : *type.scales) {
        std::string number = std::to_string(scale.scale);
        lines.push_back(std::string(kOpen) + number);
        if (scale.layers) {
            for (const CStrato& layer : *scale.layers) {
                lines.push_back(layer.material);
                lines.push_back(layer.pattern);
                lines.push_back(host::formatFixed(layer.patternScale, 6));
                lines.push_back(layer.thickness);
                lines.push_back(layer.layer);
            }
        }
        lines.push_back(std::string(kClose) + number);
    }
    return lines;
}

bool ThicknessExpressionValid(std::string_view expr) {
    const std::string whole(expr);
    if (TypedNumber(whole)) return NumberFromText(whole, NumberRange::Size).has_value();
    // No thickness at all is no layer, as 0 is not; a sign on a sign
    // ("--5") or an operator with nothing after it is a slip, not a value.
    char lastOperator = 0;
    bool operand = false;
    for (std::size_t i = 0; i < expr.size();) {
        const char c = expr[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        const bool sign = c == '+' || c == '-';
        if (sign && (lastOperator == '+' || lastOperator == '-')) return false;
        operand = std::string_view("+-*/").find(c) == std::string_view::npos;
        lastOperator = operand ? 0 : c;
        if (c == 's') {
            std::size_t digits = i + 1;
            if (digits < expr.size() && (expr[digits] == '+' || expr[digits] == '-')) ++digits;
            if (digits >= expr.size() || expr[digits] < '0' || expr[digits] > '9') return false;
            i = digits;
            while (i < expr.size() && expr[i] >= '0' && expr[i] <= '9') ++i;
        } else if ((c >= '0' && c <= '9') || c == '.') {
            std::size_t end = i;
            while (end < expr.size() && ((expr[end] >= '0' && expr[end] <= '9') || expr[end] == '.')) ++end;
            const std::optional<double> v = host::parseDoublePrefix(expr.substr(i, end - i));
            if (!v || !ValueInRange(*v, NumberRange::Coordinate)) return false;
            i = end;
        } else if (std::string_view("$+-*/").find(c) != std::string_view::npos) {
            ++i;
        } else {
            return false;
        }
    }
    return operand;
}

bool ParseWallTypeLines(const std::vector<std::string>& lines, CMuro& type) {
    type.scales.reset();
    if (lines.size() >= 5) JoinWallLayers(lines[4]);
    return !WallTypeFault(lines, type);
}

std::optional<SupportFault> WallTypeFault(const std::vector<std::string>& lines, CMuro& type) {
    type.scales.reset();
    // Lines count from 1; a line missing at the end is the one after the last.
    auto fault = [](std::size_t index, const char* what) { return SupportFault{index + 1, what}; };
    if (lines.size() < 5) return fault(lines.size(), "brak wiersza warstwy typu ściany");
    type.name = lines[0];
    type.storedFileName = lines[1];
    type.color = IntOr(lines[2], 2);
    type.priority = IntOr(lines[3], 0);
    type.layer = lines[4];

    auto scales = std::make_shared<CListScale>();
    std::size_t at = 5;
    while (at < lines.size()) {
        const std::string& marker = lines[at++];
        if (!StartsWithNoCase(marker, kOpen)) return fault(at - 1, "oczekiwano STRATIFICAZIONE<skala>");
        std::optional<long long> number =
            host::parseIntegerPrefix(std::string_view(marker).substr(kOpen.size()));
        if (!number) return fault(at - 1, "brak skali po STRATIFICAZIONE");
        std::shared_ptr<CListStrati> layers;
        bool closed = false;
        while (!closed) {
            if (at >= lines.size()) return fault(at, "brak wiersza ENDSTRATIFICAZIONE");
            const std::string& line = lines[at++];
            if (StartsWithNoCase(line, kClose)) {
                closed = true;
                continue;
            }
            if (at + 4 > lines.size()) return fault(lines.size(), "niepełna warstwa układu");
            std::optional<double> hatchScale = host::parseDoublePrefix(lines[at + 1]);
            if (!hatchScale) return fault(at + 1, "skala kreskowania nie jest liczbą");
            if (lines[at + 2].find_first_not_of(" \t") == std::string::npos)
                return fault(at + 2, "brak grubości warstwy");
            if (!ThicknessExpressionValid(lines[at + 2]))
                return fault(at + 2, "grubość warstwy nie jest prawidłowa");
            CStrato layer;
            layer.material = line;
            layer.pattern = lines[at];
            layer.patternScale = *hatchScale;
            layer.thickness = lines[at + 2];
            layer.layer = lines[at + 3];
            at += 4;
            if (!layers) {
                layers = std::make_shared<CListStrati>();
                layers->InsertNumbered(layers->end(), layer, CListStrati::kHead);
            } else {
                layers->InsertNumbered(std::prev(layers->end()), layer, CListStrati::kAfter);
            }
        }
        scales->push_back(CScala{static_cast<int>(*number), std::move(layers)});
    }
    if (!scales->empty()) type.scales = std::move(scales);
    return std::nullopt;
}

std::optional<SupportFileRead> ReadWallTypeSource(const std::string& path) {
    // From the disk, whatever an earlier command kept: a save compares it
    // with what the editor loaded.
    std::optional<host::TextFile> file = ReadSupportTextNow(path);
    if (!file) return std::nullopt;
    CMuro scratch;
    std::optional<SupportFault> fault = WallTypeFault(file->lines, scratch);
    // A file written again ends with a line end, as a new one does.
    file->finalLineEnd = true;
    return SupportFileRead{path, std::move(*file), std::move(fault)};
}

bool WriteWallTypeFile(const CMuro& type) {
    if (type.fileName.empty()) return false;
    std::string path = WallTypeFilePath(type.fileName, "mxt");
    if (path.empty()) return false;
    // An existing file is written only when the type changed, never when it
    // was not read whole, and keeps its encoding and line ends.
    std::optional<SupportFileRead> read;
    if (host::fileExists(path)) read = ReadWallTypeSource(path);
    if (!read) read = SupportFileRead{path, host::TextFile{}, std::nullopt};
    const SupportWrite done = WriteSupportLines(*read, WallTypeFileLines(type));
    return done == SupportWrite::Unchanged || done == SupportWrite::Written;
}

bool ReadWallTypeFile(CMuro& type) {
    return ReadWallTypeLines(type, nullptr);
}

bool LoadWallTypes(CListMuri& list) {
    std::string folder;
    std::vector<std::string> names = WallTypeFileNames(folder);
    if (names.empty()) {
        ReportNoFiles();
        return false;
    }
    auto next = list.begin();
    for (const std::string& name : names) {
        CMuro type;
        type.fileName = name;
        LoadedWallTypeFile loaded{name, {}, {}};
        if (ReadWallTypeLines(type, &loaded.lines)) {
            loaded.typeLines = WallTypeFileLines(type);
            next = std::next(list.insert(next, type));
            std::erase_if(list.loaded,
                          [&](const LoadedWallTypeFile& f) { return host::iequals(f.fileName, name); });
            list.loaded.push_back(std::move(loaded));
        } else {
            ReportFileError(name);
        }
    }
    return true;
}

void BackupWallTypeFiles() {
    std::string folder;
    // Nothing to keep is no failure: the first type saved to an empty data
    // folder is not reported as a missing file.
    std::vector<std::string> names = WallTypeFileNames(folder);
    for (const std::string& name : names) BackupWallTypeFile(folder, name);
}

bool SaveWallTypes(const CListMuri& list) {
    std::string folder;
    GetDataFolder(folder);  // without one, each type is reported as not written
    bool all = true;
    // A file the list loaded that no type of it is saved to any more was
    // removed in the editor; a file it did not load (one that did not read,
    // or one another program made since) is left as it is.
    for (const LoadedWallTypeFile& loaded : list.loaded) {
        bool listed = false;
        for (const CMuro& type : list) listed = listed || host::iequals(type.fileName, loaded.fileName);
        if (!listed && !RemoveWallTypeFile(folder, loaded)) {
            ReportFileError(loaded.fileName);
            all = false;
        }
    }
    for (const CMuro& type : list) {
        if (type.fileName.empty()) continue;
        if (!SaveWallType(folder, type, FileAsLoaded(list, type.fileName))) {
            ReportFileError(type.fileName);
            all = false;
        }
    }
    // A type not saved is a failed command, whatever the reason (each one
    // was named where it failed).
    if (!all) host::noteFailed();
    return all;
}
