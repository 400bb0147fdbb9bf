// Seeded headless games over many settings files, replayed against a record of how each one
// went: any change to the rules, the ghosts, the agents or the settings reader that changes a
// game fails here, naming the game, its settings and the fields that moved.
//
// The record is tests/tools/behaviour_corpus.txt. When a change of behaviour is meant, rewrite
// it and commit it with the change:
//
//     GULPER_REWRITE_CORPUS=1 build/tests/tools/behaviour_corpus_tests
//
// which prints every game whose line changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_rules.h"
#include "game/game_state.h"
#include "tests/tools/behaviour_corpus_variants.h"
#include "tools/sim/headless_game.h"

namespace fs = std::filesystem;

namespace {
using namespace corpus;

const char* const ALL_KEYS[] = {"control",
                                "red_ghost",
                                "green_ghost",
                                "orange_ghost",
                                "turquoise_ghost",
                                "red_ghost_slow_down_factor",
                                "green_ghost_slow_down_factor",
                                "orange_ghost_slow_down_factor",
                                "turquoise_ghost_slow_down_factor",
                                "powerpill_slowdown_factor",
                                "n_moves_blue_ghosts",
                                "n_moves_ghost_appears",
                                "length_attack_mode",
                                "length_scatter_mode",
                                "n_moves_fruit_appears",
                                "dot_value",
                                "powerpill_value",
                                "ghost_value",
                                "fruit_value",
                                "fps"};

// The planner's state banners, in the order the record counts them.
const char* const STATE_BANNERS[] = {"FLEEING STATE", "FEEDING STATE", "HUNTING STATE",
                                     "GOING FOR FRUIT STATE"};

const fs::path CORPUS = GULPER_CORPUS_PATH;

uint64_t Fnv1a(const std::string& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

// The settings text on one line, as the record shows it.
std::string OneLine(const char* text) {
    if (text == NO_FILE || text == SHIPPED) {
        return text;
    }
    std::string joined, row;
    std::istringstream in(text);
    while (std::getline(in, row)) {
        joined += (joined.empty() ? "" : "; ") + row;
    }
    return joined;
}

// What the record holds: settings lines by variant name, game lines by game.
struct Record {
    std::map<std::string, std::string> settings;
    std::map<std::string, std::string> games;
    std::vector<std::string> order;
};

std::string GameKey(const Variant& v, const GameRun& r, uint32_t seed) {
    return std::string(v.name) + " " + r.agent + " seed=" + std::to_string(seed) +
           " max_ticks=" + std::to_string(r.maxTicks);
}

const char* const GAME_FIELDS[] = {
    "score", "ticks", "food", "decisions", "caught", "last", "flee/feed/hunt/fruit", "log"};

// Reads the record; any line it cannot read is a failure, and reading goes on. A missing
// record is a failure unless it is about to be written.
bool ReadRecord(const fs::path& path, Record& record, bool mayBeMissing = false) {
    std::ifstream in(path);
    if (!in && mayBeMissing) {
        return false;
    }
    if (!in) {
        ADD_FAILURE() << "no corpus at " << path
                      << "; write it with GULPER_REWRITE_CORPUS=1 (see the test's source)";
        return false;
    }
    bool good = true;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto bad = [&](const char* why) {
            ADD_FAILURE() << path.filename().string() << " line " << n << ": " << why << ": "
                          << line;
            good = false;
        };
        const size_t bar = line.find(" | ");
        if (bar == std::string::npos) {
            bad("no \" | \" between the game and how it went");
            continue;
        }
        const std::string key = line.substr(0, bar), value = line.substr(bar + 3);
        const std::vector<std::string> k = Words(key), v = Words(value);
        if (k.size() == 2 && k[0] == "settings") {
            if (!record.settings.emplace(k[1], value).second) {
                bad("settings given twice");
            } else {
                record.order.push_back(key);
            }
            continue;
        }
        if (k.size() != 4 || k[2].rfind("seed=", 0) != 0 || k[3].rfind("max_ticks=", 0) != 0) {
            bad("expected \"VARIANT AGENT seed=S max_ticks=T\" before \" | \"");
            continue;
        }
        bool fieldsOk = v.size() == 1 + std::size(GAME_FIELDS) &&
                        (v[0] == "won" || v[0] == "lost" || v[0] == "unfinished");
        for (size_t i = 0; fieldsOk && i < std::size(GAME_FIELDS); ++i) {
            const std::string& w = v[i + 1];
            const size_t eq = w.find('=');
            fieldsOk =
                eq != std::string::npos && w.substr(0, eq) == GAME_FIELDS[i] && eq + 1 < w.size();
        }
        if (!fieldsOk) {
            bad("expected an outcome and score= ticks= food= decisions= caught= last= "
                "flee/feed/hunt/fruit= log=");
            continue;
        }
        if (!record.games.emplace(key, value).second) {
            bad("game given twice");
            continue;
        }
        record.order.push_back(key);
    }
    return good;
}

class BehaviourCorpus : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string ConfigPath(const Variant& v) const {
        if (v.text == NO_FILE) {
            return "";
        }
        if (v.text == SHIPPED) {
            return GULPER_SHIPPED_CONFIG;
        }
        const fs::path p = dir / (std::string(v.name) + ".txt");
        std::ofstream(p) << v.text;
        return p.string();
    }

