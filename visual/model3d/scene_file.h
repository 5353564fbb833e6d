// The file a scene exporter writes (a POV-Ray scene, a VRML world): made
// whole under its name (host::ReplacingFile) and bounded in size. What a
// drawing expands to is counted before the walk (scene_walk.h), but the
// bytes a face takes depend on its kind, its material and its numbers, so
// the size is watched as the text is written: the write that would take
// the file past its bound, or that fails (a full disk, a file-size limit),
// stops the file and its temporary file is removed at once (a failure the
// stream still holds in its buffer shows when the file is committed, which
// removes it then). Nothing is written after a stop; the walk may ask
// stopped() to end early.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

#include "host/win/replace_file.h"

namespace scene {

// A real building writes a few hundred megabytes at most (10^6 faces of
// about 400 bytes); a scene past two gigabytes is a drawing expanded
// beyond any use, or one made to fill the disk.
inline constexpr std::uint64_t kMaxSceneMegabytes = 2048;

class SceneFile {
public:
    explicit SceneFile(std::uint64_t maxMegabytes = kMaxSceneMegabytes) : m_maxMegabytes(maxMegabytes) {}

    // The temporary file beside `path`; false after the message.
    bool open(const std::string& path);
    // Formatted text, as vfprintf takes it; nothing once stopped.
    void emit(const char* format, va_list args);
    // The bound was reached or a write failed: the file will not be kept.
    bool stopped() const { return m_stopped; }
    std::uint64_t written() const { return m_written; }
    // Puts the file under its name; false after the message (why the file
    // stopped, or why it cannot be put there), the name as it was and no
    // temporary file left.
    bool commit();
    // Drops the file: the name stays as it was.
    void discard() { m_file.discard(); }

private:
    void stop(const std::string& why);

    host::ReplacingFile m_file;
    std::string m_path, m_why;
    std::uint64_t m_maxMegabytes;
    std::uint64_t m_written = 0;
    bool m_stopped = false;
};

}  // namespace scene
