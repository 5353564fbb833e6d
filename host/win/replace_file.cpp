// Whole-file replacement that never follows a link under the target name:
// mkstemp in the target's folder, write, fsync, rename(2) over the name
// (rename replaces the directory entry, whatever it is, and does not follow
// it).
#include "host/win/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "host/win/files.h"
#include "host/win/kept_files.h"

namespace host {

namespace {

std::string reason(int err) {
    switch (err) {
        case ENOENT:
            return "nie ma takiego katalogu";
        case EACCES:
        case EPERM:
            return "brak dostępu";
        case ENOSPC:
            return "brak miejsca na dysku";
        case EROFS:
            return "system plików tylko do odczytu";
        case EISDIR:
            return "to jest katalog";
        case ENAMETOOLONG:
            return "zbyt długa nazwa";
        default:
            return std::strerror(err);
    }
}

void say(std::string* error, const std::string& what, const std::string& path, int err) {
    if (error) *error = what + " " + path + ": " + reason(err);
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::open(const std::string& path, std::string* error) {
    discard();
    target_ = nativePath(path);
    if (target_.empty() || target_.back() == '/') {
        if (error) *error = "nie można zapisać " + path + ": pusta nazwa pliku";
        return false;
    }
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        if (error) *error = "nie można zapisać " + target_ + ": to nie jest zwykły plik";
        return false;
    }
    const std::size_t slash = target_.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    // The temporary name is short: a long target name must not make it
    // longer than a name may be.
    std::string pattern = folder + "." + name.substr(0, 40) + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        say(error, "nie można zapisać", target_, errno);
        return false;
    }
    temp_ = buffer.data();
    // A new file gets the mode any new file of the user gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    out_ = ::fdopen(fd, "w");
    if (!out_) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp_.c_str());
        temp_.clear();
        say(error, "nie można zapisać", target_, err);
        return false;
    }
    return true;
}

bool ReplacingFile::commit(std::string* error) {
    if (!out_) {
        if (error) *error = "nie można zapisać " + target_ + ": plik nie jest otwarty";
        return false;
    }
    std::FILE* out = out_;
    out_ = nullptr;
    bool written = std::fflush(out) == 0 && !std::ferror(out) && ::fsync(::fileno(out)) == 0;
    int err = errno;
    if (std::fclose(out) != 0 && written) written = false, err = errno;
    if (!written) {
        ::unlink(temp_.c_str());
        temp_.clear();
        say(error, "nie można zapisać", target_, err);
        return false;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        err = errno;
        ::unlink(temp_.c_str());
        temp_.clear();
        say(error, "nie można zastąpić", target_, err);
        return false;
    }
    temp_.clear();
    // What was worked out from the file, or from where it was found, may
    // be out of date now.
    host::forgetKeptFileValues();
    return true;
}

void ReplacingFile::discard() {
    if (out_) std::fclose(out_);
    out_ = nullptr;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool replaceFile(const std::string& path, std::string_view bytes, std::string* error) {
    ReplacingFile file;
    if (!file.open(path, error)) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
        say(error, "nie można zapisać", nativePath(path), errno);
        return false;
    }
    return file.commit(error);
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
