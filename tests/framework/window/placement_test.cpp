// Where windows go and what they look like: whole on the display however the program sizes them,
// full screen without a frame, late size reports passed over, and text at the asked height.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>

#include "tests/framework/window/support.h"

using test::DrainMessages;
using test::RecordingWindow;

namespace {

using Sizes = std::vector<std::pair<int, int>>;

struct Display {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

Display TheDisplay() {
    Display display;
    EXPECT_TRUE(platform::GetDisplaySize(&display.width, &display.height));
    return display;
}

TEST(GLWindowPlacement, PlatformPlacedWindowStaysCentredAndWholeWhateverSizeTheProgramSets) {
    struct Case {
        int width, height;
    };
    const Case cases[] = {{320, 240}, {380, 460}, {100, 700}, {5000, 4000}};
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());  // 320 x 240, placed by the platform
    const Display display = TheDisplay();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        window.SetSize(c.width, c.height);
        DrainMessages();
        platform::Rect rect;
        ASSERT_TRUE(platform::GetWindowRect(window.extra->window, &rect));
        EXPECT_EQ(rect.right - rect.left, c.width);
        EXPECT_EQ(rect.bottom - rect.top, c.height);
        EXPECT_EQ(rect.left, std::max((display.width - c.width) / 2, 0));
        EXPECT_EQ(rect.top, std::max((display.height - c.height) / 2, 0));
    }
}

TEST(GLWindowPlacement, PositionTheProgramAskedForIsKeptWhenSized) {
    RecordingWindow window;
    window.extra->x = 5;
    window.extra->y = 7;
    ASSERT_TRUE(window.extra->Create());
    window.SetSize(380, 460);
    platform::Rect rect;
    ASSERT_TRUE(platform::GetWindowRect(window.extra->window, &rect));
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 7);
}

TEST(GLWindowPlacement, FullScreenIsAFramelessFixedWindowOverTheDisplayFramedOtherwise) {
    const Display display = TheDisplay();
    for (bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "framed");
        RecordingWindow window;
        window.extra->fullScreen = fullScreen;
        ASSERT_TRUE(window.extra->Create());
        DrainMessages();
        bool resizable = false;
        const std::uint32_t style = platform::WindowStyleOf(window.extra->window, &resizable);
        EXPECT_EQ(style, fullScreen ? platform::WS_POPUP : platform::WS_OVERLAPPEDWINDOW);
        EXPECT_EQ(resizable, !fullScreen);
        if (fullScreen) {
            platform::Rect rect;
            ASSERT_TRUE(platform::GetWindowRect(window.extra->window, &rect));
            EXPECT_EQ(rect.left, 0);
            EXPECT_EQ(rect.top, 0);
            EXPECT_EQ(rect.right, display.width);
            EXPECT_EQ(rect.bottom, display.height);
            EXPECT_EQ(window.resizes, (Sizes{{display.width, display.height}}));
        }
    }
}

TEST(GLWindowPlacement, LateSizeReportIsPassedOverAndAUserResizeReachesOnResize) {
    RecordingWindow window;
    ASSERT_TRUE(window.extra->Create());
    DrainMessages();
    window.SetSize(380, 460);
    // The window manager's answer to the size the window was made with, arriving late.
    ASSERT_TRUE(platform::InjectSizeReport(window.extra->window, 320, 240));
    DrainMessages();
    ASSERT_TRUE(platform::InjectUserResize(window.extra->window, 500, 400));
    DrainMessages();
    EXPECT_EQ(window.resizes, (Sizes{{320, 240}, {380, 460}, {500, 400}}));
    EXPECT_EQ(window.GetWidth(), 500);
    EXPECT_EQ(window.GetHeight(), 400);
}

// The width the glyphs of `text` advance the raster position by, in a window whose font is
// `height` pixels of `face`.
float AdvanceWithFont(int height, const char* face, const char* text) {
    RecordingWindow window;
    window.extra->fontHeight = height;
    window.extra->fontName = face;
    EXPECT_TRUE(window.extra->Create());
    DrainMessages();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glRasterPos2d(0, 100);
    EXPECT_NE(window.Printf("%s", text), 0);
    GLfloat position[4] = {};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    return position[0];
}

TEST(GLWindowFont, HeightIsHonouredWithTheDefaultFaceAndANamedOne) {
    const float system = AdvanceWithFont(0, "", "MMMMMMMMMM");
    const float small = AdvanceWithFont(8, "", "MMMMMMMMMM");
    const float large = AdvanceWithFont(26, "", "MMMMMMMMMM");
    const float named = AdvanceWithFont(26, "DejaVu Sans Mono", "MMMMMMMMMM");
    ASSERT_GT(system, 0.0f);
    EXPECT_LT(small, system * 0.8f);
    EXPECT_GT(large, system * 1.6f);
    // A monospaced face of the same height has narrower capitals than the proportional one.
    EXPECT_GT(named, 0.0f);
    EXPECT_NE(named, large);
}

}  // namespace
