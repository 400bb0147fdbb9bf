#include "tools/sim/config_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

#include "game/game_rules.h"
#include "game/game_state.h"

namespace {

enum class Kind {
    RANGE,     // clamped into [lo, hi]
    CONTROL,   // 0: the arrow keys steer; anything else: the agent
    GHOST_ON,  // 1: the ghost plays; anything else: it is left out
};

struct Key {
    const char* name;
    Kind kind;
    int32_t lo;
    int32_t hi;
    // The value the game's own loader ended with.
    std::function<int32_t(const GameRules&)> effective;
};

const std::vector<Key>& Keys() {
    static const std::vector<Key> keys = {
        {"control", Kind::CONTROL, 0, 0,
         [](const GameRules& r) { return r.keyboardControl ? 0 : 1; }},
        {"red_ghost", Kind::GHOST_ON, 0, 0,
         [](const GameRules& r) { return int32_t{r.ghostEnabled[GHOST_RED]}; }},
        {"green_ghost", Kind::GHOST_ON, 0, 0,
         [](const GameRules& r) { return int32_t{r.ghostEnabled[GHOST_GREEN]}; }},
        {"orange_ghost", Kind::GHOST_ON, 0, 0,
         [](const GameRules& r) { return int32_t{r.ghostEnabled[GHOST_ORANGE]}; }},
        {"turquoise_ghost", Kind::GHOST_ON, 0, 0,
         [](const GameRules& r) { return int32_t{r.ghostEnabled[GHOST_TURQUOISE]}; }},
        {"red_ghost_slow_down_factor", Kind::RANGE, 1, 5,
         [](const GameRules& r) { return r.ghostSlowDown[GHOST_RED]; }},
        {"green_ghost_slow_down_factor", Kind::RANGE, 1, 5,
         [](const GameRules& r) { return r.ghostSlowDown[GHOST_GREEN]; }},
        {"orange_ghost_slow_down_factor", Kind::RANGE, 1, 5,
         [](const GameRules& r) { return r.ghostSlowDown[GHOST_ORANGE]; }},
        {"turquoise_ghost_slow_down_factor", Kind::RANGE, 1, 5,
         [](const GameRules& r) { return r.ghostSlowDown[GHOST_TURQUOISE]; }},
        {"powerpill_slowdown_factor", Kind::RANGE, 1, 5,
         [](const GameRules&) { return powerpill_slowdown_factor; }},
        {"n_moves_blue_ghosts", Kind::RANGE, 100, 1000,
         [](const GameRules&) { return n_moves_blue_ghosts; }},
        {"n_moves_ghost_appears", Kind::RANGE, 50, 500,
         [](const GameRules&) { return n_moves_ghost_appears; }},
        {"length_attack_mode", Kind::RANGE, 100, 10000,
         [](const GameRules&) { return length_attack_mode; }},
        {"length_scatter_mode", Kind::RANGE, 100, 10000,
         [](const GameRules&) { return length_scatter_mode; }},
        {"n_moves_fruit_appears", Kind::RANGE, 50, 1000,
         [](const GameRules& r) { return r.fruitDelay; }},
        {"dot_value", Kind::RANGE, 1, 50, [](const GameRules&) { return dot_value; }},
        {"powerpill_value", Kind::RANGE, 10, 500, [](const GameRules&) { return powerpill_value; }},
        {"ghost_value", Kind::RANGE, 10, 500, [](const GameRules&) { return ghost_value; }},
        {"fruit_value", Kind::RANGE, 10, 500, [](const GameRules&) { return fruit_value; }},
        {"fps", Kind::RANGE, 1, 20, [](const GameRules& r) { return r.fps; }},
    };
    return keys;
}

const Key* FindKey(const std::string& name) {
    for (const Key& key : Keys()) {
        if (name == key.name) {
            return &key;
        }
    }
    return nullptr;
}

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
    if (equals != std::string::npos && FindKey(word.substr(0, equals)) != nullptr) {
        return "; key and value are separated by white space, as in \"" + word.substr(0, equals) +
               " " + word.substr(equals + 1) + "\"";
    }
    if (!word.empty() && word[0] == '#') {
        return "; the file has no comments: every word is a key or a value";
    }
    const Key* best = nullptr;
    size_t bestDistance = 3;
    for (const Key& key : Keys()) {
        const size_t d = EditDistance(word, key.name);
        if (d < bestDistance) {
            bestDistance = d;
            best = &key;
        }
    }
    return best != nullptr ? std::string("; did you mean \"") + best->name + "\"?" : "";
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
    if (FindKey(text.substr(at, stopEnd - at)) == nullptr) {
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
        if (FindKey(key) == nullptr) {
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

}  // namespace

int CheckConfig(const std::string& path, std::ostream& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out << path << ": cannot be read; the game would play with every default\n";
        return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    auto lineAt = [&](std::streamoff at) {
        return 1 + std::count(text.begin(),
                              text.begin() + std::min<std::streamoff>(at, text.size()), '\n');
    };
    auto wordAt = [&](std::streamoff at) {
        size_t end = static_cast<size_t>(at);
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        return text.substr(static_cast<size_t>(at), end - static_cast<size_t>(at));
    };

    // The loader's own reading: a word, then a 32-bit whole number, until either fails.
    std::istringstream in(text);
    std::vector<std::string> warnings;
    std::map<std::string, long> firstLine;
    std::string key;
    int32_t v = 0;
    while (true) {
        in >> std::ws;
        const std::streamoff keyAt = in.tellg();
        if (!(in >> key)) {
            break;
        }
        const std::string where = "line " + std::to_string(lineAt(keyAt)) + ": ";
        in >> std::ws;
        const std::streamoff valueAt = in.eof() ? static_cast<std::streamoff>(text.size())
                                                : static_cast<std::streamoff>(in.tellg());
        if (!(in >> v)) {
            const std::string word = wordAt(valueAt);
            warnings.push_back(
                where + "\"" + key + "\" is followed by " +
                (word.empty() ? std::string("the end of the file")
                              : "\"" + word + "\", not a whole number") +
                (word.empty() || word.find_first_not_of("+-0123456789") != std::string::npos
                     ? ""
                     : " that fits in 32 bits") +
                "; reading stops here: \"" + key + "\" and everything after it are not read" +
                (FindKey(key) == nullptr ? UnknownKeyHint(key) : ""));
            NoteUnread(text, static_cast<size_t>(valueAt), lineAt(valueAt), &warnings);
            break;
        }
        const Key* known = FindKey(key);
        if (known == nullptr) {
            warnings.push_back(where + "\"" + key + "\" is not a setting; its value " +
                               std::to_string(v) + " is ignored" + UnknownKeyHint(key));
            continue;
        }
        if (v < 0) {
            warnings.push_back(where + "\"" + key + " " + std::to_string(v) +
                               "\": a negative value is skipped; the setting keeps its value");
            continue;
        }
        const auto [seen, first] = firstLine.emplace(key, lineAt(keyAt));
        if (!first) {
            warnings.push_back(where + "\"" + key + "\" was given before, on line " +
                               std::to_string(seen->second) + "; the last value holds");
        }
        if (known->kind == Kind::RANGE && (v < known->lo || v > known->hi)) {
            warnings.push_back(where + "\"" + key + " " + std::to_string(v) + "\" is outside " +
                               std::to_string(known->lo) + " to " + std::to_string(known->hi) +
                               "; clamped to " +
                               std::to_string(std::clamp(v, known->lo, known->hi)));
        } else if (known->kind == Kind::GHOST_ON && v != 1 && v != 0) {
            warnings.push_back(where + "\"" + key + " " + std::to_string(v) +
                               "\": only 1 lets the ghost play; this leaves it out");
        }
    }

    // The values come from the game's own loader, so they are what the game plays with.
    ResetGameState();
    GameRules rules;
    rules.LoadConfigFrom(path.c_str());
    out << "settings read from " << path << "\n";
    for (const Key& k : Keys()) {
        const int32_t value = k.effective(rules);
        out << "  " << k.name << std::string(34 - std::string(k.name).size(), ' ') << value;
        if (k.kind == Kind::CONTROL) {
            out << (value == 0 ? "  (the arrow keys steer)" : "  (the agent steers)");
        } else if (k.kind == Kind::GHOST_ON) {
            out << (value == 1 ? "  (plays)" : "  (left out)");
        }
        out << (firstLine.count(k.name) ? "" : "  default") << "\n";
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
