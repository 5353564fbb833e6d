// File services over POSIX calls. Folder searches read the whole folder at
// FindFirstFileW, filter and sort it once, and hand the entries out one by
// one; the search handle owns that list until FindClose.
#include "host/win/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "host/win/files_as_read.h"
#include "host/win/kept_files.h"
#include "host/win/textutil.h"

namespace {

struct Search {
    std::string folder;
    std::vector<std::string> names;
    std::size_t next = 0;
};

std::map<std::intptr_t, std::unique_ptr<Search>>& searches() {
    static std::map<std::intptr_t, std::unique_ptr<Search>> all;
    return all;
}
std::intptr_t gNextSearch = 1;

std::string reasonOf(int err) {
    return host::fileErrorReason(err);
}

}  // namespace

// The reason of a failed file operation as the host's messages say it.
std::string host::fileErrorReason(int err) {
    switch (err) {
        case ENOENT:
            return "nie ma takiego pliku ani katalogu";
        case EACCES:
        case EPERM:
            return "brak dostępu";
        case ENOSPC:
        case EDQUOT:
            return "brak miejsca na dysku";
        case EFBIG:
            return "plik przekracza dozwolony rozmiar";
        case EROFS:
            return "system plików tylko do odczytu";
        case EISDIR:
            return "to jest katalog";
        case ENOTDIR:
            return "część ścieżki nie jest katalogiem";
        case ELOOP:
            return "zbyt wiele dowiązań symbolicznych";
        case ENAMETOOLONG:
            return "zbyt długa nazwa";
        default:
            return std::strerror(err);
    }
}

