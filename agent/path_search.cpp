// The A* route search over the cells, with its console lines.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "agent/agent_log.h"
#include "agent/board_view.h"
#include "agent/player_agent.h"
#include "game/game_state.h"
#include "game/ghosts/ghost.h"

namespace {

bool SameCell(const PathNode* a, const PathNode* b) {
    return a->x == b->x && a->y == b->y;
}

bool ListHoldsCell(const std::vector<PathNode*>& list, const PathNode* node) {
    for (const PathNode* entry : list) {
        if (SameCell(entry, node)) {
            return true;
        }
    }
    return false;
}

// The open list as a binary min-heap of keys f * 1024 + order of appending: the smallest f
// first and, among equal f, the entry appended earliest, as a scan of the list in appending
// order would choose. A search appends each of the 418 records at most once.
class OpenHeap {
  public:
    bool Empty() const { return size == 0; }
    void Push(PathNode* node) {
        const uint32_t key = (static_cast<uint32_t>(node->f) << kOrderBits) | appended;
        byOrder[appended++] = node;
        size_t i = size++;
        while (i > 0) {
            const size_t parent = (i - 1) / 2;
            if (keys[parent] <= key) {
                break;
            }
            keys[i] = keys[parent];
            i = parent;
        }
        keys[i] = key;
    }
    PathNode* Pop() {
        const uint32_t top = keys[0];
        const uint32_t last = keys[--size];
        size_t i = 0;
        for (;;) {
            size_t child = 2 * i + 1;
            if (child >= size) {
                break;
            }
            if (child + 1 < size && keys[child + 1] < keys[child]) {
                ++child;
            }
            if (last <= keys[child]) {
                break;
            }
            keys[i] = keys[child];
            i = child;
        }
        keys[i] = last;
        return byOrder[top & kOrderMask];
    }
    // What is still open, in appending order.
    void CopyTo(std::vector<PathNode*>& list) {
        std::sort(keys.begin(), keys.begin() + size,
                  [](uint32_t a, uint32_t b) { return (a & kOrderMask) < (b & kOrderMask); });
        list.clear();
        for (size_t i = 0; i < size; ++i) {
            list.push_back(byOrder[keys[i] & kOrderMask]);
        }
    }

  private:
    static constexpr uint32_t kOrderBits = 10;
    static constexpr uint32_t kOrderMask = (1u << kOrderBits) - 1;
    static_assert(BOARD_CELLS <= kOrderMask + 1, "appending order must fit its bits");
    std::array<uint32_t, BOARD_CELLS> keys;
    std::array<PathNode*, BOARD_CELLS> byOrder;
    size_t size = 0;
    uint32_t appended = 0;
};

// The route search's estimate, the truncated straight-line distance between two cells, for
// every squared distance two cells of the board can be apart: the search asks it of every cell
// it lists, and a table answers without a square root.
class TruncatedDistance {
  public:
    TruncatedDistance() {
        for (int32_t s = 0; s < SIZE; ++s) {
            roots[s] = static_cast<int32_t>(std::sqrt(static_cast<double>(s)));
        }
    }
    int32_t operator()(const GridPoint& a, const GridPoint& b) const {
        const int32_t dx = a.x - b.x;
        const int32_t dy = a.y - b.y;
        const int32_t s = dx * dx + dy * dy;
        // PlayerAgent::Distance's arithmetic, as the table holds it.
        return s >= 0 && s < SIZE ? roots[s]
                                  : static_cast<int32_t>(std::sqrt(static_cast<double>(s)));
    }

