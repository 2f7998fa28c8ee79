// One application object for the whole test binary, on the offscreen platform.
#include <gtest/gtest.h>

#include <memory>

#include "widgets/GuardedApplication.h"

namespace {

class QtEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<zl::widgets::GuardedApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[13] = "test_widgets";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<zl::widgets::GuardedApplication> app_;
};

testing::Environment* const environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
