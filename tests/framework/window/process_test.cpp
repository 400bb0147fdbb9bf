// Whole programs on the framework, run as child processes: exit codes, failure texts and the
// window demo.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
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

TEST(Demo, DrawsItsTextAndAnInterruptFromConsoleClosesNormally) {
    // Ctrl+C reaches the program as a close of its main window: the normal way out.
    const Outcome outcome = RunProgram(std::string("SDL_VIDEODRIVER=offscreen timeout "
                                                   "--preserve-status -s INT 2 ") +
                                       GULPER_GLDEMO + " --stay");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("frame 0: 380x460"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("\ntext drawn\n"), std::string::npos) << outcome.output;
}

TEST(Faults, EachIsNamedAndEndsTheProgramWithItsCode) {
    const struct {
        std::string command;
        const char* output;
        int status;
    } cases[] = {
        {GULPER_CHILD_NO_APP, "No application instance created, exiting.", 255},
        {GULPER_CHILD_TWO_APPS, "Error: more than one application instance defined!\n", 1},
        // SDL would fall back to its offscreen driver, and the window would never be seen.
        {"env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:9999 XDG_RUNTIME_DIR=/nonexistent " +
             DEMO,
         "Failed to create window\nno text drawn\n", 1},
        // Mesa then offers less than the OpenGL 2.1 the framework asks for.
        {"SDL_VIDEODRIVER=offscreen MESA_GL_VERSION_OVERRIDE=2.0 " + DEMO,
         "Failed to create GL context\nno text drawn\n", 1},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunProgram(c.command);
        EXPECT_EQ(outcome.output, c.output) << c.command;
        EXPECT_EQ(outcome.status, c.status) << c.command;
    }
}

}  // namespace
