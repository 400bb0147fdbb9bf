// Exec agents: the programs kept for runs of games, and the Gulper each steers, with every
// budget and fault kept here, on our side.
#include "protocol/exec_player.h"

#include <map>

#include "protocol/exec_session.h"

namespace gulper {

namespace {

// Stray lines a game keeps the text of, and the most it takes before the agent is taken to be
// writing without end: each one costs the agent only its own time, but is kept in the record.
constexpr int64_t STRAYS_QUOTED = 10;
constexpr int64_t MAX_STRAYS = 10000;

}  // namespace

namespace {

std::map<std::string, std::shared_ptr<ExecSession>>& Sessions() {
    static std::map<std::string, std::shared_ptr<ExecSession>> sessions;
    return sessions;
}

std::map<std::string, std::unique_ptr<AgentEntry>>& Entries() {
    static std::map<std::string, std::unique_ptr<AgentEntry>> entries;
    return entries;
}

std::shared_ptr<ExecSession> SessionFor(const std::string& name) {
    auto& slot = Sessions()[name];
    if (!slot) {
        slot = std::make_shared<ExecSession>(name.substr(std::string(EXEC_PREFIX).size()));
    }
    return slot;
}

int64_t MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

// What a line the agent wrote is, at most this much of it, for a fault's detail.
std::string Quote(const std::string& line) {
    std::string shown = line.substr(0, 60);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
            c = '?';
        }
    }
    return "\"" + shown + (line.size() > 60 ? "...\"" : "\"");
}

}  // namespace

bool IsExecName(const std::string& name) {
    return name.compare(0, std::string(EXEC_PREFIX).size(), EXEC_PREFIX) == 0;
}

const AgentEntry* ExecAgentEntry(const std::string& name) {
    if (!IsExecName(name) || name.find_first_not_of(" \t", 5) == std::string::npos) {
        return nullptr;
    }
    auto& slot = Entries()[name];
    if (!slot) {
        slot = std::make_unique<AgentEntry>();
        slot->name = name;
        slot->summary = "a program played over the line protocol";
        slot->player = [name] { return std::make_unique<ExecPlayer>(SessionFor(name)); };
    }
    return slot.get();
}

namespace {

// Ends every program this process started: input closed, a short grace, then killed with
// its process group.
void StopExecAgents() {
    for (auto& [name, session] : Sessions()) {
        session->Stop();
    }
}

const AgentFamilyRegistration family{EXEC_PREFIX, ExecAgentEntry, StopExecAgents};

}  // namespace

ExecPlayer::ExecPlayer(std::shared_ptr<ExecSession> session_)
    : held(std::move(session_)), session(*held) {}

ExecPlayer::~ExecPlayer() {
    // A game left before its end (the viewer restarting one): the program hears it ended.
    if (started && !ended && !forfeited && session.child.Running()) {
        session.channel->Write(EndLine("unfinished", Score(), lastTicks),
                               Clock::now() + std::chrono::milliseconds(budgets.decisionMs));
    }
}

void ExecPlayer::Forfeit(const std::string& kind, const std::string& detail) {
    if (!forfeited) {
        faults.push_back({decision, kind, detail});
        forfeited = true;
        forfeitReason = kind + ": " + detail;
    }
}

void ExecPlayer::Fault(const std::string& kind, const std::string& detail, bool fatal) {
    if (fatal) {
        Forfeit(kind, detail);
        return;
    }
    faults.push_back({decision, kind, detail});
    if (++strikes > budgets.faultLimit) {
        forfeited = true;
        forfeitReason = kind + ": more than " + std::to_string(budgets.faultLimit) +
                        " faults in the game, the last: " + detail;
    }
}

void ExecPlayer::Stray(const std::string& line) {
    ++strays;
    faults.push_back({decision, "stray", strays <= STRAYS_QUOTED ? Quote(line) : std::string()});
    if (strays > MAX_STRAYS) {
        Forfeit("stray", "more than " + std::to_string(MAX_STRAYS) +
                             " lines in the game that answered nothing asked");
    }
}

bool ExecPlayer::Late() {
    if (session.owed <= 0) {
        return false;
    }
    --session.owed;
    ++lateDropped;
    return true;
}

void ExecPlayer::TakeWaiting() {
    std::string line;
    while (!forfeited && session.channel->ReadLine(&line, Clock::now()) == LineStatus::LINE) {
        if (!Late()) {
            Stray(line);
        }
    }
}

