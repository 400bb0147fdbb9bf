// The observation an agent outside the game is given at each decision: its fields (names,
// shapes, ranges) and their values read from the live game. The Python module's arrays and
// the line protocol's JSON are both written from here; docs/observation.md says what each
// field means.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/maze.h"
#include "game/sprite.h"
// The action codes (ACTION_*, ActionOfDirection) the directions are given in.
#include "episode/record.h"

namespace gulper {

enum class FieldKind { U8, I32, I64 };

struct ObservationField {
    const char* name;
    FieldKind kind;
    std::vector<int> shape;  // empty for a single value
    int64_t low;
    int64_t high;
    // For a field whose last axis is an (x, y) pair, each one's own highest value (a column
    // stops sooner than a row); empty otherwise, when `high` holds for every value.
    std::vector<int64_t> pairHigh;
};

enum ObservationFieldIndex {
    OBS_BOARD,
    OBS_GULPER_CELL,
    OBS_GULPER_PIXEL,
    OBS_GULPER_DIRECTION,
    OBS_GHOST_PRESENT,
    OBS_GHOST_CELL,
    OBS_GHOST_PIXEL,
    OBS_GHOST_DIRECTION,
    OBS_GHOST_RELEASED,
    OBS_GHOST_BLUE,
    OBS_FRUIT_VISIBLE,
    OBS_SCORE,
    OBS_FOOD_LEFT,
    OBS_TICK,
    OBS_ATTACK_PHASE,
    OBS_PHASE_TICKS_LEFT,
    OBS_BLUE_TICKS_LEFT,
    OBS_FIELDS
};

// The fields in order, the same for every user.
const std::vector<ObservationField>& ObservationFields();
// Values in one field (the product of its shape).
int FieldElements(const ObservationField& field);
// Bytes of one value of that kind.
int FieldKindBytes(FieldKind kind);
const char* FieldKindName(FieldKind kind);

// One decision's observation, each field's values in row-major order.
struct Observation {
    uint8_t board[BOARD_CELLS];  // top row first, as MazeGrid
    int32_t gulperCell[2];
    int32_t gulperPixel[2];
    int32_t gulperDirection;
    uint8_t ghostPresent[GHOST_COLOURS];
    int32_t ghostCell[GHOST_COLOURS][2];
    int32_t ghostPixel[GHOST_COLOURS][2];
    int32_t ghostDirection[GHOST_COLOURS];
    uint8_t ghostReleased[GHOST_COLOURS];
    uint8_t ghostBlue[GHOST_COLOURS];
    uint8_t fruitVisible;
    int32_t score;
    int32_t foodLeft;
    int64_t tick;
    uint8_t attackPhase;
    int32_t phaseTicksLeft;
    int32_t blueTicksLeft;
};

// The observation of the live game (the process-wide state) for `player`, with `ticks`
// played so far.
Observation ReadObservation(const PlayerSprite& player, int64_t ticks);
// Where field `f`'s values start in `obs` (of the field's kind, FieldElements of them).
const void* FieldData(const Observation& obs, int f);
// The observation as one JSON object: each field under its name, nested arrays by its shape.
std::string ObservationJson(const Observation& obs);

}  // namespace gulper
