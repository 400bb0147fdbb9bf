// The viewer's window: playing, pausing, stepping and the speeds; the plan drawn over the board.
#include "tools/watch/watch_window.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "formats/terminal_text.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "study/replay_play.h"

namespace gulper {

namespace {

// The plan's colours: none of the game's pictures use them, so a screenshot can find them.
constexpr double ROUTE_RGB[] = {1.0, 0.2, 1.0};
constexpr double THREAT_RGB[] = {1.0, 1.0, 1.0};

void Vertex(const GridPoint& cell) {
    const GridPoint centre = CellCentre(cell.x, cell.y);
    glVertex2d(centre.x, centre.y);
}

void Circle(const GridPoint& centre, double radius) {
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2 * M_PI / 24;
        glVertex2d(centre.x + radius * std::cos(a), centre.y + radius * std::sin(a));
    }
    glEnd();
}

}  // namespace

void WatchWindow::Configure(const WatchSettings& s) {
    settings = s;
    if (settings.replay) {
        settings.seed = settings.replay->seed;
        static_cast<GameSettings&>(settings) = *settings.replay;
    }
    entry = settings.replay ? nullptr : FindAgent(settings.agent);
    SetTitle("gulper-watch: seed " + std::to_string(settings.seed));
    SizeFor(1);
}

WatchWindow::~WatchWindow() {
    DestroyGhosts();
    SetPlayerAgent(nullptr);
}

void WatchWindow::OnCreate() {
    // The game's view with one more line of text, for the watcher's status.
    SetUpView(1);
    LoadBoardPictures();
    StartGame();
}

void WatchWindow::StartGame() {
    DestroyGhosts();
    SetPlayerAgent(nullptr);
    episode.reset();
    player.reset();
    ResetGameState();
    record = GameRecord();
    if (settings.replay) {
        player = NewReplayPlayer(*settings.replay);
        record.decisionLimit = ReplayDecisionLimit(*settings.replay);
    } else {
        player = NewPlayer(*entry);
    }
    episode =
        std::make_unique<Episode>(*this, *player, settings, settings.replay ? &record : nullptr);
    episode->Start(settings.seed);
    PreparePictures();    // a new game's sprites are new pictures
    startScreen = false;  // the game starts at once; space pauses instead
    plan = AgentPlan();
    over = false;
    if (episode->Over()) {
        EndGame();  // given up at its start
    }
    tickDebt = 0;
    lastIdleMs = SteadyMilliseconds();
    Report("seed " + std::to_string(settings.seed) + " (" +
           (settings.replay ? "replay of " + settings.agent : entry->name) + ")");
    UpdateTitle();
}

void WatchWindow::PlayTick() {
    if (!episode->Tick()) {
        EndGame();  // forfeited at this decision, or past the recording
        return;
    }
    if (episode->LastTickDecided()) {
        plan = episode->PlanOfLastTick();
    }
    if (episode->Over()) {
        EndGame();
    }
}

void WatchWindow::EndGame() {
    over = true;
    const GameResult& result = episode->Finish();
    const std::string again =
        settings.replay ? "; R plays it again" : "; R plays it again, N the next seed";
    if (result.outcome == GameOutcome::FORFEIT) {
        Report("forfeit (" + result.forfeitReason + ")" + again);
        return;
    }
    std::string how = OutcomeName(result.outcome);
    if (result.caughtBy >= 0) {
        how += std::string(" (caught by the ") + GhostColourName(result.caughtBy) + " ghost" +
               (plan.state.empty() ? "" : " while " + plan.state) + ")";
    }
    Report(how + ", score " + std::to_string(result.score) + ", food left " +
           std::to_string(result.foodLeft) + ", " + std::to_string(result.ticks) + " ticks" +
           AgainstRecording(result) + again);
}

std::string WatchWindow::AgainstRecording(const GameResult& result) const {
    if (!settings.replay) {
        return "";
    }
    const ReplayVerdict v = JudgeReplay(*settings.replay, result, record);
    if (v.same) {
        return ", as recorded";
    }
    const GameResult& r = settings.replay->result;
    return ", not as recorded (" + std::string(OutcomeName(r.outcome)) + ", score " +
           std::to_string(r.score) + ", " + std::to_string(r.ticks) + " ticks: " + v.how + ")";
}

std::string WatchWindow::Phase() const {
    if (over) {
        return gameWon ? "won" : playerCaught ? "lost" : "stopped";
    }
    return settings.paused ? "paused" : "playing";
}

std::string WatchWindow::SpeedName() const {
    const double s = SPEEDS[settings.speedLevel];
    if (s == 0) {
        return "max";
    }
    char text[16];
    std::snprintf(text, sizeof text, s < 1 ? "1/%gx" : "%gx", s < 1 ? 1 / s : s);
    return text;
}

