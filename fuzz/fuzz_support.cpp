#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/ads/transcript.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "host/win/files.h"

namespace fuzz {

namespace {

std::string g_folder;

void RemoveFolder() {
    std::error_code ec;
    if (!g_folder.empty()) std::filesystem::remove_all(g_folder, ec);
}

}  // namespace

void StartHost() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velm_fuzz_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    g_folder = pattern + "/";
    std::atexit(RemoveFolder);
    host::resetAll();
    host::startHost({});
    host::resetEditorSession();
    const std::string folder = g_folder;
    host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    // VELM_FUZZ_ECHO=1: the command line on stdout, to see why an input stops.
    if (const char* echo = std::getenv("VELM_FUZZ_ECHO"); echo && *echo == '1')
        host::transcript().setEcho(true);
}

const std::string& SupportFolder() {
    return g_folder;
}

std::string WriteSupportFile(const std::string& name, std::string_view bytes) {
    std::string path = g_folder + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

bool NextInput(int period) {
    static int count = 0;
    host::transcript().clear();
    // Each input is a command of its own: what the last one read is not
    // what this one's writes compare with.
    host::forgetFilesAsRead();
    zcui::ResetUi();
    if (count++ == 0) return true;
    if (count % period != 0) return false;
    host::resetEditorSession();
    return true;
}

std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string_view> SplitFiles(std::string_view text, std::size_t maxFiles) {
    std::vector<std::string_view> files;
    std::size_t start = 0, pos = 0;
    while (files.size() + 1 < maxFiles && pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string_view line =
            text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == kFileSeparator) {
            files.push_back(text.substr(start, pos - start));
            start = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    files.push_back(text.substr(start));
    return files;
}

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "%s\n", what);
    __builtin_trap();
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    host::readWholeFile(path, bytes);
    return bytes;
}

}  // namespace fuzz
