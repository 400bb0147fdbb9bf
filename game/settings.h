// The settings file: its name, the one table of its keys and the one reading of it, which the
// game's loader and the simulator's settings check share.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "framework/data_file.h"

class GameRules;

// The settings file the game, the simulator and the watcher read from the working directory.
inline constexpr const char SETTINGS_FILE[] = "data//config.txt";
// The most a settings file may hold; a larger one is passed over like a missing one.
inline constexpr uint64_t SETTINGS_MAX_BYTES = 1 << 20;
// How long a settings file named on a command line may stay silent before it is given up.
inline constexpr int SETTINGS_QUIET_MS = 10000;
// A word is kept to this many characters, far more than any key; the rest of it is passed over.
inline constexpr size_t SETTINGS_MAX_WORD = 256;

// How a key's value is taken.
enum class SettingRead {
    CLAMP,    // a number, clamped into [lo, hi]
    IS_ZERO,  // a flag, on for 0 and off for anything else
    IS_ONE,   // a flag, on for 1 and off for anything else
};

// Where a setting's value lives: a flag or a number of the rules or the game state.
struct SettingSlot {
    bool* flag;
    int32_t* number;
};

struct Setting {
    const char* key;
    SettingSlot (*slot)(GameRules& rules);
    // As the file would give it; stored as it is, so it may lie outside the range.
    int32_t defaultValue;
    SettingRead read;
    int32_t lo = 0;
    int32_t hi = 0;

    // Stores a value read from the file: clamped, or as its flag.
    void Apply(GameRules& rules, int32_t value) const;
    // Stores the default.
    void Reset(GameRules& rules) const;
    // The value as a file would give it; a flag that is on gives the value that sets it.
    int32_t ValueIn(GameRules& rules) const;
};

// Every key, in the order the settings check lists them; the order also settles which key its
// did-you-mean offers when two are as close.
const std::vector<Setting>& SettingsTable();
// The key's row, or null when it is not a setting.
const Setting* FindSetting(const std::string& key);

// What the reading meets, for a reader that explains it. Offsets are positions in the stream;
// the game passes no observer and stays silent.
class SettingsObserver {
  public:
    virtual ~SettingsObserver() = default;
    // A known key with a value of 0 or more, now stored.
    virtual void Applied(const Setting&, int32_t /*value*/, std::streamoff /*keyAt*/) {}
    // A known key with a negative value: the setting keeps what it had.
    virtual void NegativeSkipped(const Setting&, int32_t /*value*/, std::streamoff /*keyAt*/) {}
    virtual void UnknownKey(const std::string&, int32_t /*value*/, std::streamoff /*keyAt*/) {}
    // The word after `key` (at valueAt, or -1 at the end of the stream) is not a 32-bit whole
    // number: the key is not applied and reading ends.
    virtual void Stopped(const std::string& /*key*/, std::streamoff /*keyAt*/,
                         std::streamoff /*valueAt*/) {}
};

// Every setting at its default, and the attack and scatter countdowns primed with the default
// phase lengths.
void ApplyDefaultSettings(GameRules& rules);
// Pairs of a key and a whole number, until a value is not a 32-bit whole number; unknown keys
// and negative values are passed over, and a key given twice keeps its last value.
void ReadSettings(std::istream& in, GameRules& rules, SettingsObserver* observer = nullptr);
// The defaults, then the file; false when it is missing or not an ordinary file of at most
// SETTINGS_MAX_BYTES (the defaults stand). Opening it never waits.
bool LoadSettings(const char* fileName, GameRules& rules);
// A settings file named on a command line, which may also be a pipe or /dev/stdin: read once,
// at most SETTINGS_MAX_BYTES, waiting at most SETTINGS_QUIET_MS for each piece.
bool ReadNamedSettings(const std::string& path, std::string* text, std::string* why,
                       NamedFileKind* kind = nullptr);
// The defaults, then a settings file's bytes already in memory.
void LoadSettingsText(const std::string& text, GameRules& rules);
