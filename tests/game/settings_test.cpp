// The settings table against what describes it elsewhere: the README's table of the settings
// and the shipped data/config.txt; and what the reading reports to an observer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_rules.h"
#include "game/settings.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, by);) {
        const size_t from = part.find_first_not_of(' '), to = part.find_last_not_of(' ');
        parts.push_back(from == std::string::npos ? "" : part.substr(from, to - from + 1));
    }
    return parts;
}

// One key as a README row gives it.
struct Described {
    std::string shipped, defaultValue, range, meaning;
};

// The rows of the README's settings table by key. A row may name several keys, and "(and the
// other three colours)" stands for the other ghosts' keys; a column with fewer items than keys
// gives its last item to the rest, and "same" as the default means the shipped value.
std::map<std::string, Described> ReadmeSettings() {
    std::istringstream readme(Read(GULPER_SOURCE_DIR "/README.md"));
    std::string line;
    while (std::getline(readme, line) && line != "| key | shipped | default | range | meaning |") {
    }
    std::getline(readme, line);  // |---|...
    std::map<std::string, Described> rows;
    while (std::getline(readme, line) && !line.empty() && line[0] == '|') {
        const std::vector<std::string> cells = Split(line.substr(1), '|');
        std::vector<std::string> keys;
        for (size_t at = cells[0].find('`'); at != std::string::npos;
             at = cells[0].find('`', cells[0].find('`', at + 1) + 1)) {
            keys.push_back(cells[0].substr(at + 1, cells[0].find('`', at + 1) - at - 1));
        }
        if (cells[0].find("(and the other three colours)") != std::string::npos) {
            const std::string rest = keys.at(0).substr(keys[0].find('_'));
            for (const char* colour : {"green", "orange", "turquoise"}) {
                keys.push_back(colour + rest);
            }
        }
        auto item = [](const std::string& cell, size_t i) {
            const std::vector<std::string> items = Split(cell, ',');
            return items.empty() ? "" : items[std::min(i, items.size() - 1)];
        };
        for (size_t i = 0; i < keys.size(); ++i) {
            Described d{item(cells[1], i), item(cells[2], i), item(cells[3], i), cells[4]};
            if (d.defaultValue == "same") {
                d.defaultValue = d.shipped;
            }
            rows[keys[i]] = d;
        }
    }
    return rows;
}

TEST(SettingsTable, TheReadmeAndTheShippedFileAgreeWithIt) {
    const std::map<std::string, Described> readme = ReadmeSettings();
    GameRules shipped;
    ASSERT_TRUE(LoadSettings(GULPER_SOURCE_DIR "/data/config.txt", shipped));
    for (const Setting& s : SettingsTable()) {
        const auto row = readme.find(s.key);
        ASSERT_NE(row, readme.end()) << s.key << " is not in the README's settings table";
        const Described& d = row->second;
        EXPECT_EQ(d.defaultValue, std::to_string(s.defaultValue)) << s.key;
        EXPECT_EQ(d.shipped, std::to_string(s.ValueIn(shipped))) << s.key;
        if (s.read == SettingRead::CLAMP) {
            EXPECT_EQ(d.range, std::to_string(s.lo) + "\u2013" + std::to_string(s.hi)) << s.key;
        } else {
            // A flag is not clamped; its meaning starts with the value that sets it.
            EXPECT_TRUE(d.range.empty() || d.range == "0 or more") << s.key << ": " << d.range;
            EXPECT_EQ(d.meaning.substr(0, 2), s.read == SettingRead::IS_ONE ? "1:" : "0:") << s.key;
        }
    }
    EXPECT_EQ(readme.size(), SettingsTable().size()) << "the README names a key the game lacks";

    // The shipped file gives every key once, and nothing else.
    std::map<std::string, int> given;
    std::istringstream file(Read(GULPER_SOURCE_DIR "/data/config.txt"));
    for (std::string key, value; file >> key >> value;) {
        ++given[key];
    }
    EXPECT_EQ(given.size(), SettingsTable().size());
    for (const Setting& s : SettingsTable()) {
        EXPECT_EQ(given[s.key], 1) << s.key;
    }
}