  private:
    static constexpr int32_t SIZE =
        (BOARD_COLUMNS - 1) * (BOARD_COLUMNS - 1) + (BOARD_ROWS - 1) * (BOARD_ROWS - 1) + 1;
    std::array<int32_t, SIZE> roots;
};

// Appends a decimal integer to a line being built.
char* PutInt(char* out, char* end, int32_t value) {
    return std::to_chars(out, end, value).ptr;
}

char* PutText(char* out, const char* text) {
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

// One log line: written whole with its line feed and flushed at once, as a stream line
// ended by std::endl. `end` has room for the line feed.
void WriteLine(std::ostream& log, const char* begin, char* end) {
    *end++ = '\n';
    log.write(begin, end - begin);
    log.flush();
}

}  // namespace

bool PlayerAgent::FindPath(const GridPoint& start, const GridPoint& goal) {
    ResetWrittenNodes();
    openList.clear();
    closedList.clear();

    static const TruncatedDistance estimate;
    const BoardView board;
    // A cell is on one of the lists once it was appended to the open list; its record is
    // then never touched again.
    std::array<bool, BOARD_CELLS> listed{};
    OpenHeap open;

    MarkWritten(AgentIndex(start.x, start.y));
    PathNode* startNode = NodeAt(start.x, start.y);
    startNode->h = startNode->g = startNode->f = 0;
    startNode->x = start.x;
    startNode->y = start.y;
    startNode->parent = nullptr;
    listed[AgentIndex(start.x, start.y)] = true;
    open.Push(startNode);

    while (!open.Empty()) {
        PathNode* current = open.Pop();
        if (current->x == goal.x && current->y == goal.y) {
            open.CopyTo(openList);
            ConstructPath(current, startNode);
            return true;
        }
        closedList.push_back(current);
        const int cx = current->x;
        const int cy = current->y;
        auto examine = [&](int x, int y) {
            const int index = AgentIndex(x, y);
            PathNode* next = nodes[index].get();
            MarkWritten(index);
            next->x = x;
            next->y = y;
            if (listed[index] || board.IsWall(GridPoint(x, y))) {
                return;
            }
            listed[index] = true;
            next->h = estimate(GridPoint(x, y), goal);
            next->g = current->g + 1;
            next->f = next->h + next->g;
            next->parent = current;
            open.Push(next);
        };
        // right, left, down, up; the board edges are hard, the tunnel does not wrap
        if (cx < BOARD_COLUMNS - 1) {
            examine(cx + 1, cy);
        }
        if (cx > 0) {
            examine(cx - 1, cy);
        }
        if (cy > 0) {
            examine(cx, cy - 1);
        }
        if (cy < BOARD_ROWS - 1) {
            examine(cx, cy + 1);
        }
    }
    return false;
}

PathNode* PlayerAgent::PopBestOpenNode() {
    if (openList.size() == 1) {
        PathNode* only = openList.front();
        openList.clear();
        return only;
    }
    PathNode* best = openList.front();
    for (PathNode* entry : openList) {
        if (entry->f < best->f) {
            best = entry;
        }
    }
    for (auto it = openList.begin(); it != openList.end(); ++it) {
        if (SameCell(*it, best)) {
            openList.erase(it);
            break;
        }
    }
    return best;
}

bool PlayerAgent::IsInOpenList(const PathNode* node) const {
    return ListHoldsCell(openList, node);
}

bool PlayerAgent::IsInClosedList(const PathNode* node) const {
    return ListHoldsCell(closedList, node);
}

void PlayerAgent::ConstructPath(PathNode* goal, PathNode* start) {
    std::ostream& log = AgentLog();
    // Longest line: the header's text, four 11-character integers and the line feed.
    char line[112];
    char* const end = line + sizeof line - 1;
    char* out = PutText(line, "Constructing Path From GoalNode(");
    out = PutInt(out, end, goal->x);
    *out++ = ',';
    out = PutInt(out, end, goal->y);
    out = PutText(out, ") To StartNode(");
    out = PutInt(out, end, start->x);
    *out++ = ',';
    out = PutInt(out, end, start->y);
    out = PutText(out, "):");
    WriteLine(log, line, out);
    for (PathNode* node = goal; node != start && node->parent != nullptr;) {
        PathNode* p = node->parent;
        const char* step = nullptr;
        if (p->x == node->x - 1) {
            step = "): RIGHT";
            p->direction = DIR_RIGHT;
        } else if (p->x == node->x + 1) {
            step = "): LEFT";
            p->direction = DIR_LEFT;
        } else if (p->y == node->y + 1) {
            step = "): DOWN";
            p->direction = DIR_DOWN;
        } else if (p->y == node->y - 1) {
            step = "): UP";
            p->direction = DIR_UP;
        }
        if (step != nullptr) {
            out = PutText(line, "From (");
            out = PutInt(out, end, p->x);
            *out++ = ',';
            out = PutInt(out, end, p->y);
            out = PutText(out, ") to {");
            out = PutInt(out, end, node->x);
            *out++ = ',';
            out = PutInt(out, end, node->y);
            out = PutText(out, step);
            WriteLine(log, line, out);
        }
        node = p;
    }
}
