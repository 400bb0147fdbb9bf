// The table of the settings file's keys, and the one reading of the file.
#include "game/settings.h"

#include <algorithm>
#include <locale>
#include <sstream>

#include "framework/data_file.h"

#include "game/game_rules.h"
#include "game/game_state.h"

namespace {

SettingSlot Slot(bool& flag) {
    return {&flag, nullptr};
}

SettingSlot Slot(int32_t& number) {
    return {nullptr, &number};
}

// `in >> word`, keeping only the first SETTINGS_MAX_WORD characters of a longer word.
bool ReadWord(std::istream& in, std::string& word) {
    word.clear();
    const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
    std::streambuf* buffer = in.rdbuf();
    int c = buffer->sgetc();
    for (; c != EOF && !ctype.is(std::ctype_base::space, static_cast<char>(c));
         c = buffer->snextc()) {
        if (word.size() < SETTINGS_MAX_WORD) {
            word.push_back(static_cast<char>(c));
        }
    }
    if (c == EOF) {
        in.setstate(std::ios::eofbit);
    }
    if (word.empty()) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}

}  // namespace

const std::vector<Setting>& SettingsTable() {
    using R = GameRules&;
    static const std::vector<Setting> table = {
        {"control", [](R r) { return Slot(r.keyboardControl); }, 0, SettingRead::IS_ZERO},
        {"red_ghost", [](R r) { return Slot(r.ghostEnabled[GHOST_RED]); }, 1, SettingRead::IS_ONE},
        {"green_ghost", [](R r) { return Slot(r.ghostEnabled[GHOST_GREEN]); }, 1,
         SettingRead::IS_ONE},
        {"orange_ghost", [](R r) { return Slot(r.ghostEnabled[GHOST_ORANGE]); }, 1,
         SettingRead::IS_ONE},
        {"turquoise_ghost", [](R r) { return Slot(r.ghostEnabled[GHOST_TURQUOISE]); }, 1,
         SettingRead::IS_ONE},
        {"red_ghost_slow_down_factor", [](R r) { return Slot(r.ghostSlowDown[GHOST_RED]); }, 1,
         SettingRead::CLAMP, 1, 5},
        {"green_ghost_slow_down_factor", [](R r) { return Slot(r.ghostSlowDown[GHOST_GREEN]); }, 1,
         SettingRead::CLAMP, 1, 5},
        {"orange_ghost_slow_down_factor", [](R r) { return Slot(r.ghostSlowDown[GHOST_ORANGE]); },
         1, SettingRead::CLAMP, 1, 5},
        {"turquoise_ghost_slow_down_factor",
         [](R r) { return Slot(r.ghostSlowDown[GHOST_TURQUOISE]); }, 1, SettingRead::CLAMP, 1, 5},
        {"powerpill_slowdown_factor", [](R) { return Slot(powerpill_slowdown_factor); }, 2,
         SettingRead::CLAMP, 1, 5},
        {"n_moves_blue_ghosts", [](R) { return Slot(n_moves_blue_ghosts); }, 25, SettingRead::CLAMP,
         100, 1000},
        {"n_moves_ghost_appears", [](R) { return Slot(n_moves_ghost_appears); }, 10,
         SettingRead::CLAMP, 50, 500},
        {"length_attack_mode", [](R) { return Slot(length_attack_mode); }, 1500, SettingRead::CLAMP,
         100, 10000},
        {"length_scatter_mode", [](R) { return Slot(length_scatter_mode); }, 250,
         SettingRead::CLAMP, 100, 10000},
        {"n_moves_fruit_appears", [](R r) { return Slot(r.fruitDelay); }, 100, SettingRead::CLAMP,
         50, 1000},
        {"dot_value", [](R) { return Slot(dot_value); }, 10, SettingRead::CLAMP, 1, 50},
        {"powerpill_value", [](R) { return Slot(powerpill_value); }, 100, SettingRead::CLAMP, 10,
         500},
        {"ghost_value", [](R) { return Slot(ghost_value); }, 250, SettingRead::CLAMP, 10, 500},
        {"fruit_value", [](R) { return Slot(fruit_value); }, 100, SettingRead::CLAMP, 10, 500},
        {"fps", [](R r) { return Slot(r.fps); }, 5, SettingRead::CLAMP, 1, 20},
    };
    return table;
}

