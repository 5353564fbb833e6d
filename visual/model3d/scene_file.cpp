// The bounded scene file: see scene_file.h.
#include "visual/model3d/scene_file.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "host/ads/cmdline.h"
#include "host/win/files.h"

namespace scene {

bool SceneFile::open(const std::string& path) {
    m_path = path;
    m_written = 0;
    m_stopped = false;
    m_why.clear();
    if (m_file.open(path)) return true;
    zcutPrintf("\nPliku %s nie można otworzyć", path.c_str());
    return false;
}

void SceneFile::stop(const std::string& why) {
    m_stopped = true;
    m_why = why;
    // The text written so far may be gigabytes: it goes now, not when the
    // command ends.
    m_file.discard();
}

void SceneFile::emit(const char* format, va_list args) {
    if (m_stopped || !m_file.stream()) return;
    char small[512];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    const auto size = static_cast<std::size_t>(length);
    if (m_written + size > (m_maxMegabytes << 20)) {
        stop("Plik " + m_path + " byłby większy niż " + std::to_string(m_maxMegabytes) +
             " MB: nie został zapisany.");
        return;
    }
    std::vector<char> large;
    const char* text = small;
    if (size >= sizeof small) {
        large.resize(size + 1);
        std::vsnprintf(large.data(), large.size(), format, args);
        text = large.data();
    }
    if (std::fwrite(text, 1, size, m_file.stream()) != size) {
        stop("nie można zapisać " + m_path + ": " + host::fileErrorReason(errno));
        return;
    }
    m_written += size;
}

bool SceneFile::commit() {
    if (m_stopped) {
        zcutPrintf("\n%s", m_why.c_str());
        return false;
    }
    std::string error;
    if (m_file.commit(&error)) return true;
    zcutPrintf("\n%s", error.c_str());
    return false;
}

}  // namespace scene
