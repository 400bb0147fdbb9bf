// An agent that looks ahead: at each decision it plays every open way forward on copies of the
// game whose ghosts throw dice of the agent's own, and takes the way that was caught least and
// ate most. Its effort is a fixed number of simulated ticks a decision, so a seed always plays
// the same game; it never sees the game's own dice.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <random>

#include "agent/agent_log.h"
#include "episode/episode.h"
#include "episode/lookahead.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"
#include "players/registry.h"

namespace gulper {

namespace {

struct Effort {
    const char* name;
    const char* summary;
    // Simulated ticks a decision, shared among the open ways; and how far each future runs.
    int64_t ticks;
    int64_t horizon;
};

constexpr Effort EFFORTS[] = {
    {"search",
     "plays each open way forward on copies of the game with ghosts' dice of its own, and takes "
     "the way caught least and fed most (about 6000 simulated ticks a decision)",
     6000, 240},
    {"search-fast", "the search agent with a quarter of the effort: weaker, four times as fast",
     1500, 160},
};

constexpr int32_t WAYS[] = {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN};
// What a future is worth. Food eaten counts for more than any distance to the next food, so
// that eating the last dot of a corner never looks worse than standing beside it; points
// (ghosts, fruit) count a little on top.
constexpr double CAUGHT = 100000;  // a future that ends caught, at once
constexpr double WON = 100000;     // a future that clears the board
constexpr double PER_FOOD = 100;
constexpr double PER_CELL_TO_FOOD = 1;  // the pull of the nearest food at a future's end
constexpr double PER_POINT = 0.1;

const char* WayName(int32_t way) {
    return way == DIR_LEFT ? "left" : way == DIR_UP ? "up" : way == DIR_RIGHT ? "right" : "down";
}

GridPoint Neighbour(const GridPoint& c, int32_t way) {
    // Rows count up from the bottom, as the agents' searches count them.
    switch (way) {
        case DIR_LEFT:
            return {c.x - 1, c.y};
        case DIR_RIGHT:
            return {c.x + 1, c.y};
        case DIR_UP:
            return {c.x, c.y + 1};
        default:
            return {c.x, c.y - 1};
    }
}

bool OnBoard(const GridPoint& c) {
    return c.x >= 0 && c.x < BOARD_COLUMNS && c.y >= 0 && c.y < BOARD_ROWS;
}

// Breadth-first distances over the open cells from `start`, and the first food reached.
struct FoodSearch {
    int steps = -1;        // to the nearest food, or -1 when none can be reached
    int32_t firstWay = 0;  // the way out of `start` on a shortest route to it
};

FoodSearch NearestFood(const GridPoint& start, int32_t avoidWay) {
    std::array<int32_t, BOARD_CELLS> way;
    std::array<int16_t, BOARD_CELLS> dist;
    way.fill(0);
    dist.fill(-1);
    auto index = [](const GridPoint& c) { return c.x * BOARD_ROWS + c.y; };
    std::array<GridPoint, BOARD_CELLS> queue;
    size_t head = 0, tail = 0;
    queue[tail++] = start;
    dist[index(start)] = 0;
    while (head < tail) {
        const GridPoint cell = queue[head++];
        const int32_t code = MazeGrid[GridIndex(cell.x, cell.y)];
        if ((code == CELL_DOT || code == CELL_PILL) && cell != start) {
            return FoodSearch{dist[index(cell)], way[index(cell)]};
        }
        for (int32_t w : WAYS) {
            if (cell == start && w == avoidWay) {
                continue;
            }
            const GridPoint n = Neighbour(cell, w);
            if (!OnBoard(n) || dist[index(n)] != -1 || !IsOpenCell(MazeGrid[GridIndex(n.x, n.y)])) {
                continue;
            }
            dist[index(n)] = static_cast<int16_t>(dist[index(cell)] + 1);
            way[index(n)] = cell == start ? w : way[index(cell)];
            queue[tail++] = n;
        }
    }
    return FoodSearch{};
}

// Whether a ghost that can catch stands within `cells` of `c`.
bool GhostNear(const GridPoint& c, int cells) {
    bool near = false;
    ForEachGhost([&](Ghost& ghost, GhostColour) {
        if (ghost.IsReleased() && !ghost.IsBlue()) {
            const GridPoint g = ghost.CellPosition();
            near = near || std::abs(g.x - c.x) + std::abs(g.y - c.y) <= cells;
        }
    });
    return near;
}

class SearchAgent : public PlayerSprite, public Player {
  public:
    explicit SearchAgent(const Effort& effort) : effort(effort) {}

    PlayerSprite& Sprite() override { return *this; }
    void StartGame(uint32_t seed, const GameSettings&) override { dice.seed(seed); }
    bool HasPlans() const override { return true; }
    AgentPlan ReadPlan(GridPoint) override { return plan; }

