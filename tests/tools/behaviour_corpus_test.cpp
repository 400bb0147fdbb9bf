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

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "episode/episode.h"
#include "game/game_rules.h"
#include "game/game_state.h"
#include "game/settings.h"
#include "players/registry.h"
#include "tests/tools/behaviour_corpus_variants.h"

using namespace gulper;

namespace fs = std::filesystem;
using namespace corpus;

namespace {

// The planner's state banners, in the order the record counts them.
const char* const STATE_BANNERS[] = {"FLEEING STATE", "FEEDING STATE", "HUNTING STATE",
                                     "GOING FOR FRUIT STATE"};
const fs::path CORPUS = GULPER_CORPUS_PATH;
const char* const REWRITE = "GULPER_REWRITE_CORPUS=1 build/tests/tools/behaviour_corpus_tests";

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// The settings text on one line, as the record shows it.
std::string OneLine(const char* text) {
    std::string joined, row;
    std::istringstream in(text);
    while (std::getline(in, row)) {
        joined += (joined.empty() ? "" : "; ") + row;
    }
    return joined;
}

// Lines "KEY | HOW IT WENT", by key, in the order read.
using Lines = std::vector<std::pair<std::string, std::string>>;

// The record's lines; a line without its bar is a failure.
Lines ReadRecord() {
    Lines lines;
    std::ifstream in(CORPUS);
    EXPECT_TRUE(in) << "no corpus at " << CORPUS << "; write it with " << REWRITE;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        const size_t bar = line.find(" | ");
        if (!line.empty() && line[0] != '#') {
            EXPECT_NE(bar, std::string::npos) << "line " << n << " has no \" | \": " << line;
            lines.emplace_back(line.substr(0, bar), bar == line.npos ? "" : line.substr(bar + 3));
        }
    }
    return lines;
}

class BehaviourCorpus : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string ConfigPath(const Variant& v) const {
        if (v.text == NO_FILE || v.text == SHIPPED) {
            return v.text == NO_FILE ? "" : GULPER_SHIPPED_CONFIG;
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
        GameSettings settings;
        settings.configPath = path;
        settings.configText = FileText(path);
        settings.maxTicks = r.maxTicks;
        settings.agent = r.agent;
        std::ostringstream log;
        const GameResult g = PlayHeadlessGame(settings, seed, &log);
        const std::string text = log.str();
        uint64_t hash = 14695981039346656037ull;  // FNV-1a
        for (unsigned char c : text) {
            hash = (hash ^ c) * 1099511628211ull;
        }
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
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        line << " log=" << hex;
        return line.str();
    }

    // Every variant's settings line and games, as they play now.
    Lines PlayAll() const {
        Lines lines;
        for (const Variant& v : VARIANTS) {
            const std::string path = ConfigPath(v);
            const std::string text =
                v.text == NO_FILE || v.text == SHIPPED ? v.text : OneLine(v.text);
            lines.emplace_back(std::string("settings ") + v.name,
                               ReadSettings(path) + " file: " + text);
            for (const GameRun& r : v.runs) {
                for (uint32_t seed = r.firstSeed; seed < r.firstSeed + r.games; ++seed) {
                    lines.emplace_back(std::string(v.name) + " " + r.agent +
                                           " seed=" + std::to_string(seed) +
                                           " max_ticks=" + std::to_string(r.maxTicks),
                                       Play(path, r, seed));
                }
            }
        }
        return lines;
    }

    const fs::path dir =
        fs::temp_directory_path() / ("gulper-corpus-" + std::to_string(::getpid()));
};

TEST_F(BehaviourCorpus, EveryGamePlaysAsRecorded) {
    const Lines now = PlayAll();
    std::map<std::string, std::string> recorded;
    for (const auto& [key, value] : ReadRecord()) {
        EXPECT_TRUE(recorded.emplace(key, value).second) << "recorded twice: " << key;
    }
    std::vector<std::string> changes;
    for (const auto& [key, value] : now) {
        const auto it = recorded.find(key);
        if (it == recorded.end() || it->second != value) {
            changes.push_back(key +
                              "\n  recorded: " + (it == recorded.end() ? "(nothing)" : it->second) +
                              "\n  now:      " + value);
        }
        if (it != recorded.end()) {
            recorded.erase(it);
        }
    }
    for (const auto& [key, value] : recorded) {
        changes.push_back(key + "\n  recorded, but no longer among the games played");
    }

    if (std::getenv("GULPER_REWRITE_CORPUS") != nullptr) {
        std::ofstream out(CORPUS);
        out << "# Seeded headless games and how each went; read and replayed by\n"
               "# tests/tools/behaviour_corpus_test.cpp; the settings texts are in\n"
               "# tests/tools/behaviour_corpus_variants.h.\n# Written by "
            << REWRITE
            << "\n# settings VARIANT | keyboard=K fps=F file: TEXT  (the file's lines joined by "
               "\"; \")\n"
               "# VARIANT AGENT seed=S max_ticks=T | OUTCOME score= ticks= food= decisions=\n"
               "#   caught=GHOST@COLUMN,ROW last=STATE flee/feed/hunt/fruit=DECISIONS "
               "log=FNV1A64\n";
        for (const auto& [key, value] : now) {
            out << key << " | " << value << "\n";
        }
        ASSERT_TRUE(out.good()) << "could not write " << CORPUS;
        std::printf("rewrote %s: %zu lines, %zu changed\n", CORPUS.c_str(), now.size(),
                    changes.size());
        for (const std::string& change : changes) {
            std::printf("%s\n", change.c_str());
        }
        return;
    }
    for (size_t i = 0; i < changes.size() && i < 25; ++i) {
        ADD_FAILURE() << changes[i];
    }
    EXPECT_TRUE(changes.empty()) << changes.size()
                                 << " game(s) play otherwise than recorded; if the change is "
                                    "meant, "
                                 << REWRITE;
}

// The record holds what makes it worth replaying: every outcome of both agents, every ghost
// catching, every decision state, every key set in several files.
TEST_F(BehaviourCorpus, CoversEveryOutcomeStateGhostAndKey) {
    std::string all;
    for (const auto& [key, value] : ReadRecord()) {
        all += key + " | " + value + "\n";
    }
    for (const char* want : {"planner seed=", "nearest-food seed=", "| won ", "| lost ",
                             "| unfinished ", "caught=red@", "caught=green@", "caught=orange@",
                             "caught=turquoise@", "last=fleeing", "last=hunting", "last=feeding"}) {
        EXPECT_NE(all.find(want), std::string::npos) << "no game in the record with " << want;
    }
    // Some game decided in each state: a count other than 0 in each place of the four.
    for (int state = 0; state < 4; ++state) {
        bool seen = false;
        for (size_t at = all.find("fruit="); at != std::string::npos && !seen;
             at = all.find("fruit=", at + 1)) {
            std::istringstream counts(all.substr(at + 6, all.find(' ', at) - at - 6));
            long n[4] = {0, 0, 0, 0};
            char slash;
            counts >> n[0] >> slash >> n[1] >> slash >> n[2] >> slash >> n[3];
            seen = n[state] > 0;
        }
        EXPECT_TRUE(seen) << "no decision in the record in " << STATE_BANNERS[state];
    }
    for (const Setting& setting : SettingsTable()) {
        int variants = 0;
        for (const Variant& v : VARIANTS) {
            variants +=
                std::string(v.text).find(std::string(setting.key) + " ") != std::string::npos;
        }
        EXPECT_GE(variants, 3) << setting.key << " is set in fewer than three settings files";
    }
}

}  // namespace
