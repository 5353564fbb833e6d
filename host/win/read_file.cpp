// The one reader of whole files (see the header). A foreign file is opened
// without waiting, so that a FIFO with no writer cannot hold the program at
// the open, and is looked at through its descriptor before a byte is read;
// a user's file is opened as it is, since a pipe the user hands over has
// its writer on the way. Either way the bytes read are counted against the
// bound as they arrive: a file that grows while it is read, or a device
// that never ends, stops there.
#include "host/win/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/win/files.h"
#include "host/win/files_as_read.h"

namespace host {

namespace {

std::string tooLarge(std::size_t maxBytes) {
    return maxBytes >= (std::size_t{1} << 20)
               ? "plik jest większy niż " + std::to_string(maxBytes >> 20) + " MB"
               : "plik jest większy niż " + std::to_string(maxBytes) + " B";
}

}  // namespace

bool readFileBytes(const std::string& native, std::string& bytes, std::string* error, std::size_t maxBytes,
                   FileOrigin origin, struct stat* stamp) {
    const auto failWith = [&](int err, const std::string& reason) {
        if (error) *error = "nie można odczytać " + native + ": " + reason;
        errno = err;
        return false;
    };
    const bool foreign = origin == FileOrigin::Foreign;
    int fd = -1;
    do {
        fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (foreign ? O_NONBLOCK : 0));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        return failWith(err, fileErrorReason(err));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return failWith(err, fileErrorReason(err));
    }
    const bool regular = S_ISREG(st.st_mode);
    if (S_ISDIR(st.st_mode) || (foreign && !regular)) {
        ::close(fd);
        return failWith(S_ISDIR(st.st_mode) ? EISDIR : EINVAL,
                        S_ISDIR(st.st_mode) ? fileErrorReason(EISDIR) : "to nie jest zwykły plik");
    }
    if (regular && static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        return failWith(EFBIG, tooLarge(maxBytes));
    }
    // Reads block again: a regular file never waits, and a read that does is
    // one the disk makes, not a writer at the other end.
    if (foreign) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.clear();
    // One allocation for the whole file, not a doubling per chunk.
    if (regular && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return failWith(err, fileErrorReason(err));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            ::close(fd);
            bytes.clear();
            return failWith(EFBIG, tooLarge(maxBytes));
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    if (stamp) *stamp = st;
    ::close(fd);
    return true;
}

bool fileIsRegular(const std::string& path) {
    struct stat st {};
    return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error, std::size_t maxBytes,
                   FileOrigin origin) {
    const std::string native = nativePath(path);
    struct stat st {};
    if (!readFileBytes(native, bytes, error, maxBytes, origin, &st)) return false;
    // The first read of the running command is what a write compares with;
    // a pipe or a device has nothing a write could compare.
    if (S_ISREG(st.st_mode)) noteFileAsRead(native, asReadFrom(st, bytes));
    return true;
}

}  // namespace host
