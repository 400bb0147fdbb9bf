// Settings reader on arbitrary bytes: whatever the file holds, every setting stays in its
// range.
#include <cstdlib>

#include "game/game_rules.h"
#include "game/game_state.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = WriteFuzzInput(data, size, ".txt");
    if (path == nullptr) {
        return 0;
    }
    GameRules rules;
    if (!rules.LoadConfigFrom(path)) {
        std::abort();  // the file exists, so it must have been read
    }
    if (rules.fps < 1 || rules.fps > 20 || dot_value < 1 || dot_value > 50) {
        std::abort();
    }
    for (int32_t factor : rules.ghostSlowDown) {
        if (factor < 1 || factor > 5) {
            std::abort();
        }
    }
    return 0;
}
