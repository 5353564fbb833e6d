// Registry store: an ordered map of keys by their capitalised path, each
// with its values in the order they were first set. The file is read on the
// first call after start-up or setRegistryFile. Each change (a key made, a
// value set) is made on the file as it is at that moment, under the lock of
// the writes into its folder, and the file is rewritten whole: another
// program's changes since are kept, and the store takes them in. A change
// that cannot be written is not made in memory either.
//
// File format (one item per line):
//   ; comment
//   [HKEY_CURRENT_USER\Software\VelSoftware\Variabili]
//   "povColSfondo"=sz:"15540736"
//   "Flags"=dword:0000000a
// Text is quoted with \\, \", \n and \r escaped.
#include "host/win/registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "host/win/files.h"
#include "host/win/textutil.h"

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Value {
    std::string name;
    DWORD type = REG_SZ;
    std::string text;      // REG_SZ, without its terminator
    DWORD number = 0;      // REG_DWORD
    bool builtin = false;  // answered by the host, not stored in the file
};

struct Key {
    std::string path;  // as first written
    std::vector<Value> values;
    bool builtin = false;
};

struct OpenKey {
    std::string id;  // capitalised path; empty for the root
    REGSAM access;
};

// Keys by their capitalised path.
using Keys = std::map<std::string, Key>;

struct Store {
    bool loaded = false;
    bool broken = false;
    std::string file;  // empty: the default file
    std::string error;
    Keys keys;
    std::map<std::uintptr_t, OpenKey> open;
    std::uintptr_t nextHandle = 0x2000;
};

Store& store() {
    static Store s;
    return s;
}

std::string defaultFile() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/velm/registry";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/velm/registry";
}

std::string currentFile() {
    return store().file.empty() ? defaultFile() : store().file;
}

// Key path without empty parts: "\A\\B\" is "A\B".
std::string normalise(std::string_view path) {
    std::string out;
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('\\', i);
        if (j == std::string_view::npos) j = path.size();
        if (j > i) {
            if (!out.empty()) out += '\\';
            out += path.substr(i, j - i);
        }
        i = j + 1;
    }
    return out;
}

std::string join(const std::string& base, std::string_view sub) {
    std::string rel = normalise(sub);
    if (base.empty()) return rel;
    if (rel.empty()) return base;
    return base + "\\" + rel;
}

