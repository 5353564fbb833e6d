// The kernel's file-access rules, called by their system call numbers (the
// C library has no wrappers). Each version knows more kinds of access;
// asking for one the kernel does not know is refused, so the rules handle
// exactly the kinds of the version found, all of them, and the program may
// use a kind only where a rule allows it.
#include "host/win/confinement.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace host {

namespace {

constexpr std::uint64_t kReadAccess =
    LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
// What may be asked of a rule on a file rather than a folder.
constexpr std::uint64_t kFileAccess = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
                                      LANDLOCK_ACCESS_FS_READ_FILE | (1ULL << 14) /* truncate */ |
                                      (1ULL << 15) /* device control */;

// Every kind of file access the version knows: version 1 the first
// thirteen, 2 adds moving between folders, 3 shortening a file, 5 device
// control (4, 6 and 7 add no file access).
std::uint64_t handledAccess(int version) {
    std::uint64_t access = (1ULL << 13) - 1;
    if (version >= 2) access |= 1ULL << 13;
    if (version >= 3) access |= 1ULL << 14;
    if (version >= 5) access |= 1ULL << 15;
    return access;
}

bool addRule(int rules, const std::string& path, std::uint64_t access, std::string& why) {
    const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return true;  // nothing there to allow
        why = "nie można otworzyć " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) access &= kFileAccess;
    landlock_path_beneath_attr rule{};
    rule.allowed_access = access;
    rule.parent_fd = fd;
    const long added = ::syscall(SYS_landlock_add_rule, rules, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
    const int error = errno;
    ::close(fd);
    if (added != 0) {
        why = "jądro nie przyjęło reguły dla " + path + ": " + std::strerror(error);
        return false;
    }
    return true;
}

}  // namespace

int confinementVersion() {
    const long version = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return version > 0 ? static_cast<int>(version) : 0;
}

int makeConfinement(const std::vector<std::string>& readable, const std::string& writable, std::string& why) {
    const int version = confinementVersion();
    if (version == 0) {
        why = "jądro nie ogranicza dostępu programów do plików";
        return -1;
    }
    const std::uint64_t handled = handledAccess(version);
    landlock_ruleset_attr attributes{};
    attributes.handled_access_fs = handled;
    const long made = ::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0);
    if (made < 0) {
        why = std::string("jądro nie utworzyło reguł dostępu: ") + std::strerror(errno);
        return -1;
    }
    const int rules = static_cast<int>(made);
    ::fcntl(rules, F_SETFD, FD_CLOEXEC);
    bool added = true;
    for (const std::string& path : readable)
        if (added) added = addRule(rules, path, kReadAccess & handled, why);
    if (added) added = addRule(rules, writable, handled, why);
    if (!added) {
        ::close(rules);
        return -1;
    }
    return rules;
}

bool applyConfinement(int rules) {
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    return ::syscall(SYS_landlock_restrict_self, rules, 0) == 0;
}

}  // namespace host
