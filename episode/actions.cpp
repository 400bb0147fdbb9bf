// Action codes and the directions they stand for.
#include "episode/actions.h"

#include "game/sprite.h"

namespace gulper {

int32_t ActionOfDirection(int32_t direction) {
    switch (direction) {
        case DIR_LEFT:
            return ACTION_LEFT;
        case DIR_UP:
            return ACTION_UP;
        case DIR_RIGHT:
            return ACTION_RIGHT;
        case DIR_DOWN:
            return ACTION_DOWN;
        default:
            return ACTION_KEEP;
    }
}

int32_t DirectionOfAction(int32_t action) {
    static const int32_t directions[ACTIONS] = {0, DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN};
    return action > 0 && action < ACTIONS ? directions[action] : 0;
}

}  // namespace gulper
