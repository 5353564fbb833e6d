// A drawing file's bytes (see the header). The name is opened without
// waiting and looked at through its descriptor, so that what it leads to
// is judged as it is, not as the name was when first looked at.
#include "host/db/dxffile_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/db/dxffile_decode.h"
#include "host/win/files.h"

namespace host {

namespace {

std::string megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (std::uint64_t{1} << 20) - 1) >> 20) + " MB";
}

std::string tooLarge(std::size_t maxBytes) {
    return "plik jest większy niż " + megabytes(maxBytes) + ", więcej niż rysunek może mieć";
}

// Reads the rest of a stream in chunks, judging its first bytes once
// enough of them have come.
bool readStream(int fd, std::string& bytes, std::string& why, std::size_t maxBytes) {
    bytes.clear();
    bool judged = false, binary = false;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = fileErrorReason(errno);
            return false;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
            bytes.clear();
            why = tooLarge(maxBytes);
            return false;
        }
        // A text drawing holds no NUL byte: zeros past its first lines are
        // no drawing either.
        if (judged && !binary && std::memchr(buf, 0, static_cast<std::size_t>(n))) {
            bytes.clear();
            why = "to nie jest rysunek DXF (bajty zerowe w tekście)";
            return false;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
        if (!judged && bytes.size() >= kDxfJudgedBytes) {
            judged = true;
            binary = dxf::isBinaryDxf(bytes);
            if (!mayBeginDxf(bytes, false)) {
                bytes.clear();
                why = "to nie jest rysunek DXF";
                return false;
            }
        }
    }
    if (bytes.empty()) {
        why = "nie nadeszły żadne dane";
        return false;
    }
    if (!judged && !mayBeginDxf(bytes, true)) {
        bytes.clear();
        why = "to nie jest rysunek DXF";
        return false;
    }
    return true;
}

}  // namespace

bool readDrawingFile(const std::string& path, FileOrigin origin, std::string& bytes, std::string& why,
                     std::size_t maxBytes) {
    const std::string native = nativePath(path);
    int fd = -1;
    do {
        fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        why = fileErrorReason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = fileErrorReason(errno);
        ::close(fd);
        return false;
    }
    const bool regular = S_ISREG(st.st_mode);
    std::string refused;
    if (S_ISDIR(st.st_mode))
        refused = fileErrorReason(EISDIR);
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        refused = "to urządzenie, nie rysunek";
    else if (!regular && origin == FileOrigin::Foreign)
        refused = "to nie jest zwykły plik";
    else if (regular && static_cast<std::uint64_t>(st.st_size) > maxBytes)
        refused = "plik ma " + megabytes(static_cast<std::uint64_t>(st.st_size)) + ", więcej niż " +
                  megabytes(maxBytes) + ", jakie może mieć rysunek";
    if (!refused.empty()) {
        ::close(fd);
        why = refused;
        return false;
    }
    if (regular) {
        // Its first lines judged before the whole is read: a large file of
        // zeros or of another kind is refused at once, not after it has
        // been read into memory.
        char head[kDxfJudgedBytes];
        ssize_t got = 0;
        do {
            got = ::pread(fd, head, sizeof head, 0);
        } while (got < 0 && errno == EINTR);
        if (got > 0 && !mayBeginDxf(std::string_view(head, static_cast<std::size_t>(got)),
                                    static_cast<std::size_t>(got) < sizeof head)) {
            ::close(fd);
            why = "to nie jest rysunek DXF";
            return false;
        }
        // Read by the one reader of whole files, which keeps what a later
        // write compares with.
        ::close(fd);
        std::string error;
        if (readWholeFile(path, bytes, &error, maxBytes, origin)) return true;
        why = error;
        return false;
    }
    // A pipe's writer is on its way, or gone: reads wait for it again.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool read = readStream(fd, bytes, why, maxBytes);
    ::close(fd);
    return read;
}

bool mayBeginDxf(std::string_view first, bool ended) {
    if (dxf::isBinaryDxf(first)) return true;
    // Only the first line is judged: what follows a drawing's end may be
    // anything (a NUL byte among it), and the reader passes over it.
    if (first.starts_with("\xef\xbb\xbf")) first.remove_prefix(3);
    const std::size_t end = first.find('\n');
    if (end == std::string_view::npos && !ended) return false;
    std::string_view line = first.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty() && line.front() == '-') line.remove_prefix(1);
    if (line.empty() || line.size() > 6) return false;
    for (char c : line)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace host
