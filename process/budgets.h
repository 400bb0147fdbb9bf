// What an agent in another process is allowed: time to start, time per decision,
// a bank of overage per game, faults per game, the longest line, and where its standard error
// goes. Every limit's default is here, once; gulper-sim and gulper-watch take each as an option.
#pragma once

#include <cstdint>
#include <string>

namespace gulper {

struct ExecBudgets {
    // Time to answer the hello of each game (the first includes starting the program).
    int64_t startMs = 10000;
    // Time per decision, from sending the observation to receiving the answer.
    int64_t decisionMs = 100;
    // Time over the per-decision budget is taken from this bank, once per game; a decision is
    // late only when the bank is empty.
    int64_t overageMs = 2000;
    // Late, missing or malformed answers a game tolerates; one more forfeits it.
    int64_t faultLimit = 10;
    // The longest line the agent may write, its newline not counted.
    int64_t lineBytes = 64 * 1024;
    // The agent's standard error: "pass" (to ours, at most errorBytes a game), "drop", or a
    // folder that receives the first errorBytes of each game in a file of its own.
    std::string errorTo = "pass";
    int64_t errorBytes = 64 * 1024;
};

// The overage bank of one game: how long the next answer may take, and what an answer that
// took `elapsedUs` leaves.
class OverageBank {
  public:
    OverageBank(int64_t decisionUs, int64_t bankUs) : decisionUs(decisionUs), bankUs(bankUs) {}
    // The longest the next answer may take: the decision's own time and the whole bank.
    int64_t DeadlineUs() const { return decisionUs + bankUs; }
    // An answer in time: what it took over the decision's time comes from the bank.
    void Charge(int64_t elapsedUs) {
        if (elapsedUs > decisionUs) {
            const int64_t over = elapsedUs - decisionUs;
            bankUs = over >= bankUs ? 0 : bankUs - over;
        }
    }
    // No answer by the deadline: the bank is spent.
    void Expire() { bankUs = 0; }
    int64_t LeftUs() const { return bankUs; }

  private:
    int64_t decisionUs;
    int64_t bankUs;
};

}  // namespace gulper
