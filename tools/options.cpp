// The command-line reading gulper-sim and gulper-watch share.
#include "tools/options.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "tools/output_file.h"

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
    : program(std::move(program)), usage(std::move(usage)), argc(argc), argv(argv) {}

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

void OptionReader::ReadSettingsFile(GameOptions& options) const {
    const std::string& path = options.configPath;
    std::string why;
    if (options.configGiven) {
        if (!ReadNamedSettings(path, &options.configText, &why)) {
            Fail("cannot read the settings file " + path + ": it " + why);
        }
        return;
    }
    // Found, not named: read as the game reads it, passed over unless an ordinary file.
    if (ReadDataFile(path.c_str(), SETTINGS_MAX_BYTES, &options.configText, &why)) {
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