    // The file's bytes as the simulator passes them to each game; none when there is no file.
    static std::string FileText(const std::string& path) {
        std::string text;
        ReadDataFile(path.c_str(), SETTINGS_MAX_BYTES, &text);
        return text;
    }

    // How the game reads the file for the two settings a headless game leaves unused.
    static std::string ReadSettings(const std::string& path) {
        const bool keys = ConfigAsksForKeyboard(FileText(path));
        ResetGameState();
        GameRules rules;
        rules.LoadConfigFrom(path.c_str());
        return std::string("keyboard=") + (keys ? "1" : "0") + " fps=" + std::to_string(rules.fps);
    }

    static std::string Play(const std::string& path, const GameRun& r, uint32_t seed) {
        SimSettings settings;
        settings.configPath = path;
        settings.configText = FileText(path);
        settings.maxTicks = r.maxTicks;
        settings.agent = r.agent;
        std::ostringstream log;
        const GameResult g = PlayHeadlessGame(settings, seed, &log);
        const std::string text = log.str();
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(text)));
        std::ostringstream line;
        line << OutcomeName(g.outcome) << " score=" << g.score << " ticks=" << g.ticks
             << " food=" << g.foodLeft << " decisions=" << g.decisions << " caught=";
        if (g.outcome == GameOutcome::LOST) {
            line << GhostColourName(g.caughtBy) << "@" << g.caughtAt.x << "," << g.caughtAt.y;
        } else {
            line << "-";
        }
        line << " last=" << (g.lastState.empty() ? "-" : g.lastState) << " flee/feed/hunt/fruit=";
        for (const char* banner : STATE_BANNERS) {
            line << Count(text, banner) << (banner == STATE_BANNERS[3] ? "" : "/");
        }
        line << " log=" << hash;
        return line.str();
    }

    const fs::path dir =
        fs::temp_directory_path() / ("gulper-corpus-" + std::to_string(::getpid()));
};

// The fields of two game lines that differ, named.
std::string Differences(const std::string& expected, const std::string& got) {
    const std::vector<std::string> e = Words(expected), g = Words(got);
    std::string out;
    for (size_t i = 0; i < std::max(e.size(), g.size()); ++i) {
        const std::string a = i < e.size() ? e[i] : "", b = i < g.size() ? g[i] : "";
        if (a != b) {
            out +=
                "\n      " + (a.empty() ? "(nothing)" : a) + " -> " + (b.empty() ? "(nothing)" : b);
        }
    }
    return out;
}

