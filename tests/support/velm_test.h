// The module test fixture: a fresh host per test (start-up wiring, a new
// editor session with one new drawing, empty transcript), optionally with
// the module started by calling its entry point as the loader would (1,
// then 3 for the drawing; 4 and 2 at the end), and helpers to feed input,
// run commands and read the transcript and the drawing.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbid.h"

class ZcDbDatabase;

extern "C" int zcrxEntryPoint(int msg, void* appId);

class VelmTest : public ::testing::Test {
protected:
    using EntryPoint = int (*)(int, void*);

    void SetUp() override;
    void TearDown() override;

    // Starts the module through its entry point (the module library must be
    // linked: module tests link it). LISP calls then reach it with code 5.
    void loadModule(EntryPoint entry = &zcrxEntryPoint) { startModule(entry); }
    bool moduleLoaded() const { return m_entry != nullptr; }

    // Input: each line one answer, as a script line.
    static void push(std::initializer_list<std::string> lines);
    static void push(const std::string& line);
    // Pushes the lines and runs the command processor until the queue is
    // empty; returns its status (RTNORM, RTERROR, RTCAN).
    static int run(std::initializer_list<std::string> lines);

    static const std::string& transcript();
    static const std::string& lastMessage();
    static ZcDbDatabase* db();
    static std::vector<ZcDbObjectId> modelSpace();
    // Model-space entities matching "0=LINE 8=MURI" (see !expect count).
    static int count(const std::string& filter);

private:
    void startModule(EntryPoint entry);
    EntryPoint m_entry = nullptr;
};
