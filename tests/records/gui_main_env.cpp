// One QApplication for every window test, made before the first test runs.
#include "support/gui_app.h"

#include <gtest/gtest.h>

namespace {
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { kestrova::test::guiApp(); }
};

[[maybe_unused]] ::testing::Environment *const kEnv = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);
} // namespace
