// Whole programs on the framework, run as child processes: exit codes, failure texts and the
// window demo.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct Outcome {
    std::string output;
    int status = -1000;
};

Outcome RunProgram(const std::string& command) {
    Outcome outcome;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[256];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        outcome.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

const std::string DEMO = std::string("timeout 60 ") + GULPER_GLDEMO;

TEST(ExitCodes, NoApplicationObject) {
    const Outcome outcome = RunProgram(GULPER_CHILD_NO_APP);
    EXPECT_EQ(outcome.output, "No application instance created, exiting.");
    EXPECT_EQ(outcome.status, 255);
}

TEST(ExitCodes, SecondApplicationObject) {
    const Outcome outcome = RunProgram(GULPER_CHILD_TWO_APPS);
    EXPECT_EQ(outcome.output, "Error: more than one application instance defined!\n");
    EXPECT_EQ(outcome.status, 1);
}

TEST(Demo, OpensPrintsAndClosesItself) {
    const Outcome outcome = RunProgram("SDL_VIDEODRIVER=offscreen " + DEMO);
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("frame 0: 380x460"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("\ntext drawn\n"), std::string::npos) << outcome.output;
}

TEST(Demo, InterruptFromConsoleClosesNormally) {
    // Ctrl+C reaches the program as a close of its main window: the normal way out.
    const Outcome outcome = RunProgram(std::string("SDL_VIDEODRIVER=offscreen timeout "
                                                   "--preserve-status -s INT 2 ") +
                                       GULPER_GLDEMO + " --stay");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("\ntext drawn\n"), std::string::npos) << outcome.output;
}

TEST(Faults, NoDisplay) {
    const Outcome outcome = RunProgram("SDL_VIDEODRIVER=no-such-driver " + DEMO);
    EXPECT_EQ(outcome.output, "Failed to create window\nno text drawn\n");
    EXPECT_EQ(outcome.status, 1);
}

TEST(Faults, UnreachableDisplayIsNotPlayedOffscreen) {
    // SDL would fall back to its offscreen driver, and the window would never be seen.
    const Outcome outcome = RunProgram(
        "env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:9999 XDG_RUNTIME_DIR=/nonexistent " +
        DEMO);
    EXPECT_EQ(outcome.output, "Failed to create window\nno text drawn\n");
    EXPECT_EQ(outcome.status, 1);
}

TEST(Faults, GLContextThatCannotBeMade) {
    // Mesa then offers less than the OpenGL 2.1 the framework asks for.
    const Outcome outcome =
        RunProgram("SDL_VIDEODRIVER=offscreen MESA_GL_VERSION_OVERRIDE=2.0 " + DEMO);
    EXPECT_EQ(outcome.output, "Failed to create GL context\nno text drawn\n");
    EXPECT_EQ(outcome.status, 1);
}

TEST(Faults, NoFontFound) {
    const std::string config = testing::TempDir() + "gulper-demo-no-fonts.conf";
    std::ofstream(config) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    const Outcome outcome =
        RunProgram("SDL_VIDEODRIVER=offscreen FONTCONFIG_FILE=" + config + " " + DEMO);
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("glyphs at 0, 0 text pixels"), std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("\nno text drawn\n"), std::string::npos) << outcome.output;
}

}  // namespace
