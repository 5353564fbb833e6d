#include "host/util/notes.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace host {

namespace {

struct Waiting {
    std::mutex lock;
    std::vector<std::string> notes;
};

Waiting& waiting() {
    static Waiting w;
    return w;
}

}  // namespace

void noteForCommandLine(std::string text) {
    Waiting& w = waiting();
    const std::lock_guard<std::mutex> hold(w.lock);
    if (std::find(w.notes.begin(), w.notes.end(), text) == w.notes.end()) w.notes.push_back(std::move(text));
}

std::vector<std::string> takeNotesForCommandLine() {
    Waiting& w = waiting();
    const std::lock_guard<std::mutex> hold(w.lock);
    return std::exchange(w.notes, {});
}

}  // namespace host
