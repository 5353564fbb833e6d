// What the support-file fuzz targets share: the headless host started once
// with one drawing, a private folder (removed at exit) as the only support
// folder, the input's files written there, and the state one input leaves
// behind (transcript, blocks, layers) dropped so that a long run does not
// grow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Starts the host with a new drawing and the private support folder. Call
// once, after the module's classes the target needs are registered.
void StartHost();
// The private support folder, with its trailing separator.
const std::string& SupportFolder();
// Writes `bytes` as the file `name` of the support folder; its path.
std::string WriteSupportFile(const std::string& name, std::string_view bytes);

// Call at the start of each input: the transcript and the dialog and
// message-box records are emptied and, every
// `period` inputs, the drawing is replaced by a new one. True when the
// drawing is new (the first input included).
bool NextInput(int period = 256);

// The input as text.
std::string_view AsText(const std::uint8_t* data, std::size_t size);

// The input cut into at most `maxFiles` files at the lines that are exactly
// kFileSeparator; the rest is left in the last file.
inline constexpr std::string_view kFileSeparator = "@@@@";
std::vector<std::string_view> SplitFiles(std::string_view text, std::size_t maxFiles);

// Stops the run when a property does not hold, saying which.
void Check(bool holds, const char* what);
// The bytes of a file ("" when it cannot be read).
std::string FileBytes(const std::string& path);

}  // namespace fuzz
