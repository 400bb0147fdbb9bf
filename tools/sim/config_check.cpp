// The settings check: the game's own reading of a settings file, with a warning for each
// thing in it the game passes over silently.
#include "tools/sim/config_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <sstream>
#include <vector>

#include "game/game_rules.h"
#include "game/settings.h"

namespace gulper {

namespace {

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

// Why an unknown word is not a key, with the likely intended one when there is one.
std::string UnknownKeyHint(const std::string& word) {
    const size_t equals = word.find('=');
    if (equals != std::string::npos && FindSetting(word.substr(0, equals)) != nullptr) {
        return "; key and value are separated by white space, as in \"" + word.substr(0, equals) +
               " " + word.substr(equals + 1) + "\"";
    }
    if (!word.empty() && word[0] == '#') {
        return "; the file has no comments: every word is a key or a value";
    }
    const Setting* best = nullptr;
    size_t bestDistance = 3;
    for (const Setting& setting : SettingsTable()) {
        const size_t d = EditDistance(word, setting.key);
        if (d < bestDistance) {
            bestDistance = d;
            best = &setting;
        }
    }
    return best != nullptr ? std::string("; did you mean \"") + best->key + "\"?" : "";
}

// What would go wrong in the rest of the file, unread since reading stopped at `at`, so that
// one check finds every problem: the rest read as pairs of a key and a value, line by line.
// The word that stopped the reading starts the rest when it is a key, else it is passed over.
void NoteUnread(const std::string& text, size_t at, long line, std::vector<std::string>* warnings) {
    auto wordEnd = [&](size_t from) {
        while (from < text.size() && !std::isspace(static_cast<unsigned char>(text[from]))) {
            ++from;
        }
        return from;
    };
    const size_t stopEnd = wordEnd(at);
    if (FindSetting(text.substr(at, stopEnd - at)) == nullptr) {
        at = stopEnd;
    }
    std::vector<std::pair<std::string, long>> words;
    for (size_t i = at; i < text.size();) {
        if (text[i] == '\n') {
            ++line;
        }
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        const size_t end = wordEnd(i);
        words.emplace_back(text.substr(i, end - i), line);
        i = end;
    }
    for (size_t i = 0; i < words.size(); i += 2) {
        const auto& [key, keyLine] = words[i];
        if (FindSetting(key) == nullptr) {
            warnings->push_back("line " + std::to_string(keyLine) + " (not read): \"" + key +
                                "\" is not a setting" + UnknownKeyHint(key));
        }
        if (i + 1 < words.size()) {
            std::istringstream number(words[i + 1].first);
            int32_t v = 0;
            if (!(number >> v) || number.peek() != EOF) {
                warnings->push_back("line " + std::to_string(words[i + 1].second) +
                                    " (not read): \"" + words[i + 1].first +
                                    "\" is not a whole number");
            }
        }
    }
}

// Turns what the game's reading meets into warnings, each with its line.
class Explainer : public SettingsObserver {
  public:
    explicit Explainer(const std::string& text) : text(text) {}