TEST_F(BehaviourCorpus, EveryGamePlaysAsRecorded) {
    const bool rewrite = std::getenv("GULPER_REWRITE_CORPUS") != nullptr;
    Record old;
    const bool readable = ReadRecord(CORPUS, old, rewrite);

    std::vector<std::string> lines;
    std::set<std::string> played;
    int differing = 0;
    std::ostringstream report;
    // `stored` is the record's line for `key`, or null.
    const auto compare = [&](const std::string& key, const std::string* stored,
                             const std::string& got, const std::string& what) {
        lines.push_back(key + " | " + got);
        played.insert(key);
        if (stored != nullptr && *stored == got) {
            return;
        }
        ++differing;
        if (rewrite || differing <= 25) {
            report << "\n  " << key << "  [" << what << "]";
            if (stored == nullptr) {
                report << "\n      not in the record; plays as: " << got;
            } else {
                report << "\n      expected: " << *stored << "\n      got:      " << got
                       << Differences(*stored, got);
            }
        }
    };
    const auto find = [](const std::map<std::string, std::string>& m, const std::string& key) {
        const auto it = m.find(key);
        return it == m.end() ? nullptr : &it->second;
    };

    for (const Variant& v : VARIANTS) {
        const std::string path = ConfigPath(v), text = OneLine(v.text);
        compare(std::string("settings ") + v.name, find(old.settings, v.name),
                ReadSettings(path) + " file: " + text, "how the file reads");
        for (const GameRun& r : v.runs) {
            for (uint32_t seed = r.firstSeed; seed < r.firstSeed + r.games; ++seed) {
                const std::string key = GameKey(v, r, seed);
                compare(key, find(old.games, key), Play(path, r, seed), "settings: " + text);
            }
        }
    }
    for (const std::string& key : old.order) {
        if (played.count(key) == 0) {
            ++differing;
            report << "\n  " << key << ": recorded, but no longer among the games the test plays";
        }
    }

    if (rewrite) {
        std::ofstream out(CORPUS);
        out << "# Seeded headless games and how each went; read and replayed by\n"
               "# tests/tools/behaviour_corpus_test.cpp, which holds the settings texts.\n"
               "# Written by GULPER_REWRITE_CORPUS=1 build/tests/tools/behaviour_corpus_tests\n"
               "# settings VARIANT | keyboard=K fps=F file: TEXT  (the file's lines joined by \"; "
               "\")\n"
               "# VARIANT AGENT seed=S max_ticks=T | OUTCOME score= ticks= food= decisions=\n"
               "#   caught=GHOST@COLUMN,ROW last=STATE flee/feed/hunt/fruit=DECISIONS "
               "log=FNV1A64\n";
        for (const std::string& line : lines) {
            out << line << "\n";
        }
        ASSERT_TRUE(out.good()) << "could not write " << CORPUS;
        std::printf("rewrote %s: %zu lines, %d changed%s\n", CORPUS.c_str(), lines.size(),
                    differing, report.str().c_str());
        return;
    }
    EXPECT_TRUE(readable);
    EXPECT_EQ(differing, 0) << differing << " recorded line(s) no longer hold"
                            << (differing > 25 ? " (the first 25 shown)" : "") << ":"
                            << report.str()
                            << "\nIf the change is meant, rewrite the record: "
                               "GULPER_REWRITE_CORPUS=1 build/tests/tools/behaviour_corpus_tests";
}

// The record still holds what makes it worth replaying: every outcome, every state, every
// ghost catching, both agents, every key.
TEST_F(BehaviourCorpus, CoversEveryOutcomeStateGhostAndKey) {
    Record record;
    ASSERT_TRUE(ReadRecord(CORPUS, record));
    std::set<std::string> seen;
    long states[4] = {0, 0, 0, 0};
    for (const auto& [key, value] : record.games) {
        const std::vector<std::string> k = Words(key), v = Words(value);
        seen.insert(k[1] + " " + v[0]);
        const std::string caught = v[5].substr(7), last = v[6].substr(5);
        seen.insert("caught by " + caught.substr(0, caught.find('@')));
        seen.insert("last " + last);
        std::istringstream counts(v[7].substr(v[7].find('=') + 1));
        char slash;
        long n[4] = {0, 0, 0, 0};
        counts >> n[0] >> slash >> n[1] >> slash >> n[2] >> slash >> n[3];
        for (int i = 0; i < 4; ++i) {
            states[i] += n[i];
        }
    }
    for (const char* want :
         {"planner won", "planner lost", "planner unfinished", "nearest-food lost",
          "nearest-food won", "caught by red", "caught by green", "caught by orange",
          "caught by turquoise", "last fleeing", "last hunting"}) {
        EXPECT_EQ(seen.count(want), 1u) << "no game in the record: " << want;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(states[i], 0) << "no decision in " << STATE_BANNERS[i];
    }
    for (const char* key : ALL_KEYS) {
        int variants = 0;
        for (const Variant& v : VARIANTS) {
            const std::vector<std::string> words = Words(v.text);
            variants += std::find(words.begin(), words.end(), key) != words.end();
        }
        EXPECT_GE(variants, 3) << key << " is set in fewer than three settings files";
    }
}

}  // namespace
