// A worker's frames, written and read by one mechanism: values after one another, each text
// after its length, every length checked against its bound before it is believed.
#include "study/result_frame.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "study/exec_stats.h"

namespace gulper {

namespace {

// Every frame starts so; anything else means the stream is out of step.
constexpr uint32_t FRAME_MAGIC = 0x47534d31;  // "GSM1"

template <typename T>
void Put(std::string& out, T v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// Text of at most `most` bytes (longer text is cut), after its length.
void PutText(std::string& out, const std::string& text, uint32_t most = MAX_FRAME_TEXT) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(text.size(), most));
    Put(out, n);
    out.append(text, 0, n);
}

// A game's fixed fields in frame order, one list for both ends: `visit` takes each in turn and
// says whether to go on.
template <typename Result, typename Visit>
bool ResultFields(Result& r, Visit&& visit) {
    return visit(r.score) && visit(r.foodLeft) && visit(r.caughtBy) && visit(r.ticks) &&
           visit(r.decisions) && visit(r.caughtAt.x) && visit(r.caughtAt.y);
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
    bool GetText(std::string* text, uint32_t most = MAX_FRAME_TEXT) {
        uint32_t n = 0;
        if (!Get(&n) || n > most || size - at < n) {
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
        while (kind < std::size(FAULT_KINDS) && f.kind != FAULT_KINDS[kind]) {
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
        if (!in.Get(&f.decision) || !in.Get(&kind) || kind >= std::size(FAULT_KINDS) ||
            !in.GetText(&f.detail)) {
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
    if (exec.size() > MAX_EXEC_BYTES || game.log.size() > MAX_LOG) {
        return std::string();
    }
    std::string body;
    Put(body, task);
    Put(body, static_cast<int32_t>(r.outcome));
    ResultFields(r, [&body](const auto& v) {
        Put(body, v);
        return true;
    });
    PutText(body, r.lastState, MAX_STATE);
    PutText(body, game.log, MAX_LOG);
    Put(body, static_cast<uint8_t>(r.exec));
    PutText(body, exec, MAX_EXEC_BYTES);
    std::string out;
    Put(out, FRAME_MAGIC);
    Put(out, static_cast<uint64_t>(body.size()));
    return out + body;
}

FrameRead DecodeFrame(const char* data, size_t size, uint64_t* task, PlayedGame* game,
                      size_t* length) {
    // The longest body a frame may declare: its fixed fields and every text at its bound.
    constexpr uint64_t MAX_BODY = 256 + MAX_STATE + MAX_LOG + MAX_EXEC_BYTES;
    uint32_t magic = 0;
    uint64_t bodySize = 0;
    Reader head(data, size);
    if (!head.Get(&magic) || !head.Get(&bodySize)) {
        return FrameRead::INCOMPLETE;
    }
    if (magic != FRAME_MAGIC || bodySize > MAX_BODY) {
        return FrameRead::DAMAGED;
    }
    const size_t headSize = sizeof magic + sizeof bodySize;
    if (size - headSize < bodySize) {
        return FrameRead::INCOMPLETE;
    }
    Reader in(data + headSize, bodySize);
    *game = PlayedGame();
    GameResult& r = game->result;
    int32_t outcome = -1;
    uint8_t exec = 0;
    std::string execPart;
    if (!in.Get(task) || !in.Get(&outcome) || outcome < 0 ||
        outcome > static_cast<int32_t>(GameOutcome::FORFEIT) ||
        !ResultFields(r, [&in](auto& v) { return in.Get(&v); }) ||
        !in.GetText(&r.lastState, MAX_STATE) || !in.GetText(&game->log, MAX_LOG) ||
        !in.Get(&exec) || exec > 1 || !in.GetText(&execPart, MAX_EXEC_BYTES) || !in.Done() ||
        (exec == 0 && !execPart.empty()) ||
        (exec == 1 && !DecodeExec(execPart.data(), execPart.size(), &r))) {
        return FrameRead::DAMAGED;
    }
    r.outcome = static_cast<GameOutcome>(outcome);
    *length = headSize + bodySize;
    return FrameRead::WHOLE;
}

}  // namespace gulper