    void Foresee(Lookahead& ahead) override {
        const PlayerSprite& gulper = ahead.Gulper();
        const GridPoint here = gulper.CellPosition();
        const int32_t open = gulper.AvailableDirections(MazeGrid);
        std::vector<int32_t> ways;
        for (int32_t w : WAYS) {
            if (open & w) {
                ways.push_back(w);
            }
        }
        chosen = ways.empty() ? direction : ways.front();
        if (ways.size() < 2) {
            plan = AgentPlan{"feeding", {here}, here, {}};
            return;
        }
        const int64_t samples =
            std::max<int64_t>(1, effort.ticks / (effort.horizon * int64_t(ways.size())));
        // The same dice for every way, so that the ways differ by the way taken, not by luck.
        std::vector<uint32_t> throws(static_cast<size_t>(samples));
        for (uint32_t& t : throws) {
            t = static_cast<uint32_t>(dice());
        }
        ahead.Take();
        double best = -1e18;
        std::string log;
        std::vector<GridPoint> bestRoute;
        int64_t bestCaught = 0;
        bool caughtBy[GHOST_COLOURS] = {false, false, false, false};
        for (int32_t w : ways) {
            double total = 0;
            int64_t caught = 0;
            std::vector<GridPoint> route{here};
            for (size_t s = 0; s < throws.size(); ++s) {
                ahead.Sample(throws[s]);
                const Future f = Rollout(ahead, w, s == 0 ? &route : nullptr);
                total += f.value;
                if (f.caughtBy >= 0) {
                    ++caught;
                    caughtBy[f.caughtBy] = true;
                }
            }
            const double mean = total / double(samples);
            log += std::string(" ") + WayName(w) + " caught " + std::to_string(caught) + "/" +
                   std::to_string(samples) + " worth " + std::to_string(std::lround(mean));
            if (mean > best) {
                best = mean;
                chosen = w;
                bestRoute = std::move(route);
                bestCaught = caught;
            }
        }
        ahead.Restore();
        // The ghosts that caught the Gulper in any future, where they stand now.
        std::vector<GridPoint> threats;
        ForEachGhost([&](Ghost& ghost, GhostColour colour) {
            if (caughtBy[colour]) {
                threats.push_back(ghost.CellPosition());
            }
        });
        plan =
            AgentPlan{bestCaught > 0 ? "fleeing" : "feeding", bestRoute, bestRoute.back(), threats};
        AgentLog() << "search: at (" << here.x << "," << here.y << ")" << log << "; "
                   << WayName(chosen) << std::endl;
    }

    void Think() override {
        if (!rolling) {
            direction = chosen;
            return;
        }
        if (firstMove != 0) {
            direction = firstMove;
            firstMove = 0;
            return;
        }
        // In a future: to the nearest food, not back the way it came, not beside a ghost.
        const GridPoint here = CellPosition();
        const int32_t open = AvailableDirections(MazeGrid);
        const int32_t back = ReverseDirection(direction);
        const FoodSearch food = NearestFood(here, back);
        int32_t way = food.firstWay;
        if (way == 0 || GhostNear(Neighbour(here, way), 1)) {
            for (int32_t w : WAYS) {
                if ((open & w) && w != back && w != way && !GhostNear(Neighbour(here, w), 1)) {
                    way = w;
                    break;
                }
            }
        }
        if (way != 0 && (open & way)) {
            direction = way;
        }
    }

  private:
    struct Future {
        double value = 0;
        int caughtBy = -1;  // the catching ghost's colour
    };

    // One future from the start just sampled, the Gulper first going `way`; with `route`, the
    // cells it crosses are added there until it passes the tunnel.
    Future Rollout(Lookahead& ahead, int32_t way, std::vector<GridPoint>* route) {
        const PlayerSprite& gulper = ahead.Gulper();
        const int32_t scoreBefore = gulper.Score();
        const int32_t foodBefore = foodLeft;
        rolling = true;
        firstMove = way;
        int64_t t = 0;
        while (t < effort.horizon && ahead.Tick()) {
            ++t;
            if (route != nullptr && IsCellCentre(gulper.position)) {
                const GridPoint cell = gulper.CellPosition();
                const GridPoint& last = route->back();
                if (std::abs(cell.x - last.x) + std::abs(cell.y - last.y) > 1) {
                    route = nullptr;
                } else if (cell != last) {
                    route->push_back(cell);
                }
            }
        }
        rolling = false;
        firstMove = 0;
        Future f;
        f.value = PER_FOOD * (foodBefore - foodLeft) + PER_POINT * (gulper.Score() - scoreBefore);
        if (ahead.Caught()) {
            f.caughtBy = CatchingGhost();
            f.caughtBy = f.caughtBy < 0 ? 0 : f.caughtBy;
            f.value -= CAUGHT * (1.0 - 0.5 * double(t) / double(effort.horizon));
        } else if (ahead.Won()) {
            f.value += WON;
        } else {
            const FoodSearch food = NearestFood(gulper.CellPosition(), 0);
            f.value -= PER_CELL_TO_FOOD * (food.steps < 0 ? BOARD_CELLS : food.steps);
        }
        return f;
    }

    const Effort& effort;
    std::mt19937 dice;
    bool rolling = false;
    int32_t firstMove = 0;
    int32_t chosen = DIR_LEFT;
    AgentPlan plan;
};

// Each effort an agent of its own.
AgentEntry EntryOf(const Effort& effort) {
    return {effort.name, effort.summary, nullptr, nullptr,
            [&effort] { return std::unique_ptr<Player>(new SearchAgent(effort)); }};
}

const AgentRegistration registrations[] = {AgentRegistration(EntryOf(EFFORTS[0])),
                                           AgentRegistration(EntryOf(EFFORTS[1]))};

}  // namespace

}  // namespace gulper