    void Applied(const Setting& setting, int32_t v, std::streamoff keyAt) override {
        const std::string where = Where(keyAt), key = setting.key;
        const auto [seen, first] = firstLine.emplace(key, LineAt(keyAt));
        if (!first) {
            warnings.push_back(where + "\"" + key + "\" was given before, on line " +
                               std::to_string(seen->second) + "; the last value holds");
        }
        if (setting.read == SettingRead::CLAMP && (v < setting.lo || v > setting.hi)) {
            warnings.push_back(where + "\"" + key + " " + std::to_string(v) + "\" is outside " +
                               std::to_string(setting.lo) + " to " + std::to_string(setting.hi) +
                               "; clamped to " +
                               std::to_string(std::clamp(v, setting.lo, setting.hi)));
        } else if (setting.read == SettingRead::IS_ONE && v != 1 && v != 0) {
            warnings.push_back(where + "\"" + key + " " + std::to_string(v) +
                               "\": only 1 lets the ghost play; this leaves it out");
        }
    }
    void NegativeSkipped(const Setting& setting, int32_t v, std::streamoff keyAt) override {
        warnings.push_back(Where(keyAt) + "\"" + setting.key + " " + std::to_string(v) +
                           "\": a negative value is skipped; the setting keeps its value");
    }
    void UnknownKey(const std::string& key, int32_t v, std::streamoff keyAt) override {
        warnings.push_back(Where(keyAt) + "\"" + key + "\" is not a setting; its value " +
                           std::to_string(v) + " is ignored" + UnknownKeyHint(key));
    }
    void Stopped(const std::string& key, std::streamoff keyAt, std::streamoff valueAt) override {
        if (valueAt < 0) {
            valueAt = static_cast<std::streamoff>(text.size());
        }
        const std::string word = WordAt(static_cast<size_t>(valueAt));
        warnings.push_back(
            Where(keyAt) + "\"" + key + "\" is followed by " +
            (word.empty() ? std::string("the end of the file")
                          : "\"" + word + "\", not a whole number") +
            (word.empty() || word.find_first_not_of("+-0123456789") != std::string::npos
                 ? ""
                 : " that fits in 32 bits") +
            "; reading stops here: \"" + key + "\" and everything after it are not read" +
            (FindSetting(key) == nullptr ? UnknownKeyHint(key) : ""));
        NoteUnread(text, static_cast<size_t>(valueAt), LineAt(valueAt), &warnings);
    }

    std::vector<std::string> warnings;
    // The line each setting was first given on.
    std::map<std::string, long> firstLine;

  private:
    long LineAt(std::streamoff at) const {
        return 1 + std::count(text.begin(),
                              text.begin() + std::min<std::streamoff>(at, text.size()), '\n');
    }
    std::string Where(std::streamoff at) const {
        return "line " + std::to_string(LineAt(at)) + ": ";
    }
    std::string WordAt(size_t at) const {
        size_t end = at;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        return text.substr(at, end - at);
    }

    const std::string& text;
};

}  // namespace

int CheckConfig(const std::string& path, std::ostream& out) {
    std::string text, why;
    NamedFileKind kind = NamedFileKind::ORDINARY;
    if (!ReadNamedSettings(path, &text, &why, &kind)) {
        out << "cannot read the settings file " << path << ": it " << why
            << "; the game would play with every default\n";
        return 2;
    }

    // The game's own reading of the same bytes, so the values are what the game plays with.
    GameRules rules;
    ApplyDefaultSettings(rules);
    std::istringstream in(text);
    Explainer explainer(text);
    ReadSettings(in, rules, &explainer);
    const std::vector<std::string>& warnings = explainer.warnings;

    out << "settings read from " << path << "\n";
    if (kind != NamedFileKind::ORDINARY) {
        // Read here once, as the simulator reads it; the game passes over all but a file.
        out << "  (not an ordinary file: the simulator and the viewer read it once; as "
            << SETTINGS_FILE << " the game would pass it over and play with every default)\n";
    }
    for (const Setting& setting : SettingsTable()) {
        const int32_t value = setting.ValueIn(rules);
        const std::string key = setting.key;
        out << "  " << key << std::string(34 - key.size(), ' ') << value;
        if (setting.read == SettingRead::IS_ZERO) {
            out << (value == 0 ? "  (the arrow keys steer)" : "  (the agent steers)");
        } else if (setting.read == SettingRead::IS_ONE) {
            out << (value == 1 ? "  (plays)" : "  (left out)");
        }
        out << (explainer.firstLine.count(key) ? "" : "  default") << "\n";
    }
    out << (warnings.empty() ? "no warnings"
                             : std::to_string(warnings.size()) + " warning" +
                                   (warnings.size() == 1 ? "" : "s") + ":")
        << "\n";
    for (const std::string& w : warnings) {
        out << "  " << w << "\n";
    }
    return 0;
}

}  // namespace gulper
