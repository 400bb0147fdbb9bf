// The observation's fields, the arrays that hold them and the space classes that describe them.
#include "python/src/observation.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstring>
#include <string>

#include "game/ghosts/ghost.h"

namespace {

enum class Kind { U8, I32, I64 };

struct Field {
    const char* name;
    Kind kind;
    std::vector<py::ssize_t> shape;
    double low;
    double high;
};

enum FieldIndex {
    BOARD,
    GULPER_CELL,
    GULPER_PIXEL,
    GULPER_DIRECTION,
    GHOST_PRESENT,
    GHOST_CELL,
    GHOST_PIXEL,
    GHOST_DIRECTION,
    GHOST_RELEASED,
    GHOST_BLUE,
    FRUIT_VISIBLE,
    SCORE,
    FOOD_LEFT,
    TICK,
    ATTACK_PHASE,
    PHASE_TICKS_LEFT,
    BLUE_TICKS_LEFT,
    FIELDS
};

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = {
        {"board", Kind::U8, {BOARD_ROWS, BOARD_COLUMNS}, 0, CELL_EMPTY},
        {"gulper_cell", Kind::I32, {2}, 0, BOARD_ROWS - 1},
        {"gulper_pixel", Kind::I32, {2}, 0, BOARD_HEIGHT},
        {"gulper_direction", Kind::I32, {}, 0, ACTIONS - 1},
        {"ghost_present", Kind::U8, {GHOST_COLOURS}, 0, 1},
        {"ghost_cell", Kind::I32, {GHOST_COLOURS, 2}, 0, BOARD_ROWS - 1},
        {"ghost_pixel", Kind::I32, {GHOST_COLOURS, 2}, 0, BOARD_HEIGHT},
        {"ghost_direction", Kind::I32, {GHOST_COLOURS}, 0, ACTIONS - 1},
        {"ghost_released", Kind::U8, {GHOST_COLOURS}, 0, 1},
        {"ghost_blue", Kind::U8, {GHOST_COLOURS}, 0, 1},
        {"fruit_visible", Kind::U8, {}, 0, 1},
        {"score", Kind::I32, {}, 0, INT32_MAX},
        {"food_left", Kind::I32, {}, 0, BOARD_CELLS},
        {"tick", Kind::I64, {}, 0, static_cast<double>(INT64_MAX)},
        {"attack_phase", Kind::U8, {}, 0, 1},
        {"phase_ticks_left", Kind::I32, {}, INT32_MIN, INT32_MAX},
        {"blue_ticks_left", Kind::I32, {}, 0, INT32_MAX},
    };
    return fields;
}

const char* DtypeName(Kind kind) {
    return kind == Kind::U8 ? "uint8" : kind == Kind::I32 ? "int32" : "int64";
}

py::ssize_t Elements(const Field& f) {
    py::ssize_t n = 1;
    for (py::ssize_t d : f.shape) {
        n *= d;
    }
    return n;
}

// Where one session's values go: a pointer per field into the arrays.
struct Slots {
    void* at[FIELDS];
    uint8_t* u8(int f) const { return static_cast<uint8_t*>(at[f]); }
    int32_t* i32(int f) const { return static_cast<int32_t*>(at[f]); }
};

void Fill(Session& session, const Slots& s) {
    session.Enter();
    const PlayerSprite& player = session.Player();
    for (int i = 0; i < BOARD_CELLS; ++i) {
        s.u8(BOARD)[i] = static_cast<uint8_t>(MazeGrid[i]);  // the same order: top row first
    }
    const GridPoint cell = player.CellPosition();
    s.i32(GULPER_CELL)[0] = cell.x;
    s.i32(GULPER_CELL)[1] = cell.y;
    s.i32(GULPER_PIXEL)[0] = player.position.x;
    s.i32(GULPER_PIXEL)[1] = player.position.y;
    *s.i32(GULPER_DIRECTION) = ActionOfDirection(player.direction);
    for (GhostColour c : TICK_ORDER) {
        const Ghost* ghost = GhostOf(c);
        const GridPoint ghostCell = ghost ? ghost->CellPosition() : GridPoint();
        s.u8(GHOST_PRESENT)[c] = ghost != nullptr;
        s.i32(GHOST_CELL)[2 * c] = ghostCell.x;
        s.i32(GHOST_CELL)[2 * c + 1] = ghostCell.y;
        s.i32(GHOST_PIXEL)[2 * c] = ghost ? ghost->position.x : 0;
        s.i32(GHOST_PIXEL)[2 * c + 1] = ghost ? ghost->position.y : 0;
        s.i32(GHOST_DIRECTION)[c] = ghost ? ActionOfDirection(ghost->direction) : 0;
        s.u8(GHOST_RELEASED)[c] = ghost && ghost->IsReleased();
        s.u8(GHOST_BLUE)[c] = ghost && ghost->IsBlue();
    }
    *s.u8(FRUIT_VISIBLE) = fruitVisible;
    *s.i32(SCORE) = player.Score();
    *s.i32(FOOD_LEFT) = foodLeft;
    *static_cast<int64_t*>(s.at[TICK]) = session.Ticks();
    *s.u8(ATTACK_PHASE) = attackMode;
    *s.i32(PHASE_TICKS_LEFT) = attackMode ? attackCountdown : scatterCountdown;
    *s.i32(BLUE_TICKS_LEFT) = blueCountdown;
}

}  // namespace

py::list FieldTable() {
    py::list table;
    for (const Field& f : Fields()) {
        table.append(
            py::make_tuple(f.name, DtypeName(f.kind), py::tuple(py::cast(f.shape)), f.low, f.high));
    }
    return table;
}

py::dict Observe(const std::vector<Session*>& sessions, bool stacked) {
    const auto& fields = Fields();
    std::vector<py::array> arrays;
    arrays.reserve(FIELDS);
    py::dict obs;
    for (const Field& f : fields) {
        std::vector<py::ssize_t> shape = f.shape;
        if (stacked) {
            shape.insert(shape.begin(), static_cast<py::ssize_t>(sessions.size()));
        }
        arrays.emplace_back(py::dtype(DtypeName(f.kind)), shape);
        obs[f.name] = arrays.back();
    }
    for (size_t i = 0; i < sessions.size(); ++i) {
        Slots slots;
        for (int f = 0; f < FIELDS; ++f) {
            const py::ssize_t offset = static_cast<py::ssize_t>(i) * Elements(fields[f]);
            slots.at[f] = static_cast<char*>(arrays[f].mutable_data()) +
                          offset * static_cast<py::ssize_t>(arrays[f].itemsize());
        }
        Fill(*sessions[i], slots);
    }
    return obs;
}
