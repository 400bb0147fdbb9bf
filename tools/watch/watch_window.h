// The viewer's window: one seed's game in the game's own frame, with the agent's plan over
// the board and a status line under the score.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "episode/episode.h"
#include "formats/replay_file.h"
#include "game/game_window.h"
#include "game/settings.h"
#include "players/registry.h"

namespace gulper {

// More keys the watcher reads (the framework's virtual-key codes).
enum : int {
    KEY_PAGE_UP = 33,
    KEY_PAGE_DOWN = 34,
    KEY_ADD = 107,       // keypad +
    KEY_SUBTRACT = 109,  // keypad -
    KEY_PLUS = 187,      // the =/+ key
    KEY_MINUS = 189,
    KEY_N = 'N',
    KEY_R = 'R',
};

struct WatchSettings : GameSettings {
    uint32_t seed = 1;
    int speedLevel = 2;  // index into WatchWindow::SPEEDS
    bool paused = false;
    // A recorded game to show instead of the agent's: its actions, and its plans when kept.
    std::shared_ptr<const ReplayFile> replay;
};

// The game's window playing the game of one seed, as gulper-sim --replay plays it (the same
// start, the same ticks, the same log on standard output), with the agent's plan of its last
// decision drawn over the board. It can be paused, stepped one tick, run slower or faster, and
// restarted on the same or the next seed. Messages about the watching go to standard error.
// A replay file's game is shown the same way, its recorded plans drawn; N is then not taken.
class WatchWindow : public GameWindow {
  public:
    // Ticks a second relative to the game's own pace; 0 means as fast as possible.
    static constexpr double SPEEDS[] = {0.25, 0.5, 1, 2, 4, 8, 0};
    static constexpr int SPEED_COUNT = sizeof SPEEDS / sizeof SPEEDS[0];

    ~WatchWindow() override;
    // Before the window is made: what to watch, and the title it opens with.
    void Configure(const WatchSettings& s);

    void OnCreate() override;
    void OnKeyboard(int key, bool down) override;
    void OnIdle() override;

    // Plays one tick through the episode, and reads the agent's plan when it decided in it.
    void PlayTick();
    // Starts the settings' seed afresh: a new agent, and the game set up as the simulator does.
    void StartGame();
    // One word for the title and the status line: playing, paused, won, lost, stopped.
    std::string Phase() const;
    std::string SpeedName() const;

    int64_t Ticks() const { return episode ? episode->Ticks() : 0; }
    int64_t Decisions() const { return episode ? episode->Decisions() : 0; }
    const PlayerSprite& Gulper() const { return player->Sprite(); }

    WatchSettings settings;
    const AgentEntry* entry = nullptr;
    AgentPlan plan;
    bool over = false;

  protected:
    // The plan of the agent's last decision: route, goal, the ghosts it runs from.
    void DrawOverlay() override;
    std::string StatusLine() const override;
    void OnFrameShown() override { UpdateTitle(); }

  private:
    void Report(const std::string& what);
    // The game is over: an agent in another process hears how it ended.
    void EndGame();
    // How the game just ended stands to the replay file's result.
    std::string AgainstRecording(const GameResult& result) const;
    void UpdateTitle();

    std::unique_ptr<Player> player;
    std::unique_ptr<Episode> episode;
    // The decisions of a replay file's game as played here, held against the file's.
    GameRecord record;
    double tickDebt = 0;
    int64_t lastIdleMs = 0;
    std::string shownTitle;
};

}  // namespace gulper
