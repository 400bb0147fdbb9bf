// The actions a player takes at a decision, as the protocol, replay files and Python give them.
#pragma once

#include <cstdint>

namespace gulper {

// Keep going, or the Gulper's new direction.
enum : int32_t { ACTION_KEEP = 0, ACTION_LEFT, ACTION_UP, ACTION_RIGHT, ACTION_DOWN };
constexpr int32_t ACTIONS = 5;
// A game direction (DIR_LEFT ...) as an action code, 0 for none; and back.
int32_t ActionOfDirection(int32_t direction);
int32_t DirectionOfAction(int32_t action);

}  // namespace gulper