// Every event in file order, as "kind key value line".
class Recorder : public SettingsObserver {
  public:
    void Applied(const Setting& s, int32_t v, std::streamoff at) override {
        Note("applied", s.key, v, at);
    }
    void NegativeSkipped(const Setting& s, int32_t v, std::streamoff at) override {
        Note("negative", s.key, v, at);
    }
    void UnknownKey(const std::string& key, int32_t v, std::streamoff at) override {
        Note("unknown", key, v, at);
    }
    void Stopped(const std::string& key, std::streamoff at, std::streamoff valueAt) override {
        Note("stopped", key, static_cast<int32_t>(valueAt), at);
    }
    std::string events;

  private:
    void Note(const char* kind, const std::string& key, int32_t v, std::streamoff at) {
        events += std::string(kind) + " " + key + " " + std::to_string(v) + " @" +
                  std::to_string(at) + "\n";
    }
};

TEST(SettingsReading, TellsItsObserverWhatItMeetsAndWhere) {
    const std::string longWord = "fps" + std::string(300, 'x');
    const struct {
        std::string text;
        std::string events;
    } cases[] = {
        {" fps 50\nfpz 3 dot_value -2 dot_value 7 ghost_value x fps 3",
         "applied fps 50 @1\nunknown fpz 3 @8\nnegative dot_value -2 @14\n"
         "applied dot_value 7 @27\nstopped ghost_value 51 @39\n"},
        {"red_ghost 2 control\n  ", "applied red_ghost 2 @0\nstopped control -1 @12\n"},
        {"fps 2147483648", "stopped fps 4 @0\n"},
        // A word is kept to its first SETTINGS_MAX_WORD characters; the rest is passed over.
        {longWord + " 3 fps 17",
         "unknown " + longWord.substr(0, SETTINGS_MAX_WORD) + " 3 @0\napplied fps 17 @306\n"},
        {longWord, "stopped " + longWord.substr(0, SETTINGS_MAX_WORD) + " -1 @0\n"},
    };
    for (const auto& c : cases) {
        GameRules rules;
        ApplyDefaultSettings(rules);
        std::istringstream in(c.text);
        Recorder recorder;
        ReadSettings(in, rules, &recorder);
        EXPECT_EQ(recorder.events, c.events) << c.text;
    }
}

// The game reads its settings file only when it is an ordinary file within the cap; anything
// else is passed over at once, like a missing file, and the defaults stand.
TEST(SettingsFiles, OnlyAnOrdinaryFileWithinTheCapIsRead) {
    const fs::path dir =
        fs::temp_directory_path() / ("gulper-settings-" + std::to_string(getpid()));
    fs::create_directories(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir / "zero");
    fs::create_symlink(dir / "loop", dir / "loop");
    std::ofstream(dir / "big") << "fps 17\n" << std::string(SETTINGS_MAX_BYTES, ' ');
    std::ofstream(dir / "ok") << "fps 17\n" << std::string(SETTINGS_MAX_BYTES - 7, ' ');
    for (const char* name : {"folder", "pipe", "zero", "loop", "big", "absent"}) {
        GameRules rules;
        rules.fps = 99;
        EXPECT_FALSE(rules.LoadConfigFrom((dir / name).c_str())) << name;
        EXPECT_EQ(rules.fps, 5) << name;
    }
    GameRules fromFile, fromBytes;
    EXPECT_TRUE(fromFile.LoadConfigFrom((dir / "ok").c_str()));
    fromBytes.LoadConfigText("fps 17\n");
    EXPECT_EQ(fromFile.fps, 17);
    EXPECT_EQ(fromBytes.fps, 17);
    fs::remove_all(dir);
}

}  // namespace
