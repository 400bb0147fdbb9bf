// The reader of an agent's answers on arbitrary lines: ParseAnswer and ParseHelloAnswer never
// crash, and whatever they accept is within what the protocol allows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/maze.h"
#include "protocol/protocol.h"

namespace {

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

bool OnBoard(const GridPoint& cell) {
    return cell.x >= 0 && cell.x < BOARD_COLUMNS && cell.y >= 0 && cell.y < BOARD_ROWS;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A line as the channel hands it over: any bytes but its newline.
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::string why;
    gulper::Answer answer;
    if (gulper::ParseAnswer(line, &answer, &why)) {
        Check(answer.action >= 0 && answer.action < gulper::ACTIONS);
        Check(answer.decision >= -1);
        Check(answer.plan.route.size() <= static_cast<size_t>(BOARD_CELLS));
        for (const GridPoint& cell : answer.plan.route) {
            Check(OnBoard(cell));
        }
        Check(!answer.plan.goal || OnBoard(*answer.plan.goal));
        Check(answer.plan.state.size() <= gulper::MAX_AGENT_WORD);
        Check(answer.hasPlan || (answer.plan.route.empty() && answer.plan.state.empty()));
    } else {
        Check(!why.empty() && answer.decision >= -1);
    }
    why.clear();
    gulper::HelloAnswer hello;
    if (gulper::ParseHelloAnswer(line, &hello, &why)) {
        Check(hello.named && !hello.name.empty() && hello.name.size() <= gulper::MAX_AGENT_WORD);
        for (char c : hello.name) {
            Check(c >= 0x20 && c < 0x7f);
        }
        Check(hello.protocol >= 1 && hello.protocol <= gulper::PROTOCOL_VERSION);
    } else {
        Check(!why.empty());
    }
    return 0;
}
