// gulper-watch: the game of one seed in the game's window, exactly as gulper-sim --replay
// plays and logs it, with the agent's plan drawn over the board.
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "framework/Main.h"
#include "tools/watch/watch_window.h"

namespace {

const char* const USAGE =
    "usage: gulper-watch SEED [--config FILE] [--agent NAME] [--speed S] [--paused]\n"
    "                    [--max-ticks T]\n"
    "  SEED           the game to watch: the one gulper-sim --replay SEED plays\n"
    "  --config FILE  settings file (default data//config.txt); the agent always steers\n"
    "  --agent NAME   the agent that steers (default planner); gulper-sim --agents lists them\n"
    "  --speed S      1/4, 1/2, 1, 2, 4, 8 times the game's pace, or max (default 1)\n"
    "  --paused       open paused\n"
    "  --max-ticks T  stop the game after T ticks, as gulper-sim does (default 100000)\n"
    "keys: space pauses and resumes; right arrow plays one tick while paused; + and - (or up\n"
    "and down, page up and page down) change the speed; R plays the seed again; N the next seed.\n"
    "The agent's log goes to standard output, the watcher's own messages to standard error.\n";

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "gulper-watch: " << message << "\n" << USAGE;
    std::exit(2);
}

int64_t ParseNumber(const std::string& option, const char* text, int64_t lo, int64_t hi) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi) {
        Fail(option + " needs a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ", not \"" + text + "\"");
    }
    return v;
}

int ParseSpeed(const std::string& text) {
    const char* const names[] = {"1/4", "1/2", "1", "2", "4", "8", "max"};
    for (int i = 0; i < WatchWindow::SPEED_COUNT; ++i) {
        if (text == names[i]) {
            return i;
        }
    }
    Fail("--speed is one of 1/4, 1/2, 1, 2, 4, 8 or max, not \"" + text + "\"");
}

WatchSettings ParseArguments(int argc, char** argv) {
    WatchSettings s;
    bool seedGiven = false;
    bool configGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << USAGE;
            std::exit(0);
        }
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                Fail(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--config") {
            s.configPath = value();
            configGiven = true;
        } else if (arg == "--agent") {
            s.agent = value();
            if (FindAgent(s.agent) == nullptr) {
                Fail("no agent named \"" + s.agent + "\"; the agents are " + AgentNames());
            }
        } else if (arg == "--speed") {
            s.speedLevel = ParseSpeed(value());
        } else if (arg == "--paused") {
            s.paused = true;
        } else if (arg == "--max-ticks") {
            s.maxTicks = ParseNumber(arg, value(), 1, INT64_MAX);
        } else if (!arg.empty() && arg[0] == '-') {
            Fail("unknown option " + arg);
        } else if (seedGiven) {
            Fail("one seed only, not also \"" + arg + "\"");
        } else {
            s.seed = static_cast<uint32_t>(ParseNumber("SEED", arg.c_str(), 0, UINT32_MAX));
            seedGiven = true;
        }
    }
    if (!seedGiven) {
        Fail("which seed? gulper-sim finds the interesting ones (--csv, --json)");
    }
    if (!std::ifstream(s.configPath)) {
        if (configGiven) {
            Fail("cannot read the settings file " + s.configPath);
        }
        std::cerr << "gulper-watch: no " << s.configPath << ", playing with the default settings\n";
    }
    return s;
}

class WatchApp : public GLApp {
  public:
    void OnInit() override {
        GLAppRegistry* registry = GLAppRegistry::Instance();
        window.Configure(ParseArguments(registry->argc, registry->argv));
    }
    WatchWindow window;
};

WatchApp watchApp;

}  // namespace
