// Where an exec agent's standard error goes: passed on to ours, dropped, or kept in a file
// per game. Each game passes or keeps at most a fixed number of bytes, and passing never waits
// on our own standard error, so a flood can neither stall the run nor fill its memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace gulper {

class ErrorSink {
  public:
    // `to`: "pass", "drop" or a folder; `limit`: bytes a game.
    ErrorSink(std::string to, int64_t limit);
    ~ErrorSink();
    ErrorSink(const ErrorSink&) = delete;
    ErrorSink& operator=(const ErrorSink&) = delete;

    // A new game: its own allowance, and in a folder its own file, named by the seed and
    // `tag` (the agent, made safe for a file name).
    void StartGame(uint32_t seed, const std::string& tag);
    void Take(const char* data, size_t size);
    // The game's end: says how much was left out, closes its file.
    void EndGame();
    int64_t Dropped() const { return dropped; }

  private:
    void Pass(const char* data, size_t size);

    const std::string to;
    const int64_t limit;
    int64_t taken = 0;
    int64_t dropped = 0;
    std::FILE* file = nullptr;
};

}  // namespace gulper
