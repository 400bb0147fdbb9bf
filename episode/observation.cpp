// The observation's field table, its reading from the live game and its JSON form.
#include "episode/observation.h"

#include <cstring>

#include "game/ghosts/ghost.h"

namespace gulper {

const std::vector<ObservationField>& ObservationFields() {
    using K = FieldKind;
    // Columns stop before rows do, and so do x pixels before y pixels.
    const std::vector<int64_t> cell = {BOARD_COLUMNS - 1, BOARD_ROWS - 1};
    const std::vector<int64_t> pixel = {BOARD_WIDTH, BOARD_HEIGHT};
    static const std::vector<ObservationField> fields = {
        {"board", K::U8, {BOARD_ROWS, BOARD_COLUMNS}, 0, CELL_EMPTY, {}},
        {"gulper_cell", K::I32, {2}, 0, BOARD_ROWS - 1, cell},
        {"gulper_pixel", K::I32, {2}, 0, BOARD_HEIGHT, pixel},
        {"gulper_direction", K::I32, {}, 0, ACTIONS - 1, {}},
        {"ghost_present", K::U8, {GHOST_COLOURS}, 0, 1, {}},
        {"ghost_cell", K::I32, {GHOST_COLOURS, 2}, 0, BOARD_ROWS - 1, cell},
        {"ghost_pixel", K::I32, {GHOST_COLOURS, 2}, 0, BOARD_HEIGHT, pixel},
        {"ghost_direction", K::I32, {GHOST_COLOURS}, 0, ACTIONS - 1, {}},
        {"ghost_released", K::U8, {GHOST_COLOURS}, 0, 1, {}},
        {"ghost_blue", K::U8, {GHOST_COLOURS}, 0, 1, {}},
        {"fruit_visible", K::U8, {}, 0, 1, {}},
        {"score", K::I32, {}, 0, INT32_MAX, {}},
        {"food_left", K::I32, {}, 0, BOARD_CELLS, {}},
        {"tick", K::I64, {}, 0, INT64_MAX, {}},
        {"attack_phase", K::U8, {}, 0, 1, {}},
        {"phase_ticks_left", K::I32, {}, INT32_MIN, INT32_MAX, {}},
        {"blue_ticks_left", K::I32, {}, 0, INT32_MAX, {}},
    };
    return fields;
}

int FieldElements(const ObservationField& field) {
    int n = 1;
    for (int d : field.shape) {
        n *= d;
    }
    return n;
}

int FieldKindBytes(FieldKind kind) {
    return kind == FieldKind::U8 ? 1 : kind == FieldKind::I32 ? 4 : 8;
}

const char* FieldKindName(FieldKind kind) {
    return kind == FieldKind::U8 ? "uint8" : kind == FieldKind::I32 ? "int32" : "int64";
}

Observation ReadObservation(const PlayerSprite& player, int64_t ticks) {
    Observation o{};
    for (int i = 0; i < BOARD_CELLS; ++i) {
        o.board[i] = static_cast<uint8_t>(MazeGrid[i]);  // the same order: top row first
    }
    const GridPoint cell = player.CellPosition();
    o.gulperCell[0] = cell.x;
    o.gulperCell[1] = cell.y;
    o.gulperPixel[0] = player.position.x;
    o.gulperPixel[1] = player.position.y;
    o.gulperDirection = ActionOfDirection(player.direction);
    for (GhostColour c : TICK_ORDER) {
        const Ghost* ghost = GhostOf(c);
        if (ghost == nullptr) {
            continue;  // zeros throughout
        }
        const GridPoint ghostCell = ghost->CellPosition();
        o.ghostPresent[c] = 1;
        o.ghostCell[c][0] = ghostCell.x;
        o.ghostCell[c][1] = ghostCell.y;
        o.ghostPixel[c][0] = ghost->position.x;
        o.ghostPixel[c][1] = ghost->position.y;
        o.ghostDirection[c] = ActionOfDirection(ghost->direction);
        o.ghostReleased[c] = ghost->IsReleased();
        o.ghostBlue[c] = ghost->IsBlue();
    }
    o.fruitVisible = fruitVisible;
    o.score = player.Score();
    o.foodLeft = foodLeft;
    o.tick = ticks;
    o.attackPhase = attackMode;
    o.phaseTicksLeft = attackMode ? attackCountdown : scatterCountdown;
    o.blueTicksLeft = blueCountdown;
    return o;
}

const void* FieldData(const Observation& o, int f) {
    const void* const at[OBS_FIELDS] = {
        o.board,         o.gulperCell, o.gulperPixel,   &o.gulperDirection,
        o.ghostPresent,  o.ghostCell,  o.ghostPixel,    o.ghostDirection,
        o.ghostReleased, o.ghostBlue,  &o.fruitVisible, &o.score,
        &o.foodLeft,     &o.tick,      &o.attackPhase,  &o.phaseTicksLeft,
        &o.blueTicksLeft};
    return f >= 0 && f < OBS_FIELDS ? at[f] : nullptr;
}

namespace {

int64_t ValueAt(const void* data, FieldKind kind, int i) {
    switch (kind) {
        case FieldKind::U8:
            return static_cast<const uint8_t*>(data)[i];
        case FieldKind::I32:
            return static_cast<const int32_t*>(data)[i];
        default:
            return static_cast<const int64_t*>(data)[i];
    }
}

// Writes the values from `*next` on as nested arrays over shape[axis...].
void WriteNested(std::string& out, const ObservationField& f, const void* data, size_t axis,
                 int* next) {
    if (axis == f.shape.size()) {
        const int64_t v = ValueAt(data, f.kind, (*next)++);
        if (v >= 0 && v < 10) {
            out += static_cast<char>('0' + v);  // most of the board: one figure
        } else {
            out += std::to_string(v);
        }
        return;
    }
    out += '[';
    for (int i = 0; i < f.shape[axis]; ++i) {
        if (i > 0) {
            out += ',';
        }
        WriteNested(out, f, data, axis + 1, next);
    }
    out += ']';
}

}  // namespace

std::string ObservationJson(const Observation& obs) {
    std::string out = "{";
    out.reserve(2048);
    const auto& fields = ObservationFields();
    for (int f = 0; f < OBS_FIELDS; ++f) {
        out += f ? ",\"" : "\"";
        out += fields[f].name;
        out += "\":";
        int next = 0;
        WriteNested(out, fields[f], FieldData(obs, f), 0, &next);
    }
    return out + "}";
}

}  // namespace gulper
