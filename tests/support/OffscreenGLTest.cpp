#include "OffscreenGL.h"
#include "WindowProvider.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace
{
using SharedWindowTest = OffscreenGLTest;

TEST_F(SharedWindowTest, OffersACurrentCoreContextOfAtLeastFourThree)
{
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    EXPECT_GE(major * 10 + minor, 43);
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_NE(WindowProvider::GetGLContext(0), nullptr);
}

TEST_F(SharedWindowTest, MainWindowIsSixFortyByFourEightyAndHiddenUntilAsked)
{
    EXPECT_EQ(WindowProvider::GetWindowWidth(0), 640);
    EXPECT_EQ(WindowProvider::GetWindowHeight(0), 480);
    EXPECT_FALSE(WindowProvider::IsWindowVisible(0));
}

TEST_F(SharedWindowTest, ClearedPixelsReadBack)
{
    glViewport(0, 0, 640, 480);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SharedWindowTest, WorksInItsOwnCopyOfTheData)
{
    EXPECT_EQ(std::filesystem::current_path().filename(), "support_tests_data");
}
} // namespace
