// Confinement of a started program by the kernel: what it may read and
// where it may write, whatever the program itself honours. Built on the
// file-access rules of Linux (Landlock, 5.13 and later): the rules are
// made in the parent, where a failure can still be said, and put in force
// in the child just before it becomes the program; they then hold for it
// and everything it starts, and cannot be lifted. A kernel without them
// confines nothing, and the caller says so.
#pragma once

#include <string>
#include <vector>

namespace host {

// The version of the kernel's file-access rules; 0 when it has none (or
// they are turned off).
int confinementVersion();

// Rules under which a program may read (and run) what lies below
// `readable` (folders or single files; names that do not exist are passed
// over) and read, write, make and remove only below `writable`. The
// descriptor of the rules, or -1 with `why` in Polish.
int makeConfinement(const std::vector<std::string>& readable, const std::string& writable, std::string& why);

// In the child, after fork and before exec: the rules put in force for
// this process and whatever it runs (it also gives up gaining privileges
// on exec). Only system calls: safe after fork. False when the kernel
// refused; the child must then not run the program.
bool applyConfinement(int rules);

}  // namespace host
