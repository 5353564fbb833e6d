// The one writer of whole files. Every file this program writes, a drawing,
// a support file, an export, goes through here:
//   1. the target is worked out (a link followed or replaced, as asked) and
//      refused when it is no regular file or lies in a protected folder;
//   2. the bytes go to a new temporary file beside it, made with O_EXCL
//      under a name nobody can foretell, so nothing planted in the folder
//      is ever written through;
//   3. under the folder's lock, the target is compared with what this
//      process read of it (files_as_read.h): changed by another program, the
//      write is refused or its changes are merged onto the file as it is;
//   4. the temporary file is renamed over the target and what was written
//      becomes what a later write of the command compares with.
// A failure at any step removes the temporary file and leaves the target as
// it was; the message names the target and says why in the host's words.
// Temporary files left by a write that never finished (the program killed)
// are removed by the next write of the same name, once nobody holds them.
#include "host/win/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "host/win/files.h"
#include "host/win/files_as_read.h"
#include "host/win/kept_files.h"

namespace host {

namespace {

bool failWith(std::string* error, const char* what, const std::string& path, int err) {
    if (error) *error = std::string(what) + " " + path + ": " + fileErrorReason(err);
    errno = err;
    return false;
}

bool refuse(std::string* error, const std::string& path, const std::string& why, int err) {
    if (error) *error = "nie można zapisać " + path + ": " + why;
    errno = err;
    return false;
}

std::string folderOf(const std::string& native) {
    const std::size_t slash = native.find_last_of('/');
    return slash == std::string::npos ? "." : native.substr(0, slash == 0 ? 1 : slash);
}

// The file a save to `native` writes: a symbolic link is followed, so the
// link itself stays a link. A link to nothing is refused: the save would
// make a file wherever it points.
bool followLinks(std::string& native, std::string* error) {
    const std::string asNamed = native;
    for (int depth = 0;; ++depth) {
        struct stat st {};
        if (::lstat(native.c_str(), &st) != 0) {
            if (depth == 0) return true;  // a new file
            return refuse(error, asNamed, "to dowiązanie symboliczne do pliku, którego nie ma: " + native,
                          ENOENT);
        }
        if (!S_ISLNK(st.st_mode)) {
            if (S_ISREG(st.st_mode)) return true;
            return refuse(error, native, "to nie jest zwykły plik", EINVAL);
        }
        if (depth >= 40) return failWith(error, "nie można zapisać", native, ELOOP);
        char buf[4096];
        ssize_t n = ::readlink(native.c_str(), buf, sizeof buf - 1);
        if (n <= 0) return failWith(error, "nie można zapisać", native, n < 0 ? errno : ENOENT);
        std::string link(buf, static_cast<std::size_t>(n));
        std::size_t slash = native.find_last_of('/');
        if (link[0] != '/' && slash != std::string::npos) link = native.substr(0, slash + 1) + link;
        native = link;
    }
}

std::vector<std::string>& protectedFolders() {
    static std::vector<std::string> folders;
    return folders;
}

std::string realFolder(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return {};
    std::string out(real);
    std::free(real);
    return out;
}

// Whether the folder a file is written to is one of the protected ones or
// lies inside one.
bool insideProtected(const std::string& native) {
    if (protectedFolders().empty()) return false;
    const std::string folder = realFolder(folderOf(native));
    if (folder.empty()) return false;
    for (const std::string& p : protectedFolders())
        if (folder == p || (folder.size() > p.size() && folder.compare(0, p.size(), p) == 0 &&
                            (p == "/" || folder[p.size()] == '/')))
            return true;
    return false;
}

// The target of a write, as named and as written to.
struct Target {
    std::string asNamed, native;
};

bool prepareTarget(const std::string& path, LinkAtName link, Target& target, std::string* error) {
    target.asNamed = target.native = nativePath(path);
    if (target.native.empty() || target.native.back() == '/')
        return refuse(error, path, "pusta nazwa pliku", ENOENT);
    if (link == LinkAtName::WriteLinkedFile) {
        if (!followLinks(target.native, error)) return false;
    } else {
        struct stat st {};
        if (::lstat(target.native.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
            return refuse(error, target.native, "to nie jest zwykły plik", EINVAL);
    }
    if (insideProtected(target.native))
        return refuse(error, target.native, "pliki dostarczone z programem są tylko do odczytu", EACCES);
    return true;
}

// Holds the lock of a folder's writes: every write of this program into
// one folder waits for the one before it, so a check of what is there and
// the rename that follows it are one step for the other processes.
class FolderLock {
public:
    explicit FolderLock(const std::string& native) {
        m_fd = ::open(folderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) return;
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd);  // the lock goes with the descriptor
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary file's bytes, written and on the disk; the descriptor is
// closed either way.
bool finishTemporary(int fd, std::string_view bytes) {
    bool done = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int err = errno;
    if (::close(fd) != 0 && done) return false;
    errno = err;
    return done;
}

// What was written becomes what a later write of the command compares with.
void noteWritten(const Target& target, std::optional<std::string_view> written) {
    forgetFileAsRead(target.native);
    struct stat st;
    if (::stat(target.native.c_str(), &st) == 0) noteFileWritten(target.asNamed, asReadFrom(st, written));
    // What was worked out from the file, or from where it was found, may
    // be out of date now.
    forgetKeptFileValues();
}

// Step 4 for a copy that must not replace anything: the temporary file is
// linked to the name, which fails when anything came first.
bool linkTemporary(const Target& target, const std::string& temp, std::optional<std::string_view> written,
                   std::string* error) {
    int err = ::link(temp.c_str(), target.native.c_str()) == 0 ? 0 : errno;
    if (err == EPERM) {
        // A file system without hard links: the check and the rename are
        // one step for this program's writers (the folder's lock).
        struct stat st {};
        if (::lstat(target.native.c_str(), &st) == 0)
            err = EEXIST;
        else
            err = ::rename(temp.c_str(), target.native.c_str()) == 0 ? 0 : errno;
    }
    ::unlink(temp.c_str());
    if (err != 0) return failWith(error, "nie można zapisać", target.native, err);
    noteWritten(target, written);
    return true;
}

// Steps 3 and 4 for a temporary file already complete. `written` is what it
// holds, when held whole (a stream's text is not): a later write of the
// command compares with it; `merge` null refuses a changed target.
bool commitTemporary(const Target& target, const std::string& temp, std::optional<std::string_view> written,
                     const MergeChanges* merge, bool keepExisting, std::string* error) {
    FolderLock lock(target.native);
    if (keepExisting) return linkTemporary(target, temp, written, error);
    std::string merged;
    const AsRead* read = fileAsRead(target.asNamed);
    if (!read) read = fileAsRead(target.native);
    if (read) {
        std::optional<std::string> now;
        if (!unchangedSinceRead(target.native, *read, now)) {
            std::optional<std::string> result;
            if (merge && read->bytes && now) result = (*merge)(*read->bytes, *now);
            if (!result) {
                ::unlink(temp.c_str());
                return refuse(error, target.native, "plik zmienił się od odczytu (zmienił go inny program)",
                              EAGAIN);
            }
            merged = std::move(*result);
            written = merged;
            const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 || !finishTemporary(fd, merged)) {
                const int err = errno;
                ::unlink(temp.c_str());
                return failWith(error, "nie można zapisać", target.native, err);
            }
        }
    }
    if (::rename(temp.c_str(), target.native.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failWith(error, "nie można zastąpić", target.native, err);
    }
    noteWritten(target, written);
    return true;
}

// The start of the names of the temporary files of `target`: ".NAME." (the
// folder in front with `withFolder`). The name is short: a long target
// name must not make it longer than a name may be.
std::string temporaryPrefix(const std::string& target, bool withFolder) {
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return (withFolder ? folder : std::string()) + "." + name.substr(0, 40) + ".";
}

// The process that made the temporary file named `entry` (".NAME.PID.XXXXXX"
// after the prefix), 0 when the name is no temporary file of this program.
pid_t temporaryOwner(std::string_view entry, std::string_view prefix) {
    if (entry.size() < prefix.size() + 8 || entry.substr(0, prefix.size()) != prefix) return 0;
    const std::string_view rest = entry.substr(prefix.size());
    const std::size_t dot = rest.size() - 7;
    if (rest[dot] != '.' || dot == 0 || dot > 10) return 0;
    long long pid = 0;
    for (std::size_t i = 0; i < dot; ++i) {
        if (rest[i] < '0' || rest[i] > '9') return 0;
        pid = pid * 10 + (rest[i] - '0');
    }
    return pid > 0 && pid <= 0x7fffffff ? static_cast<pid_t>(pid) : 0;
}

bool processAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the temporary files of `native` left by writes that never
// finished: the process named in the name is gone and nobody holds the
// file's lock (a writer in another process namespace holds it while it
// writes). Only regular files of this user are looked at, without
// following a link.
void removeStaleTemporaries(const std::string& native) {
    const std::string folder = folderOf(native);
    const std::string prefix = temporaryPrefix(native, false);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = temporaryOwner(entry->d_name, prefix);
        if (owner == 0 || owner == self || processAlive(owner)) continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat held {
        }, now{};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == held.st_dev &&
            now.st_ino == held.st_ino)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

int makeTemporaryBeside(const std::string& target, std::string& temp) {
    std::string pattern = temporaryPrefix(target, true) + std::to_string(::getpid()) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::flock(fd, LOCK_EX | LOCK_NB);  // a new file: nobody else holds it
    temp = pattern;
    // A new file gets the mode any new file of the user gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return fd;
}

bool writeWholeFile(const std::string& path, std::string_view bytes, const WholeFileWrite& how,
                    std::string* error) {
    Target target;
    if (!prepareTarget(path, how.keepExisting ? LinkAtName::ReplaceLink : how.link, target, error))
        return false;
    removeStaleTemporaries(target.native);
    std::string temp;
    const int fd = makeTemporaryBeside(target.native, temp);
    if (fd < 0) return failWith(error, "nie można zapisać", target.native, errno);
    if (!finishTemporary(fd, bytes)) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failWith(error, "nie można zapisać", target.native, err);
    }
    return commitTemporary(target, temp, bytes, how.merge, how.keepExisting, error);
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    return writeWholeFile(path, bytes, {}, error);
}

bool writeFileMerging(const std::string& path, std::string_view bytes, const MergeChanges& merge,
                      std::string* error) {
    return writeWholeFile(path, bytes, {LinkAtName::WriteLinkedFile, &merge}, error);
}

void setProtectedFolders(const std::vector<std::string>& folders) {
    protectedFolders().clear();
    for (const std::string& f : folders)
        if (std::string real = realFolder(nativePath(f)); !real.empty())
            protectedFolders().push_back(std::move(real));
}

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::open(const std::string& path, std::string* error, LinkAtName link) {
    discard();
    Target target;
    if (!prepareTarget(path, link, target, error)) return false;
    removeStaleTemporaries(target.native);
    const int fd = makeTemporaryBeside(target.native, temp_);
    if (fd < 0) return failWith(error, "nie można zapisać", target.native, errno);
    out_ = ::fdopen(fd, "w");
    if (!out_) {
        const int err = errno;
        ::close(fd);
        discard();
        return failWith(error, "nie można zapisać", target.native, err);
    }
    asNamed_ = target.asNamed;
    target_ = target.native;
    return true;
}

bool ReplacingFile::commit(std::string* error) {
    if (!out_) return refuse(error, target_, "plik nie jest otwarty", EBADF);
    std::FILE* out = out_;
    out_ = nullptr;
    bool written = std::fflush(out) == 0 && !std::ferror(out) && ::fsync(::fileno(out)) == 0;
    int err = errno;
    if (std::fclose(out) != 0 && written) written = false, err = errno;
    if (!written) {
        discard();
        return failWith(error, "nie można zapisać", target_, err);
    }
    const std::string temp = std::move(temp_);
    temp_.clear();
    return commitTemporary({asNamed_, target_}, temp, std::nullopt, nullptr, false, error);
}

void ReplacingFile::discard() {
    if (out_) std::fclose(out_);
    out_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool replaceFile(const std::string& path, std::string_view bytes, std::string* error) {
    return writeWholeFile(path, bytes, {LinkAtName::ReplaceLink, nullptr}, error);
}

bool nameTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(nativePath(path).c_str(), &st) == 0;
}

std::string absolutePath(const std::string& path) {
    const std::string native = nativePath(path);
    if (native.empty() || native[0] == '/') return native;
    std::vector<char> buffer(4096);
    if (!::getcwd(buffer.data(), buffer.size())) return native;
    std::string folder = buffer.data();
    if (folder.back() != '/') folder += '/';
    return native.rfind("./", 0) == 0 ? folder + native.substr(2) : folder + native;
}

}  // namespace host