void WatchWindow::Report(const std::string& what) {
    std::cerr << "gulper-watch: " << TerminalText(what) << " [tick " << Ticks() << ", " << Phase()
              << ", " << SpeedName() << "]" << std::endl;
}

void WatchWindow::UpdateTitle() {
    const std::string title = "gulper-watch: seed " + std::to_string(settings.seed) + ", tick " +
                              std::to_string(Ticks()) + ", score " +
                              std::to_string(Gulper().Score()) + ", " +
                              (plan.state.empty() ? "-" : plan.state) + " (" + Phase() + ")";
    if (title != shownTitle) {
        SetTitle(title);
        shownTitle = title;
    }
}

void WatchWindow::OnIdle() {
    const int64_t now = SteadyMilliseconds();
    const int64_t elapsed = now - lastIdleMs;
    lastIdleMs = now;
    if (over || settings.paused) {
        tickDebt = 0;
        SleepMilliseconds(10);
        return;
    }
    int played = 0;
    const double speed = SPEEDS[settings.speedLevel];
    if (speed == 0) {
        // As fast as possible, drawing about 60 times a second.
        while (!over && SteadyMilliseconds() - now < 16) {
            PlayTick();
            ++played;
        }
    } else {
        // The game plays two ticks each tick interval (1000 / fps ms).
        const double tickMs = tickIntervalMs / 2.0 / speed;
        tickDebt = std::min(tickDebt + elapsed / tickMs, 50.0);
        while (!over && tickDebt >= 1) {
            PlayTick();
            tickDebt -= 1;
            ++played;
        }
        if (played == 0) {
            SleepMilliseconds(std::max<int64_t>(1, std::min<int64_t>(10, tickMs * (1 - tickDebt))));
        }
    }
    if (played > 0) {
        Redraw();
    }
}

void WatchWindow::OnKeyboard(int key, bool down) {
    if (!down) {
        return;
    }
    switch (key) {
        case KEY_SPACE:
            if (!over) {
                settings.paused = !settings.paused;
                Report(settings.paused ? "paused" : "playing");
            }
            break;
        case KEY_RIGHT:
            if (settings.paused && !over) {
                PlayTick();
                Report("one tick");
            }
            break;
        case KEY_PLUS:
        case KEY_ADD:
        case KEY_UP:
        case KEY_PAGE_UP:
            if (settings.speedLevel + 1 < SPEED_COUNT) {
                ++settings.speedLevel;
                Report("speed " + SpeedName());
            }
            break;
        case KEY_MINUS:
        case KEY_SUBTRACT:
        case KEY_DOWN:
        case KEY_PAGE_DOWN:
            if (settings.speedLevel > 0) {
                --settings.speedLevel;
                Report("speed " + SpeedName());
            }
            break;
        case KEY_R:
            StartGame();
            break;
        case KEY_N:
            if (settings.replay) {
                return;  // a replay file holds one game
            }
            ++settings.seed;
            StartGame();
            break;
        default:
            return;
    }
    Redraw();
}

void WatchWindow::DrawOverlay() {
    if (!plan.route.empty()) {
        glColor3dv(ROUTE_RGB);
        glLineWidth(3.0f);
        glBegin(GL_LINE_STRIP);
        for (const GridPoint& cell : plan.route) {
            Vertex(cell);
        }
        glEnd();
    }
    if (plan.goal) {
        const GridPoint c = CellCentre(plan.goal->x, plan.goal->y);
        glColor3dv(ROUTE_RGB);
        glLineWidth(2.0f);
        glBegin(GL_LINE_LOOP);
        glVertex2d(c.x - 9, c.y - 9);
        glVertex2d(c.x + 9, c.y - 9);
        glVertex2d(c.x + 9, c.y + 9);
        glVertex2d(c.x - 9, c.y + 9);
        glEnd();
    }
    if (!plan.fleeingFrom.empty()) {
        glColor3dv(THREAT_RGB);
        glLineWidth(2.0f);
        for (const GridPoint& ghost : plan.fleeingFrom) {
            Circle(CellCentre(ghost.x, ghost.y), 13);
            glBegin(GL_LINES);
            glVertex2d(Gulper().position.x, Gulper().position.y);
            Vertex(ghost);
            glEnd();
        }
    }
    glLineWidth(1.0f);
}

std::string WatchWindow::StatusLine() const {
    char line[160];
    std::snprintf(line, sizeof line, "Seed %u  Tick %lld  %s  %s  %s", settings.seed,
                  static_cast<long long>(Ticks()), plan.state.empty() ? "-" : plan.state.c_str(),
                  Phase().c_str(), SpeedName().c_str());
    return line;
}

}  // namespace gulper
