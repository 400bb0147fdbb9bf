// gulper-watch: the game of one seed in the game's window, exactly as gulper-sim --replay
// plays and logs it, with the agent's plan drawn over the board.
#include <cstdlib>
#include <iostream>
#include <string>

#include "framework/Main.h"
#include "game/settings.h"
#include "tools/options.h"
#include "tools/watch/watch_window.h"

namespace gulper {

namespace {

const std::string USAGE =
    "usage: gulper-watch SEED [--config FILE | --level NAME] [--agent NAME] [--speed S]\n"
    "                    [--paused] [--max-ticks T]\n"
    "       gulper-watch --replay-file FILE [--speed S] [--paused]\n"
    "  SEED           the game to watch: the one gulper-sim --replay SEED plays\n"
    "  --config FILE  settings file (default " +
    std::string(SETTINGS_FILE) + "); the agent always steers\n" + LevelUsage() +
    "  --agent NAME   the agent that steers (default " + std::string(DEFAULT_AGENT) +
    "); gulper-sim --agents lists them\n"
    "  --speed S      1/4, 1/2, 1, 2, 4, 8 times the game's pace, or max (default 1)\n"
    "  --paused       open paused\n"
    "  --max-ticks T  stop the game after T ticks, as gulper-sim does (default " +
    std::to_string(DEFAULT_MAX_TICKS) +
    ")\n"
    "  --replay-file FILE\n"
    "                 show the game a replay file recorded (gulper-sim --record), with its\n"
    "                 plans when it kept them; the file gives the seed, settings and agent\n"
    "keys: space pauses and resumes; right arrow plays one tick while paused; + and - (or up\n"
    "and down, page up and page down) change the speed; R plays the seed again; N the next seed\n"
    "(not for a replay file).\n"
    "The agent's log goes to standard output, the watcher's own messages to standard error.\n" +
    std::string(EXEC_USAGE);

int ParseSpeed(const OptionReader& in, const std::string& text) {
    const char* const names[] = {"1/4", "1/2", "1", "2", "4", "8", "max"};
    for (int i = 0; i < WatchWindow::SPEED_COUNT; ++i) {
        if (text == names[i]) {
            return i;
        }
    }
    in.Fail("--speed is one of 1/4, 1/2, 1, 2, 4, 8 or max, not \"" + text + "\"");
}

WatchSettings ParseArguments(int argc, char** argv) {
    WatchSettings s;
    GameOptions game;
    bool seedGiven = false, gameGiven = false;
    std::string replayPath;
    OptionReader in("gulper-watch", USAGE, argc, argv);
    while (in.Next()) {
        const std::string& arg = in.Arg();
        if (in.GameOption(game)) {
            gameGiven = true;
            continue;
        }
        if (arg == "--replay-file") {
            replayPath = in.Value();
        } else if (arg == "--speed") {
            s.speedLevel = ParseSpeed(in, in.Value());
        } else if (arg == "--paused") {
            s.paused = true;
        } else if (!arg.empty() && arg[0] == '-') {
            in.FailUnknown();
        } else if (seedGiven) {
            in.Fail("one seed only, not also \"" + arg + "\"");
        } else {
            s.seed = static_cast<uint32_t>(in.Number("SEED", arg.c_str(), 0, UINT32_MAX));
            seedGiven = true;
        }
    }
    if (!replayPath.empty()) {
        if (seedGiven || gameGiven) {
            in.Fail("a replay file gives the seed, settings, agent and tick limit itself");
        }
        auto replay = std::make_shared<ReplayFile>();
        std::string error;
        if (!ReadReplayFile(replayPath, replay.get(), &error)) {
            std::cerr << "gulper-watch: " << error << "\n";
            std::exit(2);
        }
        s.replay = std::move(replay);
        return s;
    }
    if (!seedGiven) {
        in.Fail("which seed? gulper-sim finds the interesting ones (--csv, --json)");
    }
    in.ReadSettingsFile(game);
    static_cast<GameSettings&>(s) = game;
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

}  // namespace gulper
