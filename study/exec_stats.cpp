// The exec agent's figures in the summary, the JSON and the CSV.
#include "study/exec_stats.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "formats/json_reader.h"
#include "formats/json_writer.h"

namespace gulper {

const char* const FAULT_KINDS[4] = {"timeout", "invalid", "crash", "stray"};

bool FaultKindShown(size_t kind, int64_t count) {
    return kind < ALWAYS_SHOWN_KINDS || count > 0;
}

std::string ForfeitGroup(const std::string& reason) {
    const size_t colon = reason.find(": ");
    if (colon == std::string::npos) {
        return reason;
    }
    const std::string kind = reason.substr(0, colon);
    std::string body = reason.substr(colon + 2);
    const size_t last = body.find(", the last: ");
    if (last != std::string::npos) {
        const bool counted = kind == "timeout" || kind == "crash" || kind == "stray";
        return body.substr(0, last) + ", the last " + (counted ? "a " : "") + kind;
    }
    const size_t quote = body.find('"');
    if (quote != std::string::npos) {
        body.erase(quote);
        while (!body.empty() && (body.back() == ' ' || body.back() == ':')) {
            body.pop_back();
        }
        return body + " (" + kind + ")";
    }
    return body;
}

void SummariseExec(const std::vector<GameResult>& results, ExecSummary& s) {
    std::vector<const AnswerTimes*> times;
    for (const GameResult& r : results) {
        if (!r.exec) {
            continue;
        }
        s.exec = true;
        if (s.name.empty()) {
            s.name = r.execName;
        }
        if (r.outcome == GameOutcome::FORFEIT) {
            ++s.forfeit;
            ++s.forfeitReasons[ForfeitGroup(r.forfeitReason)];
        }
        s.lateAnswers += r.lateAnswers;
        for (const char* kind : FAULT_KINDS) {
            s.faults[kind] += FaultsOf(r, kind);
        }
        times.push_back(&r.answers);
    }
    s.answers = JoinTimes(times);
}

bool IsFaultKind(const std::string& kind) {
    for (const char* k : FAULT_KINDS) {
        if (kind == k) {
            return true;
        }
    }
    return false;
}

std::string ShownAgent(const std::string& agent, const ExecSummary& s) {
    return s.exec && !s.name.empty() ? s.name : agent;
}

std::string TimeText(int64_t us) {
    char text[32];
    if (us < 10000) {
        std::snprintf(text, sizeof text, "%lld us", static_cast<long long>(us));
    } else if (us < 10000000) {
        std::snprintf(text, sizeof text, "%.1f ms", us / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f s", us / 1e6);
    }
    return text;
}

namespace {

std::string FaultCounts(const std::map<std::string, int64_t>& faults, const char* sep) {
    std::string text;
    for (size_t k = 0; k < std::size(FAULT_KINDS); ++k) {
        const char* kind = FAULT_KINDS[k];
        const auto it = faults.find(kind);
        const int64_t count = it == faults.end() ? 0 : it->second;
        if (!FaultKindShown(k, count)) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + std::string(sep[0] == '"' ? "\"" : "") + kind +
                (sep[0] == '"' ? "\": " : " ") + std::to_string(count);
    }
    return text;
}

// The most reasons the summary names; the rest are counted together.
constexpr size_t REASONS_SHOWN = 5;

// " (no answer to hello in 10000 ms: 3; ...)", most frequent first; empty without forfeits.
std::string ForfeitReasons(const ExecSummary& s) {
    if (s.forfeitReasons.empty()) {
        return "";
    }
    std::vector<std::pair<int64_t, std::string>> byCount;
    for (const auto& [reason, n] : s.forfeitReasons) {
        byCount.emplace_back(-n, reason);
    }
    std::sort(byCount.begin(), byCount.end());
    std::string text;
    int64_t others = 0;
    for (size_t i = 0; i < byCount.size(); ++i) {
        if (i < REASONS_SHOWN) {
            text += (i ? "; " : "") + byCount[i].second + ": " + std::to_string(-byCount[i].first);
        } else {
            others -= byCount[i].first;
        }
    }
    if (others > 0) {
        text += "; " + std::to_string(byCount.size() - REASONS_SHOWN) +
                " other reasons: " + std::to_string(others);
    }
    return " (" + text + ")";
}

// What to look at first when an agent never answered its hello: most often its answer waits in
// its own output buffer.
bool HelloUnanswered(const ExecSummary& s) {
    for (const auto& [reason, n] : s.forfeitReasons) {
        if (reason.rfind("no answer to hello", 0) == 0) {
            return true;
        }
    }
    return false;
}

// A run's times; a game's add its histogram, so that joined parts (--merge) give the run's.
std::string JsonTimes(const AnswerTimes& t, bool histogram) {
    std::string out =
        "{\"answers\": " + std::to_string(t.count) + ", \"median\": " + std::to_string(t.medianUs) +
        ", \"p99\": " + std::to_string(t.p99Us) + ", \"max\": " + std::to_string(t.maxUs);
    if (histogram) {
        out += ", \"histogram\": [";
        for (size_t i = 0; i < t.histogram.size(); ++i) {
            out += (i ? ", [" : "[") + std::to_string(t.histogram[i].first) + ", " +
                   std::to_string(t.histogram[i].second) + "]";
        }
        out += "]";
    }
    return out + "}";
}

std::map<std::string, int64_t> FaultMap(const GameResult& r) {
    std::map<std::string, int64_t> m;
    for (const char* kind : FAULT_KINDS) {
        m[kind] = FaultsOf(r, kind);
    }
    return m;
}

}  // namespace

std::string ExecLine(const ExecSummary& s) {
    const AnswerTimes& t = s.answers;
    return "forfeit " + std::to_string(s.forfeit) + ForfeitReasons(s) + "; answer time median " +
           TimeText(t.medianUs) + ", p99 " + TimeText(t.p99Us) + ", max " + TimeText(t.maxUs) +
           "; faults " + FaultCounts(s.faults, " ") + ", late answers " +
           std::to_string(s.lateAnswers);
}

void PrintExecSummary(std::ostream& out, const ExecSummary& s) {
    if (!s.exec) {
        return;
    }
    const AnswerTimes& t = s.answers;
    out << "forfeit:      " << s.forfeit << ForfeitReasons(s) << "\n";
    if (HelloUnanswered(s)) {
        out << "              no answer to hello: does the agent flush its standard output after "
               "each line? see docs/agent-protocol.md\n";
    }
    out << "answer time:  median " << TimeText(t.medianUs) << ", p99 " << TimeText(t.p99Us)
        << ", max " << TimeText(t.maxUs) << " (" << t.count << " answers)\n";
    out << "faults:       " << FaultCounts(s.faults, " ") << "; late answers dropped "
        << s.lateAnswers << "\n";
}

std::string JsonExecSummary(const ExecSummary& s) {
    if (!s.exec) {
        return "";
    }
    return ",\n    \"forfeit\": " + std::to_string(s.forfeit) +
           ", \"answer_us\": " + JsonTimes(s.answers, false) + ", \"faults\": {" +
           FaultCounts(s.faults, "\"") + "}, \"late_answers\": " + std::to_string(s.lateAnswers);
}

std::string JsonExecRow(const GameResult& r) {
    if (!r.exec) {
        return "";
    }
    std::string out = ", \"answer_us\": " + JsonTimes(r.answers, true) + ", \"faults\": {" +
                      FaultCounts(FaultMap(r), "\"") +
                      "}, \"late_answers\": " + std::to_string(r.lateAnswers);
    if (r.outcome == GameOutcome::FORFEIT) {
        out += ", \"forfeit_reason\": " + JsonString(r.forfeitReason);
    }
    if (!r.faults.empty()) {
        out += ", \"fault_list\": [";
        for (size_t i = 0; i < r.faults.size(); ++i) {
            const AgentFault& f = r.faults[i];
            out += (i ? ", " : "") + std::string("{\"decision\": ") + std::to_string(f.decision) +
                   ", \"kind\": " + JsonString(f.kind) + ", \"detail\": " + JsonString(f.detail) +
                   "}";
        }
        out += "]";
    }
    return out;
}

std::string CsvExecHeader() {
    return ",answer_median_us,answer_p99_us,answer_max_us,timeouts,invalid,crashes,late_answers,"
           "forfeit_reason";
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string CsvExecColumns(const GameResult& r) {
    return "," + std::to_string(r.answers.medianUs) + "," + std::to_string(r.answers.p99Us) + "," +
           std::to_string(r.answers.maxUs) + "," + std::to_string(FaultsOf(r, "timeout")) + "," +
           std::to_string(FaultsOf(r, "invalid")) + "," + std::to_string(FaultsOf(r, "crash")) +
           "," + std::to_string(r.lateAnswers) + "," + CsvField(r.forfeitReason);
}

namespace {

// A game's answer times, as JsonTimes writes them with the histogram: every member once, the
// buckets rising and holding the count between them.
void ReadTimes(JsonCursor& in, AnswerTimes* t) {
    std::string key;
    ObjectKeys keys("the answer times", {"answers", "median", "p99", "max", "histogram"});
    in.BeginObject();
    while (in.NextKey(&key)) {
        keys.Take(in, key);
        if (key == "answers") {
            t->count = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "median") {
            t->medianUs = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "p99") {
            t->p99Us = in.Integer(0, INT64_C(1) << 52);
        } else if (key == "max") {
            t->maxUs = in.Integer(0, INT64_C(1) << 52);
        } else {
            in.BeginArray();
            int64_t counted = 0;
            while (in.More()) {
                in.BeginArray();
                uint32_t pair[2] = {0, 0};
                for (int i = 0; i < 2; ++i) {
                    if (!in.More()) {
                        in.Fail("a histogram bucket has two figures");
                    }
                    pair[i] = static_cast<uint32_t>(
                        in.Integer(0, i == 0 ? TIME_BUCKETS - 1 : UINT32_MAX));
                }
                if (in.More()) {
                    in.Fail("a histogram bucket has two figures");
                }
                if (!t->histogram.empty() && pair[0] <= t->histogram.back().first) {
                    in.Fail("the histogram's buckets do not rise");
                }
                t->histogram.emplace_back(pair[0], pair[1]);
                counted += pair[1];
            }
            if (keys.Has("answers") && counted != t->count) {
                in.Fail("the histogram holds " + std::to_string(counted) + " answers, not " +
                        std::to_string(t->count));
            }
        }
    }
    keys.Require(in, {"answers", "median", "p99", "max", "histogram"});
    if (t->medianUs > t->p99Us || t->p99Us > t->maxUs) {
        in.Fail("the answer times' median, p99 and max do not rise");
    }
}

}  // namespace

bool ReadExecMember(JsonCursor& in, const std::string& key, GameResult* r,
                    std::map<std::string, int64_t>* faultCounts) {
    if (key == "answer_us") {
        ReadTimes(in, &r->answers);
    } else if (key == "late_answers") {
        r->lateAnswers = in.Integer(0, INT64_C(1) << 52);
    } else if (key == "forfeit_reason") {
        r->forfeitReason = in.String(MAX_EXEC_TEXT);
    } else if (key == "fault_list") {
        in.BeginArray();
        while (in.More()) {
            AgentFault f;
            std::string member;
            ObjectKeys keys("a fault", {"decision", "kind", "detail"});
            in.BeginObject();
            while (in.NextKey(&member)) {
                keys.Take(in, member);
                if (member == "decision") {
                    f.decision = in.Integer(-1, INT64_C(1) << 52);
                } else if (member == "kind") {
                    f.kind = in.String(MAX_EXEC_TEXT);
                    if (!IsFaultKind(f.kind)) {
                        in.Fail("an unknown fault kind \"" + f.kind + "\"");
                    }
                } else {
                    f.detail = in.String(MAX_EXEC_TEXT);
                }
            }
            keys.Require(in, {"decision", "kind", "detail"});
            r->faults.push_back(std::move(f));
        }
    } else if (key == "faults") {
        // Each kind's count, once each; the list read with the row must give the same.
        std::map<std::string, int64_t> counts;
        std::string kind;
        in.BeginObject();
        while (in.NextKey(&kind)) {
            if (!IsFaultKind(kind)) {
                in.Fail("an unknown fault kind \"" + kind + "\"");
            }
            if (counts.count(kind)) {
                in.Fail("the faults give \"" + kind + "\" twice");
            }
            counts[kind] = in.Integer(0, INT64_C(1) << 52);
        }
        // A kind shown only when it occurred is 0 when absent.
        for (size_t k = 0; k < std::size(FAULT_KINDS); ++k) {
            if (!counts.count(FAULT_KINDS[k]) && FaultKindShown(k, 0)) {
                in.Fail(std::string("the faults give no \"") + FAULT_KINDS[k] + "\"");
            }
        }
        if (faultCounts != nullptr) {
            *faultCounts = std::move(counts);
        }
    } else {
        return false;
    }
    r->exec = true;
    return true;
}

}  // namespace gulper
