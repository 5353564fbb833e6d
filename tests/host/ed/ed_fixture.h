// A fresh editor session per test: one empty drawing, empty queue and
// transcript, default system variables.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "host/ads/transcript.h"
#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/harness/harness.h"

class EdSession : public ::testing::Test {
protected:
    void SetUp() override {
        host::resetAll();
        host::resetEditorSession();
    }
    void TearDown() override {
        for (const std::string& left : host::objectsLeftOpen()) ADD_FAILURE() << "object left open: " << left;
        host::resetAll();
    }

    static void feed(std::initializer_list<const char*> lines) {
        for (const char* l : lines) curDoc()->inputQueue().pushLine(l);
    }
    static const std::string& transcript() { return host::transcript().text(); }
    static size_t count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
        return n;
    }
};
