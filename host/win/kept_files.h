// Values worked out from a file's contents (a parsed catalogue, a decoded
// picture, a folder's listing), kept so that commands that read the same
// support file for every object they make read and parse it once.
//
// A kept value serves while its file (or folder) has the stamp it had when
// read: its size, its modification and change times to the nanosecond, its
// device and file number. A file rewritten, replaced by another or removed
// has another stamp, or none. While a command runs, a path's stamp is taken
// once per command round (keptCommandRound): what another program changes
// meanwhile is seen by the next command, as where a name was found is. Two writes within one tick of the file
// system's clock can leave the same times, so a value read from a file last
// modified less than two seconds before is kept only while the command
// running runs (and not at all outside a command); one read from an older
// file is kept across commands. Every value goes when this process writes a
// file (writeWholeFile).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// The value kept for the file under `kind`; null when none serves.
std::shared_ptr<const void> keptFileValue(const std::string& path, std::string_view kind);
// Keeps `value` for the file as it is now (nothing when it cannot be read).
// A value served later stands for a read of the file: a write of that
// command compares with the file as it was then (files.h), and `bytes`,
// the file's as the value was worked out of them, let such a write merge
// its changes onto another program's.
void keepFileValue(const std::string& path, std::string_view kind, std::shared_ptr<const void> value,
                   std::optional<std::string_view> bytes = std::nullopt);
// A command starts: values of files too young to vouch for may be kept
// until it ends.
void startCommandKeptFileValues();
// A command ended: the values of files too young to vouch for go.
void forgetCommandKeptFileValues();
// Every kept value goes.
void forgetKeptFileValues();

// What cannot be stamped cheaply (which support folders are there, where a
// name is found on the support path) is kept for one command: it serves
// while this number is what it was. It is 0 outside a command, and changes
// when a command starts or ends and when every kept value goes (a file this
// process writes, moves or removes, a folder it makes).
unsigned long long keptCommandRound();

// Whether a file (not a folder), or a folder, is at the path: as first seen
// in the command round while a command runs, asked every time outside one.
bool fileThisRound(const std::string& path);
bool folderThisRound(const std::string& path);
// What the round has seen of every path is looked at again (the support
// path changed within the round: its folders are searched afresh).
void lookAgainThisRound();

// A folder as first seen in the command round, for what was found by its
// names: two marks are equal while the folder is the same one and no name
// in it was added, removed or renamed (each changes its times). A mark with
// `there` false: no folder at the path. nullopt: the folder changed too
// lately to vouch that a later change gives another mark.
struct FolderMark {
    bool there = false;
    long long modified = 0, changed = 0;  // nanoseconds
    unsigned long long device = 0, number = 0;
    bool operator==(const FolderMark&) const = default;
};
std::optional<FolderMark> folderMarkThisRound(const std::string& path);

}  // namespace host
