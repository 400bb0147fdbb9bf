// The command-line reading gulper-sim and gulper-watch share.
#include "tools/options.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "episode/levels.h"
#include "episode/shipped_data.h"
#include "formats/output_file.h"
#include "framework/data_file.h"

namespace gulper {

const char* const EXEC_USAGE =
    "  --agent 'exec:COMMAND'\n"
    "                 a program that steers over the line protocol (docs/agent-protocol.md),\n"
    "                 run by /bin/sh -c; one program plays a run of games\n"
    "  --start-ms MS  time for the agent to answer each game's hello (default 10000)\n"
    "  --decision-ms MS\n"
    "                 time for each decision's answer (default 100)\n"
    "  --overage-ms MS\n"
    "                 time over the decision time a game may use in all (default 2000)\n"
    "  --fault-limit N\n"
    "                 late, missing or malformed answers a game tolerates; one more forfeits\n"
    "                 it (default 10)\n"
    "  --agent-stderr pass|drop|DIR\n"
    "                 the agent's standard error: passed on to ours, dropped, or kept in\n"
    "                 DIR/seed-S-AGENT.txt; at most 65536 bytes a game (default pass)\n";

void FailWithUsage(const std::string& program, const std::string& usage,
                   const std::string& message) {
    std::cerr << program << ": " << message << "\n" << usage;
    std::exit(2);
}

void ExitAfterOutput(const std::string& program, int status) {
    std::string error;
    if (!CloseStandardOutput(&error)) {
        std::cerr << program << ": " << error << "\n";
        std::exit(1);
    }
    std::exit(status);
}

OptionReader::OptionReader(std::string program, std::string usage, int argc, char** argv)
    : program(std::move(program)), usage(std::move(usage)), argc(argc), argv(argv) {
    // The simulator and the viewer play and draw the shipped game wherever they are started;
    // a data/ folder in the working folder comes first.
    UseShippedData();
}

bool OptionReader::Next() {
    if (++at >= argc) {
        return false;
    }
    arg = argv[at];
    if (arg == "--help" || arg == "-h") {
        std::cout << usage;
        ExitAfterOutput(program, 0);
    }
    return true;
}

const char* OptionReader::Value() {
    if (at + 1 >= argc) {
        Fail(arg + " needs a value");
    }
    return argv[++at];
}

int64_t OptionReader::Number(const std::string& what, const char* text, int64_t lo,
                             int64_t hi) const {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi) {
        Fail(what + " needs a whole number from " + std::to_string(lo) + " to " +
             std::to_string(hi) + ", not \"" + text + "\"");
    }
    return v;
}

int64_t OptionReader::NumberValue(int64_t lo, int64_t hi) {
    const std::string option = arg;
    return Number(option, Value(), lo, hi);
}

std::string LevelUsage() {
    return "  --level NAME   play a shipped level's settings instead of a settings file: " +
           LevelNames() + " (set " + LEVEL_SET + ")\n";
}

bool OptionReader::GameOption(GameOptions& options) {
    if (arg == "--config" || arg == "--level") {
        const bool level = arg == "--level";
        if (options.configGiven && (level || options.levelGiven)) {
            Fail("--config and --level each name the settings: give one of them, once");
        }
        options.configPath = Value();
        options.configGiven = true;
        options.levelGiven = level;
        if (level) {
            const Level* named = FindLevel(options.configPath);
            if (named == nullptr) {
                Fail("no level named \"" + options.configPath + "\"; the levels are " +
                     LevelNames());
            }
            options.configPath = LevelFile(*named);
        }
    } else if (arg == "--agent") {
        options.agent = Value();
        if (FindAgent(options.agent) == nullptr) {
            Fail("no agent named \"" + options.agent + "\"; the agents are " + AgentNames());
        }
    } else if (arg == "--max-ticks") {
        options.maxTicks = NumberValue(1, INT64_MAX);
    } else if (arg == "--start-ms") {
        options.budgets.startMs = NumberValue(1, 3600000);
    } else if (arg == "--decision-ms") {
        options.budgets.decisionMs = NumberValue(1, 3600000);
    } else if (arg == "--overage-ms") {
        options.budgets.overageMs = NumberValue(0, 3600000);
    } else if (arg == "--fault-limit") {
        options.budgets.faultLimit = NumberValue(0, 1000000);
    } else if (arg == "--agent-stderr") {
        options.budgets.errorTo = Value();
        const std::string& to = options.budgets.errorTo;
        struct stat info;
        if (to != "pass" && to != "drop" &&
            (::stat(to.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
            Fail("--agent-stderr is pass, drop or a folder that exists, not \"" + to + "\"");
        }
    } else {
        return false;
    }
    return true;
}

void OptionReader::Fail(const std::string& message) const {
    FailWithUsage(program, usage, message);
}

void OptionReader::FailUnknown() const {
    Fail("unknown option " + arg);
}

void OptionReader::ReadSettingsFile(GameOptions& options) const {
    const std::string& path = options.configPath;
    std::string why;
    // A level is always its published settings, the copy built in, whatever the folder holds.
    if (options.levelGiven) {
        if (!LevelSettings(*LevelOfFile(path), &options.configText)) {
            Fail("this program was built without the level " + path);
        }
        return;
    }
    if (options.configGiven) {
        if (!ReadNamedSettings(path, &options.configText, &why)) {
            Fail("cannot read the settings file " + path + ": it " + why);
        }
        return;
    }
    // Found, not named: read as the game reads it, passed over unless an ordinary file.
    const bool builtIn = BuiltInFileFor(path.c_str()) != nullptr;
    if (ReadDataFile(path.c_str(), SETTINGS_MAX_BYTES, &options.configText, &why)) {
        if (builtIn) {
            std::cerr << program << ": no " << path << " here, playing the shipped settings built "
                      << "into " << program << "\n";
        }
        return;
    }
    options.configText.clear();
    if (why == DATA_FILE_MISSING) {
        std::cerr << program << ": no " << path << ", playing with the default settings\n";
    } else {
        std::cerr << program << ": " << path << " " << why
                  << "; playing with the default settings\n";
    }
}

}  // namespace gulper
