// Writing and checking the exec part of a worker's frame.
#include "study/exec_frame.h"

#include <algorithm>
#include <cstring>

#include "study/exec_stats.h"

namespace gulper {

namespace {

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

}  // namespace gulper