// Only keys created or given values are stored: the keys above them exist
// by implication, so a deep key costs its own path once, not a copy of
// every ancestor's path (which made the store and the file quadratic in
// the depth).
bool keyExists(const Keys& keys, const std::string& id) {
    if (id.empty()) return true;
    if (keys.count(id)) return true;
    std::string prefix = id + "\\";
    auto it = keys.lower_bound(prefix);
    return it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

// Stores a key; returns whether it did not exist before, even by implication.
bool addKey(Keys& keys, const std::string& path, bool builtin) {
    std::string id = host::toUpper(path);
    bool created = !keyExists(keys, id);
    auto [it, isNew] = keys.try_emplace(id);
    if (isNew) {
        it->second.path = path;
        it->second.builtin = builtin;
    } else if (!builtin) {
        it->second.builtin = false;
    }
    return created;
}

Value* findValue(Key& key, std::string_view name) {
    for (Value& v : key.values)
        if (host::iequals(v.name, name)) return &v;
    return nullptr;
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted text at pos; pos ends after the closing quote.
std::optional<std::string> unquote(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\') {
            if (++pos >= line.size()) return std::nullopt;
            char e = line[pos];
            if (e == 'n')
                out += '\n';
            else if (e == 'r')
                out += '\r';
            else if (e == '\\' || e == '"')
                out += e;
            else
                return std::nullopt;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

void seedBuiltins(Keys& keys) {
    std::string path(kShellFolders);
    addKey(keys, path, true);
    Key& key = keys[host::toUpper(path)];
    if (!findValue(key, "Personal")) {
        Value v;
        v.name = "Personal";
        v.text = host::documentsFolder();
        v.builtin = true;
        key.values.push_back(v);
    }
}

// One line of the file into the store; an error message when it is not valid.
std::optional<std::string> parseLine(Keys& keys, std::string_view line, std::string& currentKey) {
    if (line.empty() || line[0] == ';') return std::nullopt;
    if (line[0] == '[') {
        if (line.back() != ']') return "a key line must end with ']'";
        std::string_view path = line.substr(1, line.size() - 2);
        if (!host::iequals(path.substr(0, kRoot.size()), kRoot) ||
            (path.size() > kRoot.size() && path[kRoot.size()] != '\\'))
            return "keys must be under HKEY_CURRENT_USER";
        currentKey = normalise(path.substr(kRoot.size()));
        if (currentKey.empty()) return "a key needs a name";
        addKey(keys, currentKey, false);
        return std::nullopt;
    }
    if (line[0] != '"') return "expected a [key] or a \"value\"=type:data line";
    if (currentKey.empty()) return "a value before any [key]";
    std::size_t pos = 0;
    auto name = unquote(line, pos);
    if (!name) return "bad value name";
    if (pos >= line.size() || line[pos] != '=') return "expected '=' after the value name";
    std::string_view data = line.substr(pos + 1);
    Value v;
    v.name = *name;
    if (data.substr(0, 3) == "sz:") {
        std::size_t p = 3;
        auto text = unquote(data, p);
        if (!text || p != data.size()) return "bad text value";
        v.type = REG_SZ;
        v.text = *text;
    } else if (data.substr(0, 6) == "dword:") {
        std::string_view hex = data.substr(6);
        if (hex.empty() || hex.size() > 8 ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            return "bad dword value";
        v.type = REG_DWORD;
        v.number = static_cast<DWORD>(std::strtoul(std::string(hex).c_str(), nullptr, 16));
    } else {
        return "unknown value type (sz or dword)";
    }
    Key& key = keys[host::toUpper(currentKey)];
    if (Value* old = findValue(key, v.name))
        *old = v;
    else
        key.values.push_back(v);
    return std::nullopt;
}

// The file's text into `keys`; why it is not a registry file, if it is not.
std::optional<std::string> parse(std::string_view bytes, Keys& keys, const std::string& file) {
    std::string currentKey;
    std::size_t start = 0, lineNo = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos) lf = bytes.size();
        std::string_view line(bytes.data() + start, lf - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNo;
        if (auto bad = parseLine(keys, line, currentKey))
            return "registry file " + file + " line " + std::to_string(lineNo) + ": " + *bad;
        start = lf + 1;
    }
    return std::nullopt;
}

void load() {
    Store& s = store();
    if (s.loaded) return;
    s.loaded = true;
    s.broken = false;
    s.error.clear();
    s.keys.clear();
    std::string file = currentFile();
    std::string bytes, error;
    // The user's own settings, named by the user or kept in the user's
    // configuration folder: read as they are.
    if (!host::readWholeFile(file, bytes, &error, host::kMaxSupportFileBytes, host::FileOrigin::User)) {
        if (errno != ENOENT) {
            s.broken = true;  // present but unreadable: never overwrite it
            s.error = error;
        }
    } else if (std::optional<std::string> bad = parse(bytes, s.keys, file)) {
        s.broken = true;
        s.error = *bad;
    }
    seedBuiltins(s.keys);
}

std::string render(const Keys& keys) {
    std::string out = "; registry of the current user, written by velm\n";
    for (const auto& [id, key] : keys) {
        if (key.builtin) continue;
        out += "\n[" + std::string(kRoot) + "\\" + key.path + "]\n";
        for (const Value& v : key.values) {
            if (v.builtin) continue;
            out += quote(v.name) + "=";
            if (v.type == REG_DWORD) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(v.number));
                out += std::string("dword:") + hex + "\n";
            } else {
                out += "sz:" + quote(v.text) + "\n";
            }
        }
    }
    return out;
}

// One change of this process: a key made (spelt as given), or a value of a
// key set.
struct Change {
    std::string path;
    std::optional<Value> value;
};

void apply(Keys& keys, const Change& change) {
    addKey(keys, change.path, false);
    Key& key = keys[host::toUpper(change.path)];
    key.builtin = false;
    if (!change.value) return;
    if (Value* old = findValue(key, change.value->name))
        *old = *change.value;
    else
        key.values.push_back(*change.value);
}

// The change made on the file as it is now, under the lock of the writes
// into its folder: what another program stored since this one read the
// file stays, and the store takes it in too. A file that is no registry
// file (now) is never overwritten.
bool save(const Change& change) {
    Store& s = store();
    if (s.broken) return false;
    std::string file = currentFile();
    std::size_t slash = file.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        // Make the folder chain of the file, as the first write needs it.
        std::string dir = file.substr(0, slash);
        for (std::size_t i = 1; i <= dir.size(); ++i)
            if (i == dir.size() || dir[i] == '/') ::mkdir(dir.substr(0, i).c_str(), 0777);
    }
    std::optional<Keys> result;
    std::string refused;
    auto onto = [&](std::string_view now) -> std::optional<std::string> {
        Keys keys;
        if (std::optional<std::string> bad = parse(now, keys, file)) {
            refused = *bad;
            return std::nullopt;
        }
        apply(keys, change);
        result = std::move(keys);
        return render(*result);
    };
    // Read now, so that the write compares with this read when no earlier
    // one of the command is kept for it.
    std::string now, error;
    if (!host::readWholeFile(file, now, &error) && errno != ENOENT) {
        s.error = error;
        return false;
    }
    const std::optional<std::string> bytes = onto(now);
    if (!bytes || !host::writeFileMerging(
                      file, *bytes, [&](std::string_view, std::string_view current) { return onto(current); },
                      &error)) {
        s.error = refused.empty() ? error : refused;
        return false;
    }
    s.keys = std::move(*result);
    seedBuiltins(s.keys);
    return true;
}