const Setting* FindSetting(const std::string& key) {
    for (const Setting& setting : SettingsTable()) {
        if (key == setting.key) {
            return &setting;
        }
    }
    return nullptr;
}

void Setting::Reset(GameRules& rules) const {
    const SettingSlot at = slot(rules);
    if (read == SettingRead::CLAMP) {
        *at.number = defaultValue;
    } else {
        *at.flag = defaultValue == (read == SettingRead::IS_ONE ? 1 : 0);
    }
}

void Setting::Apply(GameRules& rules, int32_t value) const {
    const SettingSlot at = slot(rules);
    if (read == SettingRead::CLAMP) {
        *at.number = std::clamp(value, lo, hi);
    } else {
        *at.flag = value == (read == SettingRead::IS_ONE ? 1 : 0);
    }
}

int32_t Setting::ValueIn(GameRules& rules) const {
    const SettingSlot at = slot(rules);
    if (read == SettingRead::CLAMP) {
        return *at.number;
    }
    const int32_t on = read == SettingRead::IS_ONE ? 1 : 0;
    return *at.flag ? on : 1 - on;
}

void ApplyDefaultSettings(GameRules& rules) {
    for (const Setting& setting : SettingsTable()) {
        setting.Reset(rules);
    }
    scatterCountdown = length_scatter_mode;
    attackCountdown = length_attack_mode;
}

void ReadSettings(std::istream& in, GameRules& rules, SettingsObserver* observer) {
    SettingsObserver silent;
    SettingsObserver& report = observer != nullptr ? *observer : silent;
    std::string key;
    int32_t value = 0;
    while (true) {
        in >> std::ws;
        const std::streamoff keyAt = in.tellg();
        if (!in || !ReadWord(in, key)) {
            return;
        }
        in >> std::ws;
        // The number is taken digit by digit, never copied, so its length needs no bound.
        const std::streamoff valueAt = in.eof() ? -1 : static_cast<std::streamoff>(in.tellg());
        if (!(in >> value)) {
            report.Stopped(key, keyAt, valueAt);
            return;
        }
        const Setting* setting = FindSetting(key);
        if (setting == nullptr) {
            report.UnknownKey(key, value, keyAt);
        } else if (value < 0) {
            report.NegativeSkipped(*setting, value, keyAt);
        } else {
            setting->Apply(rules, value);
            report.Applied(*setting, value, keyAt);
        }
    }
}

bool LoadSettings(const char* fileName, GameRules& rules) {
    std::string text;
    if (!ReadDataFile(fileName, SETTINGS_MAX_BYTES, &text)) {
        ApplyDefaultSettings(rules);
        return false;
    }
    LoadSettingsText(text, rules);
    return true;
}

bool ReadNamedSettings(const std::string& path, std::string* text, std::string* why,
                       NamedFileKind* kind) {
    return ReadNamedFile(path.c_str(), SETTINGS_MAX_BYTES, SETTINGS_QUIET_MS, text, why, kind);
}

namespace {
// What reading a settings text left in every setting, stored as it lies (a default may lie
// outside its range), so that the same text read again is not parsed again.
struct ReadText {
    std::string text;
    std::vector<int32_t> values;
    bool valid = false;
};

int32_t StoredValue(const Setting& setting, GameRules& rules) {
    const SettingSlot at = setting.slot(rules);
    return at.number != nullptr ? *at.number : static_cast<int32_t>(*at.flag);
}

void Store(const Setting& setting, GameRules& rules, int32_t value) {
    const SettingSlot at = setting.slot(rules);
    if (at.number != nullptr) {
        *at.number = value;
    } else {
        *at.flag = value != 0;
    }
}
}  // namespace

void LoadSettingsText(const std::string& text, GameRules& rules) {
    // A run plays every game from the same text: remember what the last one gave (on each
    // thread that plays).
    thread_local ReadText last;
    const std::vector<Setting>& table = SettingsTable();
    if (last.valid && last.text == text) {
        ApplyDefaultSettings(rules);  // the countdowns, primed as a fresh reading primes them
        for (size_t i = 0; i < table.size(); ++i) {
            Store(table[i], rules, last.values[i]);
        }
        return;
    }
    ApplyDefaultSettings(rules);
    std::istringstream in(text);
    ReadSettings(in, rules);
    last.text = text;
    last.values.clear();
    for (const Setting& setting : table) {
        last.values.push_back(StoredValue(setting, rules));
    }
    last.valid = true;
}
