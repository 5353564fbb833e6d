// The main of every test program: a listener puts the host back to a fresh
// start before each test, so a test that forgets its own reset cannot leave
// state behind for the next one when the program runs as one process.
#include <gtest/gtest.h>

#include "host/harness/harness.h"

namespace {

class FreshHost : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { host::resetAll(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHost);
    return RUN_ALL_TESTS();
}
