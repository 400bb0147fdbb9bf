// Writing a worker's frames and checking them as they are read.
#include "study/result_frame.h"

#include <algorithm>
#include <cstring>

#include "study/exec_stats.h"

namespace gulper {

namespace {

// Every frame starts so; anything else means the stream is out of step.
constexpr uint32_t FRAME_MAGIC = 0x47534d31;  // "GSM1"

// The fixed part of a frame, as the worker's memory holds it (both ends are this program).
struct FrameHead {
    uint32_t magic;
    uint32_t stateLength;
    uint64_t logLength;
    uint64_t task;
    int32_t outcome;
    int32_t score;
    int32_t foodLeft;
    int32_t caughtBy;
    int64_t ticks;
    int64_t decisions;
    int32_t caughtX;
    int32_t caughtY;
    // 1 and the exec part's length when an agent in another process played, else 0 and 0.
    uint32_t exec;
    uint32_t execLength;
};

template <typename T>
void Put(std::string& out, T v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void PutText(std::string& out, const std::string& text) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(text.size(), MAX_FRAME_TEXT));
    Put(out, n);
    out.append(text, 0, n);
}

class Reader {
  public:
    Reader(const char* data, size_t size) : data(data), size(size) {}
    template <typename T>
    bool Get(T* v) {
        if (size - at < sizeof *v) {
            return false;
        }
        std::memcpy(v, data + at, sizeof *v);
        at += sizeof *v;
        return true;
    }
    bool GetText(std::string* text) {
        uint32_t n = 0;
        if (!Get(&n) || n > MAX_FRAME_TEXT || size - at < n) {
            return false;
        }
        text->assign(data + at, n);
        at += n;
        return true;
    }
    bool Done() const { return at == size; }

  private:
    const char* data;
    size_t size;
    size_t at = 0;
};

}  // namespace

std::string EncodeExec(const GameResult& r) {
    std::string out;
    const AnswerTimes& t = r.answers;
    for (int64_t v : {t.count, t.medianUs, t.p99Us, t.maxUs, r.lateAnswers}) {
        Put(out, v);
    }
    Put(out, static_cast<uint32_t>(t.histogram.size()));
    for (const auto& [bucket, n] : t.histogram) {
        Put(out, bucket);
        Put(out, n);
    }
    PutText(out, r.forfeitReason);
    const uint32_t faults =
        static_cast<uint32_t>(std::min<size_t>(r.faults.size(), MAX_FRAME_FAULTS));
    Put(out, faults);
    for (uint32_t i = 0; i < faults; ++i) {
        const AgentFault& f = r.faults[i];
        uint8_t kind = 0;
        while (kind < 3 && f.kind != FAULT_KINDS[kind]) {
            ++kind;
        }
        Put(out, f.decision);
        Put(out, kind);
        PutText(out, f.detail);
    }
    return out;
}

bool DecodeExec(const char* data, size_t size, GameResult* r) {
    Reader in(data, size);
    AnswerTimes& t = r->answers;
    uint32_t buckets = 0;
    if (!in.Get(&t.count) || !in.Get(&t.medianUs) || !in.Get(&t.p99Us) || !in.Get(&t.maxUs) ||
        !in.Get(&r->lateAnswers) || !in.Get(&buckets) || buckets > TIME_BUCKETS || t.count < 0 ||
        r->lateAnswers < 0) {
        return false;
    }
    int64_t counted = 0;
    for (uint32_t i = 0; i < buckets; ++i) {
        uint32_t bucket = 0, n = 0;
        if (!in.Get(&bucket) || !in.Get(&n) || bucket >= TIME_BUCKETS ||
            (!t.histogram.empty() && bucket <= t.histogram.back().first)) {
            return false;
        }
        t.histogram.emplace_back(bucket, n);
        counted += n;
    }
    uint32_t faults = 0;
    if (counted != t.count || !in.GetText(&r->forfeitReason) || !in.Get(&faults) ||
        faults > MAX_FRAME_FAULTS) {
        return false;
    }
    for (uint32_t i = 0; i < faults; ++i) {
        AgentFault f;
        uint8_t kind = 0;
        if (!in.Get(&f.decision) || !in.Get(&kind) || kind >= 3 || !in.GetText(&f.detail)) {
            return false;
        }
        f.kind = FAULT_KINDS[kind];
        r->faults.push_back(std::move(f));
    }
    r->exec = true;
    return in.Done();
}

std::string EncodeFrame(uint64_t task, const PlayedGame& game) {
    const GameResult& r = game.result;
    const std::string exec = r.exec ? EncodeExec(r) : std::string();
    if (exec.size() > MAX_EXEC_BYTES) {
        return std::string();
    }
    FrameHead head{};
    head.magic = FRAME_MAGIC;
    head.stateLength = static_cast<uint32_t>(std::min<size_t>(r.lastState.size(), MAX_STATE));
    head.logLength = game.log.size();
    head.task = task;
    head.outcome = static_cast<int32_t>(r.outcome);
    head.score = r.score;
    head.foodLeft = r.foodLeft;
    head.caughtBy = r.caughtBy;
    head.ticks = r.ticks;
    head.decisions = r.decisions;
    head.caughtX = r.caughtAt.x;
    head.caughtY = r.caughtAt.y;
    head.exec = r.exec;
    head.execLength = static_cast<uint32_t>(exec.size());
    std::string out(reinterpret_cast<const char*>(&head), sizeof head);
    out.append(r.lastState, 0, head.stateLength);
    out += game.log;
    out += exec;
    return out;
}

FrameRead DecodeFrame(const char* data, size_t size, uint64_t* task, PlayedGame* game,
                      size_t* length) {
    FrameHead head;
    if (size < sizeof head) {
        return FrameRead::INCOMPLETE;
    }
    std::memcpy(&head, data, sizeof head);
    if (head.magic != FRAME_MAGIC || head.stateLength > MAX_STATE || head.logLength > MAX_LOG ||
        head.outcome < 0 || head.outcome > static_cast<int32_t>(GameOutcome::FORFEIT) ||
        head.exec > 1 || head.execLength > MAX_EXEC_BYTES ||
        (head.exec == 0 && head.execLength != 0)) {
        return FrameRead::DAMAGED;
    }
    const size_t whole = sizeof head + head.stateLength + head.logLength + head.execLength;
    if (size < whole) {
        return FrameRead::INCOMPLETE;
    }
    *game = PlayedGame();
    GameResult& r = game->result;
    r.outcome = static_cast<GameOutcome>(head.outcome);
    r.score = head.score;
    r.foodLeft = head.foodLeft;
    r.caughtBy = head.caughtBy;
    r.ticks = head.ticks;
    r.decisions = head.decisions;
    r.caughtAt = GridPoint(head.caughtX, head.caughtY);
    const char* at = data + sizeof head;
    r.lastState.assign(at, head.stateLength);
    at += head.stateLength;
    game->log.assign(at, head.logLength);
    at += head.logLength;
    if (head.exec != 0 && !DecodeExec(at, head.execLength, &r)) {
        return FrameRead::DAMAGED;
    }
    *task = head.task;
    *length = whole;
    return FrameRead::WHOLE;
}

}  // namespace gulper
