// Forked programs made to do their work at one moment: each child arrives
// (says it is ready, having read what it works from) and waits; the parent
// opens the gate once all have arrived. Every round of a test of two
// programs on one file is then the worst order: both have read before
// either writes.
#pragma once

#include <unistd.h>

class StartingGate {
public:
    StartingGate() : made_(::pipe(ready_) == 0 && ::pipe(go_) == 0) {}
    ~StartingGate() {
        for (int fd : {ready_[0], ready_[1], go_[0], go_[1]})
            if (fd >= 0) ::close(fd);
    }
    StartingGate(const StartingGate&) = delete;
    StartingGate& operator=(const StartingGate&) = delete;

    bool made() const { return made_; }
    // In a child: ready, then waits for the parent's word.
    bool arrive() const {
        char byte = 1;
        return ::write(ready_[1], &byte, 1) == 1 && ::read(go_[0], &byte, 1) == 1;
    }
    // In the parent: waits until `children` have arrived, then lets them go.
    bool open(int children) const {
        char byte = 0;
        for (int i = 0; i < children; ++i)
            if (::read(ready_[0], &byte, 1) != 1) return false;
        for (int i = 0; i < children; ++i)
            if (::write(go_[1], "g", 1) != 1) return false;
        return true;
    }

private:
    int ready_[2] = {-1, -1}, go_[2] = {-1, -1};
    bool made_;
};
