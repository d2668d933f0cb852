#include "platform/GlCheck.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

using GlCheckTest = GlTest;

TEST_F(GlCheckTest, PrintsNothingWithoutPendingError) {
    CaptureStderr();
    checkGlError("quiet");
    EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(GlCheckTest, ReportsProvokedErrorUnderItsLabel) {
    glEnable(0xFFFF); // not a capability: GL_INVALID_ENUM
    CaptureStderr();
    checkGlError("main loop, after scene.update()");
    EXPECT_EQ(GetCapturedStderr(),
              "Error @ main loop, after scene.update():\nGL: enum argument out of range.\n");
}

TEST_F(GlCheckTest, ACheckClearsTheErrorItReported) {
    glEnable(0xFFFF);
    CaptureStderr();
    checkGlError("first");
    checkGlError("second");
    EXPECT_EQ(GetCapturedStderr(), "Error @ first:\nGL: enum argument out of range.\n");
}

TEST(GlErrorReport, KnownCodesHaveTheirMessages) {
    const std::pair<unsigned int, const char*> table[] = {
        {0x0500, "GL: enum argument out of range."},
        {0x0501, "GL: Numeric argument out of range."},
        {0x0502, "GL: Operation illegal in current state."},
        {0x0505, "GL: Not enough memory left to execute command."},
        {0x0506, "GL: Framebuffer object is not complete."},
    };
    for (const auto& [code, message] : table) {
        CaptureStderr();
        reportGlError("", code);
        EXPECT_EQ(GetCapturedStderr(), std::string("Error @ :\n") + message + "\n");
    }
}

TEST(GlErrorReportDeathTest, UnknownCodeEndsTheProcess) {
    EXPECT_EXIT(reportGlError("x", 0x0503), testing::ExitedWithCode(1),
                "Error @ x:\nGL: Unknown error\\.1283\n");
    EXPECT_EXIT(reportGlError("y", 0x9999), testing::ExitedWithCode(1),
                "GL: Unknown error\\.39321\n");
}

} // namespace