namespace {

bool statPath(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0;
}

// Windows reports a missing folder on the way differently from a missing file.
DWORD missingCode(const std::string& native) {
    std::size_t slash = native.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return ERROR_FILE_NOT_FOUND;
    struct stat st;
    std::string parent = native.substr(0, slash);
    if (!statPath(parent, st) || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
}

DWORD failCode(const std::string& native, int err) {
    return err == ENOENT ? missingCode(native) : host::winErrorFromErrno(err);
}

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

void fillFindData(const std::string& folder, const std::string& name, WIN32_FIND_DATAW* data) {
    std::memset(data, 0, sizeof *data);
    struct stat st;
    std::string full = folder.empty() ? name : folder + "/" + name;
    if (statPath(full, st)) {
        if (S_ISDIR(st.st_mode)) data->dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
        if (access(full.c_str(), W_OK) != 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        if (data->dwFileAttributes == 0) data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
        auto size = static_cast<unsigned long long>(st.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    } else {
        data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    std::size_t n = std::min(name.size(), static_cast<std::size_t>(MAX_PATH - 1));
    std::memcpy(data->cFileName, name.data(), n);
}

std::vector<char32_t> foldedCodePoints(std::string_view text) {
    std::vector<char32_t> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        bool valid = true;
        std::size_t at = pos;
        char32_t cp = host::decodeUtf8(text, pos, &valid);
        out.push_back(valid ? host::upperCodePoint(cp) : 0x110000 + static_cast<unsigned char>(text[at]));
    }
    return out;
}

bool matchFolded(const std::vector<char32_t>& name, const std::vector<char32_t>& pat) {
    // Greedy match with backtracking to the last star: linear in practice.
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == '?' || pat[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pat.size() && pat[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*') ++p;
    return p == pat.size();
}

}  // namespace

DWORD GetFileAttributesW(const char* path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string native = host::nativePath(path);
    struct stat st;
    if (!statPath(native, st)) {
        SetLastError(failCode(native, errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attrs = 0;
    if (S_ISDIR(st.st_mode)) attrs |= FILE_ATTRIBUTE_DIRECTORY;
    if (access(native.c_str(), W_OK) != 0) attrs |= FILE_ATTRIBUTE_READONLY;
    return attrs ? attrs : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryW(const char* path, void*) {
    if (!path || !*path) return fail(ERROR_PATH_NOT_FOUND);
    std::string native = host::nativePath(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    if (::mkdir(native.c_str(), 0777) == 0) {
        // A folder on the support path may be there now.
        host::forgetKeptFileValues();
        return TRUE;
    }
    int err = errno;
    if (err == EEXIST && host::folderExists(native)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return TRUE;
    }
    return fail(err == ENOENT ? ERROR_PATH_NOT_FOUND : host::winErrorFromErrno(err));
}

HANDLE FindFirstFileW(const char* pattern, WIN32_FIND_DATAW* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string native = host::nativePath(pattern);
    std::size_t slash = native.find_last_of('/');
    std::string folder =
        slash == std::string::npos ? std::string() : native.substr(0, slash == 0 ? 1 : slash);
    std::string namePattern = slash == std::string::npos ? native : native.substr(slash + 1);
    if (!folder.empty() && !host::folderExists(folder)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_unique<Search>();
    search->folder = folder;
    search->names = host::listFolder(folder.empty() ? "." : folder, namePattern);
    if (search->names.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    fillFindData(search->folder, search->names[0], data);
    search->next = 1;
    std::intptr_t id = gNextSearch++;
    searches()[id] = std::move(search);
    return host::handles::open(host::handles::Kind::Find, id);
}

BOOL FindNextFileW(HANDLE handle, WIN32_FIND_DATAW* data) {
    std::intptr_t id = 0;
    if (!host::handles::find(handle, host::handles::Kind::Find, id) || !data)
        return fail(ERROR_INVALID_HANDLE);
    Search& s = *searches().at(id);
    if (s.next >= s.names.size()) return fail(ERROR_NO_MORE_FILES);
    fillFindData(s.folder, s.names[s.next++], data);
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    std::intptr_t id = 0;
    if (!host::handles::find(handle, host::handles::Kind::Find, id)) return fail(ERROR_INVALID_HANDLE);
    host::handles::close(handle, host::handles::Kind::Find);
    searches().erase(id);
    return TRUE;
}

BOOL CopyFileW(const char* from, const char* to, BOOL failIfExists) {
    if (!from || !to) return fail(ERROR_INVALID_PARAMETER);
    std::string src = host::nativePath(from), dst = host::nativePath(to);
    struct stat st;
    if (!statPath(src, st)) return fail(failCode(src, errno));
    if (S_ISDIR(st.st_mode)) return fail(ERROR_ACCESS_DENIED);
    struct stat dt;
    bool exists = statPath(dst, dt);
    if (exists && failIfExists) return fail(ERROR_FILE_EXISTS);
    if (exists && S_ISDIR(dt.st_mode)) return fail(ERROR_ACCESS_DENIED);
    if (exists && dt.st_dev == st.st_dev && dt.st_ino == st.st_ino) return TRUE;  // onto itself
    std::string bytes;
    if (!host::readWholeFile(src, bytes)) return fail(host::winErrorFromErrno(errno));
    if (!host::writeFileAtomically(dst, bytes)) return fail(failCode(dst, errno));
    return TRUE;
}

BOOL MoveFileW(const char* from, const char* to) {
    if (!from || !to) return fail(ERROR_INVALID_PARAMETER);
    std::string src = host::nativePath(from), dst = host::nativePath(to);
    struct stat st, dt;
    if (::lstat(src.c_str(), &st) != 0) return fail(failCode(src, errno));
    if (::lstat(dst.c_str(), &dt) == 0) {
        // A change of case only is a rename on Windows, not a clash.
        if (!(dt.st_dev == st.st_dev && dt.st_ino == st.st_ino)) return fail(ERROR_ALREADY_EXISTS);
    }
    // What was read under either name is no longer there to compare with,
    // nor is a name found on the support path where it was.
    host::forgetFileAsRead(src);
    host::forgetFileAsRead(dst);
    host::forgetKeptFileValues();
    if (::rename(src.c_str(), dst.c_str()) == 0) return TRUE;
    int err = errno;
    if (err == EXDEV && S_ISREG(st.st_mode)) {
        std::string bytes;
        if (!host::readWholeFile(src, bytes) || !host::writeFileAtomically(dst, bytes))
            return fail(host::winErrorFromErrno(errno));
        if (::unlink(src.c_str()) != 0) {
            int unlinkErr = errno;
            ::unlink(dst.c_str());  // keep one copy only, the original
            return fail(host::winErrorFromErrno(unlinkErr));
        }
        return TRUE;
    }
    return fail(failCode(dst, err));
}

BOOL DeleteFileW(const char* path) {
    if (!path) return fail(ERROR_INVALID_PARAMETER);
    std::string native = host::nativePath(path);
    struct stat st;
    if (::lstat(native.c_str(), &st) != 0) return fail(failCode(native, errno));
    if (S_ISDIR(st.st_mode)) return fail(ERROR_ACCESS_DENIED);
    if (::unlink(native.c_str()) != 0) return fail(host::winErrorFromErrno(errno));
    host::forgetFileAsRead(native);
    host::forgetKeptFileValues();
    return TRUE;
}

namespace host {

std::string nativePath(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

PathParts splitPath(std::string_view path) {
    PathParts parts;
    std::size_t i = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        parts.drive = std::string(path.substr(0, 2));
        i = 2;
    }
    std::string_view rest = path.substr(i);
    std::size_t slash = rest.find_last_of("\\/");
    std::string_view name = rest;
    if (slash != std::string_view::npos) {
        parts.dir = std::string(rest.substr(0, slash + 1));
        name = rest.substr(slash + 1);
    }
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        parts.fname = std::string(name);
    } else {
        parts.fname = std::string(name.substr(0, dot));
        parts.ext = std::string(name.substr(dot));
    }
    return parts;
}

std::string makePath(std::string_view drive, std::string_view dir, std::string_view fname,
                     std::string_view ext) {
    std::string out(drive);
    out += dir;
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/')
        out += dir.find('\\') != std::string_view::npos ? '\\' : '/';
    out += fname;
    if (!ext.empty() && ext.front() != '.') out += '.';
    out += ext;
    return out;
}

bool matchFileName(std::string_view name, std::string_view pattern) {
    auto folded = foldedCodePoints(name);
    if (matchFolded(folded, foldedCodePoints(pattern))) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return matchFolded(folded, foldedCodePoints(pattern.substr(0, pattern.size() - 2)));
    return false;
}

std::vector<std::string> listFolder(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::string native = nativePath(folder);
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir) return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (matchFileName(name, pattern)) names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        // "." and ".." first, as Windows lists them.
        bool da = a == "." || a == "..", db = b == "." || b == "..";
        if (da != db) return da;
        int c = icompare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

bool fileExists(const std::string& path) {
    struct stat st;
    return statPath(nativePath(path), st) && !S_ISDIR(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st;
    return statPath(nativePath(path), st) && S_ISDIR(st.st_mode);
}

std::string documentsFolder() {
    const char* xdg = std::getenv("XDG_DOCUMENTS_DIR");
    const char* home = std::getenv("HOME");
    std::string docs;
    if (xdg && *xdg) {
        docs.assign(xdg);
    } else if (home && *home) {
        docs.assign(home);
        while (docs.size() > 1 && docs.back() == '/') docs.pop_back();
        docs.append("/Documents");
    } else {
        return ".";
    }
    while (docs.size() > 1 && docs.back() == '/') docs.pop_back();
    // The platform's documents folder always exists, and callers make
    // their own folders in it (the render engine's include folder).
    if (!folderExists(docs)) {
        for (std::size_t i = 1; i <= docs.size(); ++i)
            if (i == docs.size() || docs[i] == '/') ::mkdir(docs.substr(0, i).c_str(), 0777);
    }
    return docs;
}

std::string userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (xdg && *xdg && xdg[0] == '/')  // a relative value is to be ignored
        base = xdg;
    else if (home && *home)
        base = std::string(home) + "/.local/share";
    else
        return {};
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/velmor";
}

namespace {

bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    return folderExists(path);
}

// Another program may seed the same folder at the same moment: the writer
// makes the copy under a name of this process's own and links it to the
// target name, which fails rather than replace a file that came first. 0
// when the target is there afterwards, else why the copy was given up
// (errno): a copy cut short by a full disk or a file-size limit leaves no
// part behind.
int copyIfMissing(const std::string& source, const std::string& target) {
    std::string bytes;
    if (!readFileBytes(source, bytes, nullptr, kMaxSupportFileBytes, FileOrigin::Foreign))
        return errno ? errno : EIO;
    WholeFileWrite how;
    how.keepExisting = true;
    if (writeWholeFile(target, bytes, how) || errno == EEXIST) return 0;
    return errno;
}

}  // namespace

bool copyMissing(const std::string& from, const std::string& to, const std::vector<std::string>& skip,
                 std::vector<NotCopied>* notCopied) {
    forgetKeptFileValues();
    if (!makeFolders(nativePath(to))) return false;
    for (const std::string& name : listFolder(from, "*")) {
        if (name == "." || name == "..") continue;
        if (std::any_of(skip.begin(), skip.end(),
                        [&](const std::string& p) { return matchFileName(name, p); }))
            continue;
        const std::string source = from + "/" + name, target = to + "/" + name;
        struct stat st;
        if (folderExists(source)) {
            if (!copyMissing(source, target, {}, notCopied) && notCopied)
                notCopied->push_back({target, reasonOf(errno ? errno : ENOTDIR)});
        } else if (::lstat(nativePath(target).c_str(), &st) != 0) {
            const int err = copyIfMissing(nativePath(source), nativePath(target));
            if (err != 0 && notCopied) notCopied->push_back({target, reasonOf(err)});
        }
    }
    return true;
}

std::optional<std::string> folderUnwritable(const std::string& folder) {
    const std::string native = nativePath(folder);
    struct stat st;
    if (::stat(native.c_str(), &st) != 0) return reasonOf(errno);
    if (!S_ISDIR(st.st_mode)) return reasonOf(ENOTDIR);
    // Asking the file system, not the mode bits: a read-only mount, or a
    // folder this user may not write, refuses the file.
    const std::string probe = native + "/.velmor-probe-" + std::to_string(::getpid());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return reasonOf(errno);
    ::close(fd);
    ::unlink(probe.c_str());
    // The folder holds what it held: its modification time goes back, so
    // that what is kept from it (its listing, see kept_files.h) is not
    // taken for that of a folder written just now and read again by every
    // command of the first seconds.
    const timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    ::utimensat(AT_FDCWD, native.c_str(), times, 0);
    forgetKeptFileValues();
    return std::nullopt;
}

namespace {

// The private temporary folder of this process, once made: its path and
// what it was when made, so that removing it never follows a name that
// has come to mean something else.
struct TemporaryFolder {
    std::string path;  // with its trailing "/"
    pid_t owner = 0;
    dev_t device = 0;
    ino_t number = 0;
};

TemporaryFolder& temporary() {
    static TemporaryFolder t;
    return t;
}

}  // namespace

std::string temporaryFolder(bool make) {
    TemporaryFolder& t = temporary();
    // A child process of a fork makes its own.
    if (!t.path.empty() && t.owner == ::getpid()) return t.path;
    t = {};
    if (!make) return {};
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp && tmp[0] == '/' ? tmp : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    // A name nobody can foretell, made new (mode 0700): a folder or link
    // another user left in the shared folder is never taken over.
    std::string name = base + "/velmor-XXXXXX";
    if (!::mkdtemp(name.data())) return {};
    struct stat st;
    if (::lstat(name.c_str(), &st) != 0) return {};
    t = {name + "/", ::getpid(), st.st_dev, st.st_ino};
    return t.path;
}

void removeTemporaryFolder() {
    TemporaryFolder& t = temporary();
    const TemporaryFolder made = t;
    t = {};
    if (made.path.empty() || made.owner != ::getpid()) return;
    const std::string folder = made.path.substr(0, made.path.size() - 1);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) return;
    struct stat st;
    if (::fstat(dir, &st) != 0 || st.st_dev != made.device || st.st_ino != made.number) {
        ::close(dir);
        return;
    }
    // Entries are removed through the folder's own descriptor: a link among
    // them goes as a link, its target untouched.
    if (DIR* list = ::fdopendir(::dup(dir))) {
        std::vector<std::string> names;
        while (dirent* entry = ::readdir(list))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        ::closedir(list);
        for (const std::string& n : names) ::unlinkat(dir, n.c_str(), 0);
    }
    ::close(dir);
    ::rmdir(folder.c_str());
}

}  // namespace host
