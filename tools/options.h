// The command line as gulper-sim and gulper-watch read it: one argument at a time, the
// options both take, and the same complaints and exit statuses.
#pragma once

#include <cstdint>
#include <string>

#include "episode/settings.h"
#include "game/settings.h"
#include "players/registry.h"

namespace gulper {

// The options that choose the game both tools play: --config or --level, --agent, --max-ticks.
struct GameOptions : GameSettings {
    bool configGiven = false;
    bool levelGiven = false;
};

// The usage lines of --level, which both tools take.
std::string LevelUsage();
// The usage lines of the options both tools take for an agent in another process.
extern const char* const EXEC_USAGE;

// "PROGRAM: MESSAGE", then the usage, on standard error; exits with status 2.
[[noreturn]] void FailWithUsage(const std::string& program, const std::string& usage,
                                const std::string& message);

// Exits with `status` once standard output is known to be written, else with status 1 and
// "PROGRAM: cannot write to standard output: reason" on standard error.
[[noreturn]] void ExitAfterOutput(const std::string& program, int status);

class OptionReader {
  public:
    OptionReader(std::string program, std::string usage, int argc, char** argv);

    // Moves to the next argument; false when there is none. --help and -h print the usage on
    // standard output and exit with status 0.
    bool Next();
    const std::string& Arg() const { return arg; }
    // The current option's value, the argument after it. Taken only by a known option, so an
    // unknown one is named as such even when last.
    const char* Value();
    // `text` as a whole number from lo to hi, or a complaint that names `what`.
    int64_t Number(const std::string& what, const char* text, int64_t lo, int64_t hi) const;
    // The current option's value as a whole number from lo to hi.
    int64_t NumberValue(int64_t lo, int64_t hi);
    // Reads --config, --level (a shipped level's settings file), --agent (which must name a
    // registered agent or exec:COMMAND),
    // --max-ticks or an exec agent's budget into `options`; false when the argument is
    // none of them.
    bool GameOption(GameOptions& options);
    [[noreturn]] void Fail(const std::string& message) const;
    [[noreturn]] void FailUnknown() const;

    // After the options, reads the settings file once into options.configText. One that was
    // asked for must be readable (a pipe is); a default one that is missing or not an ordinary
    // file only means the default settings, which is said on standard error.
    void ReadSettingsFile(GameOptions& options) const;

  private:
    const std::string program;
    const std::string usage;
    const int argc;
    char** const argv;
    int at = 0;
    std::string arg;
};

}  // namespace gulper