void ExecPlayer::StartGame(uint32_t seed, const GameSettings& settings) {
    // A player may serve game after game (Python's agents do): each starts with nothing of
    // the last one's.
    decision = -1;
    lastTicks = 0;
    action = ACTION_KEEP;
    plan = AgentPlan();
    ended = false;
    forfeited = false;
    forfeitReason.clear();
    faults.clear();
    strikes = 0;
    strays = 0;
    lateDropped = 0;
    protocol = 1;
    answerUs.clear();
    name.clear();
    started = true;
    budgets = settings.budgets;
    bank = OverageBank(budgets.decisionMs * 1000, budgets.overageMs * 1000);
    std::string why;
    if (!session.Ready(budgets, &why)) {
        Forfeit("crash", why);
        return;
    }
    session.errors->StartGame(seed, session.command);
    // Whatever came after the last game's end, or before this hello, answers nothing.
    TakeWaiting();
    if (forfeited) {
        return;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(budgets.startMs);
    if (!session.channel->Write(HelloLine(seed, settings), deadline)) {
        Forfeit(session.child.HasEnded() ? "crash" : "timeout",
                session.child.HasEnded() ? session.Gone() : "the agent did not read its hello");
        return;
    }
    std::string line;
    while (true) {
        switch (session.channel->ReadLine(&line, deadline)) {
            case LineStatus::LINE: {
                if (Late()) {
                    continue;
                }
                HelloAnswer hello;
                const bool ok = ParseHelloAnswer(line, &hello, &why);
                if (!hello.named) {
                    // A banner or a leftover: the answer is the line that gives a name.
                    Stray(line);
                    if (forfeited) {
                        return;
                    }
                    continue;
                }
                if (!ok) {
                    Forfeit("invalid", "the answer to hello " + Quote(line) + ": " + why);
                    return;
                }
                name = hello.name;
                protocol = hello.protocol;
                return;
            }
            case LineStatus::TIMEOUT:
                Forfeit("timeout",
                        "no answer to hello in " + std::to_string(budgets.startMs) + " ms");
                return;
            case LineStatus::CLOSED:
                Forfeit("crash", session.Gone() + " before answering hello");
                return;
            case LineStatus::TOO_LONG:
                Forfeit("invalid",
                        "a line longer than " + std::to_string(budgets.lineBytes) + " bytes");
                return;
        }
    }
}

void ExecPlayer::BeforeDecision(int64_t ticks) {
    ++decision;
    lastTicks = ticks;
    action = ACTION_KEEP;
    if (forfeited) {
        return;
    }
    LineChannel& channel = *session.channel;
    TakeWaiting();
    if (forfeited) {
        return;
    }
    const Clock::time_point sent = Clock::now();
    const Clock::time_point deadline = sent + std::chrono::microseconds(bank.DeadlineUs());
    if (!channel.Write(DecideLine(decision, ReadObservation(*this, ticks)), deadline)) {
        if (session.child.HasEnded()) {
            Forfeit("crash", session.Gone());
        } else {
            Forfeit("timeout", "the agent stopped reading its input");
        }
        return;
    }
    std::string line, why;
    while (true) {
        switch (channel.ReadLine(&line, deadline)) {
            case LineStatus::LINE: {
                Answer answer;
                const bool ok = ParseAnswer(line, &answer, &why, protocol);
                // Version 1 answers in order, so the lines owed to decisions whose time ran out
                // come first. Version 2 names its decision: a line that is not this decision's
                // answer (another number, or no answer at all) is dropped and never falls due.
                if (protocol == 1 && Late()) {
                    continue;
                }
                if (protocol == 2 && answer.decision != decision && (!ok || answer.decision >= 0)) {
                    if (answer.decision < 0 || answer.decision > decision || !Late()) {
                        Stray(line);
                    }
                    if (forfeited) {
                        return;
                    }
                    continue;
                }
                const int64_t took = MicrosecondsSince(sent);
                bank.Charge(took);
                answerUs.push_back(took);
                if (!ok) {
                    Fault("invalid", Quote(line) + ": " + why, false);
                    return;
                }
                if (protocol == 2 && answer.decision < 0) {
                    Fault("invalid", Quote(line) + ": a protocol 2 answer gives its \"decision\"",
                          false);
                    return;
                }
                action = answer.action;
                if (answer.hasPlan) {
                    plan = std::move(answer.plan);
                }
                return;
            }
            case LineStatus::TIMEOUT:
                bank.Expire();
                ++session.owed;
                Fault("timeout",
                      "no answer in " + std::to_string(budgets.decisionMs) +
                          " ms with the overage spent",
                      false);
                return;
            case LineStatus::CLOSED:
                Forfeit("crash", session.Gone());
                return;
            case LineStatus::TOO_LONG:
                Forfeit("invalid",
                        "a line longer than " + std::to_string(budgets.lineBytes) + " bytes");
                return;
        }
    }
}

void ExecPlayer::Think() {
    if (action != ACTION_KEEP) {
        direction = DirectionOfAction(action);
    }
}

void ExecPlayer::EndGame(GameResult& result) {
    ended = true;
    if (forfeited) {
        // A fresh program for the next game.
        session.child.Kill();
    } else if (session.child.Running()) {
        TakeWaiting();
        session.channel->Write(EndLine(OutcomeName(result.outcome), result.score, result.ticks),
                               Clock::now() + std::chrono::milliseconds(budgets.decisionMs));
        session.channel->Drain();
    }
    if (session.errors) {
        session.errors->EndGame();
    }
    result.exec = true;
    result.faults = std::move(faults);
    result.forfeitReason = forfeitReason;
    result.lateAnswers = lateDropped;
    result.execName = name;
    result.answers = TimesOf(std::move(answerUs));
}

}  // namespace gulper