// The capitalised path of an open key, or nothing for a bad handle.
std::optional<OpenKey> resolve(HKEY key) {
    if (key == HKEY_CURRENT_USER) return OpenKey{"", KEY_ALL_ACCESS};
    auto it = store().open.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == store().open.end()) return std::nullopt;
    return it->second;
}

std::string pathOf(const std::string& id) {
    if (id.empty()) return "";
    const auto& keys = store().keys;
    auto it = keys.find(id);
    if (it != keys.end()) return it->second.path;
    // A key implied by one below it is spelt as that key spells it.
    it = keys.lower_bound(id + "\\");
    if (it != keys.end() && it->first.compare(0, id.size() + 1, id + "\\") == 0 &&
        it->second.path.size() > id.size())
        return it->second.path.substr(0, id.size());
    return id;
}

HKEY openHandle(const std::string& id, REGSAM access) {
    std::uintptr_t value = store().nextHandle;
    store().nextHandle += 4;
    store().open[value] = OpenKey{id, access};
    return reinterpret_cast<HKEY>(value);
}

}  // namespace

LONG RegOpenKeyExW(HKEY key, const char* subKey, DWORD, REGSAM access, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    load();
    auto base = resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string id = host::toUpper(join(pathOf(base->id), subKey ? subKey : ""));
    if (!keyExists(store().keys, id)) return ERROR_FILE_NOT_FOUND;
    *result = openHandle(id, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, const char* subKey, DWORD, char*, DWORD, REGSAM access, void*, HKEY* result,
                     DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    load();
    auto base = resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = join(pathOf(base->id), subKey ? subKey : "");
    std::string id = host::toUpper(path);
    if (!id.empty()) {
        auto it = store().keys.find(id);
        bool wasBuiltin = it != store().keys.end() && it->second.builtin;
        if (it == store().keys.end() || wasBuiltin) {
            const bool created = !keyExists(store().keys, id);
            if (!save(Change{path, std::nullopt})) return ERROR_ACCESS_DENIED;
            if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        } else if (disposition) {
            *disposition = REG_OPENED_EXISTING_KEY;
        }
    } else if (disposition) {
        *disposition = REG_OPENED_EXISTING_KEY;
    }
    *result = openHandle(id, access);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
    load();
    auto open = resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    auto it = store().keys.find(open->id);
    if (it == store().keys.end()) return ERROR_FILE_NOT_FOUND;
    const Value* v = findValue(it->second, valueName ? valueName : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    DWORD needed = v->type == REG_DWORD ? 4 : static_cast<DWORD>(v->text.size() + 1);
    if (!dataSize) return ERROR_SUCCESS;
    if (!data) {
        *dataSize = needed;
        return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (v->type == REG_DWORD)
        std::memcpy(data, &v->number, 4);
    else
        std::memcpy(data, v->text.c_str(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    load();
    auto open = resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE) || open->id.empty()) return ERROR_ACCESS_DENIED;
    if (!data && dataSize > 0) return ERROR_INVALID_PARAMETER;
    Value v;
    v.name = valueName ? valueName : "";
    v.type = type;
    if (type == REG_SZ) {
        // The text ends at its first terminator, or at the size given.
        const char* text = reinterpret_cast<const char*>(data);
        std::size_t n = 0;
        while (n < dataSize && text[n] != '\0') ++n;
        v.text.assign(text ? text : "", n);
    } else if (type == REG_DWORD) {
        if (dataSize != 4) return ERROR_INVALID_PARAMETER;
        std::memcpy(&v.number, data, 4);
    } else {
        return ERROR_INVALID_PARAMETER;
    }
    // Only this value goes onto the file as it is now; a key that exists
    // only as the parent of another gets stored with it.
    if (!keyExists(store().keys, open->id)) return ERROR_FILE_NOT_FOUND;
    if (!save(Change{pathOf(open->id), v})) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    return store().open.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

namespace host {

void setRegistryFile(const std::string& path) {
    store().file = path;
    store().loaded = false;
}

std::string registryFile() {
    return currentFile();
}

std::string registryError() {
    return store().error;
}

}  // namespace host
