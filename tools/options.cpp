// The command-line reading gulper-sim and gulper-watch share.
#include "tools/options.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <utility>

void FailWithUsage(const std::string& program, const std::string& usage,
                   const std::string& message) {
    std::cerr << program << ": " << message << "\n" << usage;
    std::exit(2);
}

OptionReader::OptionReader(std::string program, std::string usage, int argc, char** argv)
    : program(std::move(program)), usage(std::move(usage)), argc(argc), argv(argv) {}

bool OptionReader::Next() {
    if (++at >= argc) {
        return false;
    }
    arg = argv[at];
    if (arg == "--help" || arg == "-h") {
        std::cout << usage;
        std::exit(0);
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

bool OptionReader::GameOption(GameOptions& options) {
    if (arg == "--config") {
        options.configPath = Value();
        options.configGiven = true;
    } else if (arg == "--agent") {
        options.agent = Value();
        if (FindAgent(options.agent) == nullptr) {
            Fail("no agent named \"" + options.agent + "\"; the agents are " + AgentNames());
        }
    } else if (arg == "--max-ticks") {
        options.maxTicks = NumberValue(1, INT64_MAX);
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

void OptionReader::CheckSettingsFile(const GameOptions& options) const {
    if (std::ifstream(options.configPath)) {
        return;
    }
    if (options.configGiven) {
        Fail("cannot read the settings file " + options.configPath);
    }
    std::cerr << program << ": no " << options.configPath
              << ", playing with the default settings\n";
}
