// Loading a drawing sets the module-wide tolerance from the drawing's units,
// and many tests load drawings in centimetres or metres. Each test starts
// from the tolerance the module starts with, as the host is reset before
// each test, so that the toolkit's tests never depend on the test before.
#include <gtest/gtest.h>

#include "core/base/module_state.h"

namespace {

class FreshModuleState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { SetSharedTolerance(0.001); }
};

const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshModuleState);
    return true;
}();

}  // namespace
