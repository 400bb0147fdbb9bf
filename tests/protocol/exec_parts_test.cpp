// The parts under an exec agent: the overage bank, answer-time figures, the worker frame's
// exec part, and a real child's pipes and process group.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "episode/answer_times.h"
#include "formats/json_reader.h"
#include "process/budgets.h"
#include "process/child_process.h"
#include "process/error_sink.h"
#include "process/line_channel.h"
#include "study/exec_stats.h"
#include "study/result_frame.h"

using namespace gulper;

namespace {

TEST(OverageBankTest, TakesOnlyTimeOverTheDecisionsOwn) {
    OverageBank bank(100, 250);
    EXPECT_EQ(bank.DeadlineUs(), 350);
    bank.Charge(80);  // in time: the bank is untouched
    EXPECT_EQ(bank.LeftUs(), 250);
    bank.Charge(100);
    EXPECT_EQ(bank.LeftUs(), 250);
    bank.Charge(220);  // 120 over
    EXPECT_EQ(bank.LeftUs(), 130);
    EXPECT_EQ(bank.DeadlineUs(), 230);
    bank.Charge(1000);  // more than is left: empty, never below
    EXPECT_EQ(bank.LeftUs(), 0);
    EXPECT_EQ(bank.DeadlineUs(), 100);
    OverageBank spent(100, 50);
    spent.Expire();
    EXPECT_EQ(spent.DeadlineUs(), 100);
}

TEST(AnswerTimesTest, ExactPerGameAndWithinABucketOverGames) {
    std::vector<int64_t> us;
    for (int i = 1; i <= 200; ++i) {
        us.push_back(i * 10);
    }
    const AnswerTimes t = TimesOf(us);
    EXPECT_EQ(t.count, 200);
    EXPECT_EQ(t.medianUs, 1000);
    EXPECT_EQ(t.p99Us, 1980);
    EXPECT_EQ(t.maxUs, 2000);
    const AnswerTimes none = TimesOf({});
    const AnswerTimes joined = JoinTimes({&t, &none, &t});
    EXPECT_EQ(joined.count, 400);
    EXPECT_EQ(joined.maxUs, 2000);
    EXPECT_LE(joined.medianUs, 1000);
    EXPECT_GE(joined.medianUs, 1000 * 7 / 8);
    EXPECT_LE(joined.p99Us, 1980);
    EXPECT_GE(joined.p99Us, 1980 * 7 / 8);
    for (int64_t v :
         std::vector<int64_t>{0, 1, 15, 16, 17, 1000, 123456, INT64_C(1) << 40, INT64_MAX}) {
        const uint32_t b = TimeBucket(v);
        ASSERT_LT(b, TIME_BUCKETS);
        EXPECT_LE(BucketFloor(b), v);
        if (v < (INT64_C(1) << 43)) {
            EXPECT_GT(BucketFloor(b) * 9 / 8 + 1, v) << v;
        }
    }
}

GameResult ExecGame() {
    GameResult r;
    r.exec = true;
    r.outcome = GameOutcome::FORFEIT;
    r.forfeitReason = "crash: the agent exited with status 3";
    r.lateAnswers = 2;
    r.answers = TimesOf({50, 60, 70000});
    r.faults = {{4, "timeout", "no answer"}, {9, "crash", "the agent, exited"}};
    return r;
}

TEST(ExecFrameTest, RoundTripsAndRefusesDamage) {
    const GameResult r = ExecGame();
    const std::string bytes = EncodeExec(r);
    GameResult back;
    back.outcome = GameOutcome::FORFEIT;  // the frame's head carries it
    ASSERT_TRUE(DecodeExec(bytes.data(), bytes.size(), &back));
    EXPECT_EQ(JsonExecRow(back), JsonExecRow(r));
    EXPECT_EQ(CsvExecColumns(back), CsvExecColumns(r));
    // Every cut short, and one byte more, is refused.
    for (size_t n = 0; n < bytes.size(); ++n) {
        GameResult cut;
        EXPECT_FALSE(DecodeExec(bytes.data(), n, &cut)) << n;
    }
    GameResult longer;
    const std::string more = bytes + "x";
    EXPECT_FALSE(DecodeExec(more.data(), more.size(), &longer));
    // A fault kind past the known ones, or a histogram that does not add up.
    std::string badKind = bytes;
    badKind[badKind.size() - r.faults.back().detail.size() - 5] =
        static_cast<char>(std::size(FAULT_KINDS));  // the first unknown
    GameResult bad;
    EXPECT_FALSE(DecodeExec(badKind.data(), badKind.size(), &bad));
    std::string badCount = bytes;
    badCount[0] = 9;
    EXPECT_FALSE(DecodeExec(badCount.data(), badCount.size(), &bad));
}

TEST(ExecStatsTest, SummaryGivesForfeitsByReasonAndStraysOnlyWhenThere) {
    auto game = [](const std::string& reason) {
        GameResult r;
        r.exec = true;
        r.outcome = reason.empty() ? GameOutcome::LOST : GameOutcome::FORFEIT;
        r.forfeitReason = reason;
        return r;
    };
    auto summary = [](const std::vector<GameResult>& games) {
        ExecSummary s;
        SummariseExec(games, s);
        std::ostringstream out;
        PrintExecSummary(out, s);
        return out.str() + "|" + ExecLine(s);
    };
    // Without forfeits or strays, the lines are as they always were.
    const std::string clean = summary({game(""), game("")});
    EXPECT_NE(clean.find("forfeit:      0\nanswer time:"), std::string::npos) << clean;
    EXPECT_NE(clean.find("faults:       timeout 0, invalid 0, crash 0; late"), std::string::npos);
    EXPECT_EQ(clean.find("stray"), std::string::npos);
    EXPECT_NE(clean.find("|forfeit 0; answer time"), std::string::npos);
    // Reasons grouped without the agent's words, the commonest first; the hint for a hello
    // never answered.
    std::vector<GameResult> games = {
        game("timeout: no answer to hello in 10000 ms"),
        game("invalid: more than 10 faults in the game, the last: \"x\": not JSON"),
        game("timeout: no answer to hello in 10000 ms"),
        game("invalid: the answer to hello \"{\"name\":3}\": a string"),
        game("invalid: the answer to hello \"{\"name\":\"\"}\": too short"),
        game("")};
    games.back().faults.push_back({3, "stray", ""});
    const std::string text = summary(games);
    EXPECT_NE(text.find("forfeit:      5 (no answer to hello in 10000 ms: 2; the answer to hello "
                        "(invalid): 2; more than 10 faults in the game, the last invalid: 1)\n"
                        "              no answer to hello: does the agent flush its standard "
                        "output after each line? see docs/agent-protocol.md\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("crash 0, stray 1; late"), std::string::npos) << text;
    EXPECT_NE(text.find("|forfeit 5 (no answer to hello in 10000 ms: 2;"), std::string::npos);
    // No hint when every game answered its hello.
    EXPECT_EQ(summary({game("crash: the agent exited with status 3")}).find("flush"),
              std::string::npos);
    // Past five reasons the rest are counted together.
    std::vector<GameResult> many;
    for (int i = 0; i < 8; ++i) {
        many.push_back(game("crash: the agent exited with status " + std::to_string(i)));
    }
    EXPECT_NE(summary(many).find("; 3 other reasons: 3)"), std::string::npos) << summary(many);
}

TEST(ExecStatsTest, CsvFieldsAndRowsOnlyForExecGames) {
    EXPECT_EQ(CsvField("planner"), "planner");
    EXPECT_EQ(CsvField("exec:a \"b\",c"), "\"exec:a \"\"b\"\",c\"");
    EXPECT_EQ(JsonExecRow(GameResult()), "");
    const std::string row = JsonExecRow(ExecGame());
    EXPECT_NE(row.find("\"faults\": {\"timeout\": 1, \"invalid\": 0, \"crash\": 1}"),
              std::string::npos)
        << row;
    EXPECT_NE(row.find("\"forfeit_reason\": \"crash: the agent exited with status 3\""),
              std::string::npos);
    EXPECT_EQ(CsvExecColumns(ExecGame()),
              ",60,70000,70000,1,0,1,2,crash: the agent exited with status 3");
    // A merged part's row is read back with every kind of fault, and no other kind.
    GameResult every = ExecGame();
    every.faults.push_back({12, "invalid", "no answer"});
    every.faults.push_back({13, "stray", "\"{}\""});
    const std::string written = "{" + JsonExecRow(every).substr(1) + "}";
    JsonCursor in(written);
    GameResult back;
    back.outcome = GameOutcome::FORFEIT;  // read with the row's other fields, not here
    std::string key;
    in.BeginObject();
    while (in.NextKey(&key)) {
        ASSERT_TRUE(ReadExecMember(in, key, &back)) << key;
    }
    EXPECT_EQ(JsonExecRow(back), JsonExecRow(every));
    std::string unknown = written;
    unknown.replace(unknown.find("\"invalid\", \"detail\""), 9, "\"bogus\"");
    JsonCursor bad(unknown);
    EXPECT_THROW(
        {
            bad.BeginObject();
            while (bad.NextKey(&key)) {
                ReadExecMember(bad, key, &back);
            }
        },
        JsonError);
}

// A child's lines through a channel, with its errors dropped.
struct Child {
    explicit Child(const std::string& command, size_t maxLine = 64)
        : channel(child, errors, maxLine) {
        std::string why;
        EXPECT_TRUE(child.Start(command, &why)) << why;
    }
    LineStatus Read(std::string* line, int ms = 2000) {
        return channel.ReadLine(line, Clock::now() + std::chrono::milliseconds(ms));
    }
    ChildProcess child;
    ErrorSink errors{"drop", 0};
    LineChannel channel;
};

TEST(LineChannelTest, LinesTimeoutsEndsAndOverlongLines) {
    std::string line;
    Child echo("read a; echo \"got $a\"; echo two; exit 0");
    ASSERT_TRUE(echo.channel.Write("hi\n", Clock::now() + std::chrono::seconds(2)));
    ASSERT_EQ(echo.Read(&line), LineStatus::LINE);
    EXPECT_EQ(line, "got hi");
    ASSERT_EQ(echo.Read(&line), LineStatus::LINE);
    EXPECT_EQ(line, "two");
    EXPECT_EQ(echo.Read(&line), LineStatus::CLOSED);
    EXPECT_EQ(echo.child.Stop(), "exited with status 0");

    Child quiet("sleep 30");
    const auto start = Clock::now();
    EXPECT_EQ(quiet.Read(&line, 50), LineStatus::TIMEOUT);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));

    Child endless("while :; do printf xxxxxxxxxxxxxxxx; done", 1000);
    EXPECT_EQ(endless.Read(&line), LineStatus::TOO_LONG);
    // The limit counts the line's bytes, not its newline.
    Child longLine("printf '%0101d\\n' 0; sleep 30", 100);
    EXPECT_EQ(longLine.Read(&line), LineStatus::TOO_LONG);
    Child justFits("printf '%0100d\\n' 0; sleep 30", 100);
    EXPECT_EQ(justFits.Read(&line), LineStatus::LINE);
    EXPECT_EQ(line.size(), 100u);
}

TEST(LineChannelTest, AWriteToAProgramThatNeverReadsEndsAtItsDeadline) {
    Child deaf("sleep 30");
    const std::string big(1 << 20, 'x');
    const auto start = Clock::now();
    EXPECT_FALSE(deaf.channel.Write(big, Clock::now() + std::chrono::milliseconds(100)));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    Child gone("exit 0");
    std::string line;
    EXPECT_EQ(gone.Read(&line), LineStatus::CLOSED);
    EXPECT_FALSE(gone.channel.Write(big, Clock::now() + std::chrono::seconds(2)));  // EPIPE
}

TEST(ChildProcessTest, KnowsWhetherItHasEnded) {
    Child quiet("sleep 30");
    EXPECT_FALSE(quiet.child.HasEnded());
    Child gone("exit 3");
    std::string line;
    EXPECT_EQ(gone.Read(&line), LineStatus::CLOSED);
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
        ended = gone.child.HasEnded();
        usleep(10000);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(gone.child.Stop(), "exited with status 3");
}

// The agent's standard error passed on reaches ours, up to the game's allowance.
TEST(ErrorSinkTest, PassesOnWhatOurStandardErrorTakesUpToTheLimit) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const int saved = dup(STDERR_FILENO);
    ASSERT_GE(dup2(pipeEnds[1], STDERR_FILENO), 0);
    {
        ErrorSink sink("pass", 10);
        sink.StartGame(1, "agent");
        sink.Take("hello ", 6);
        sink.Take("agent errors", 12);
        sink.EndGame();
    }
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(pipeEnds[1]);
    std::string got;
    char chunk[256];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
        got.append(chunk, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    EXPECT_EQ(got.rfind("hello agen", 0), 0u) << got;
    EXPECT_EQ(got.find("errors"), std::string::npos) << got;
}

TEST(ChildProcessTest, StoppingEndsTheWholeGroup) {
    char folder[] = "/tmp/gulper-child-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string pidFile = std::string(folder) + "/pid";
    ChildProcess child;
    std::string why;
    // A child that leaves a grandchild behind, which ignores SIGTERM and holds no pipe.
    ASSERT_TRUE(
        child.Start("trap '' TERM; (trap '' TERM; sleep 60) </dev/null >/dev/null 2>&1 & "
                    "echo $! >" +
                        pidFile + "; exec sleep 60",
                    &why));
    pid_t grandchild = 0;
    for (int i = 0; i < 200 && grandchild == 0; ++i) {
        usleep(10000);
        std::ifstream(pidFile) >> grandchild;
    }
    ASSERT_GT(grandchild, 0);
    const auto start = Clock::now();
    child.Stop(50);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    usleep(100000);
    // Killed: gone, or a zombie waiting for the init process.
    std::ifstream stat("/proc/" + std::to_string(grandchild) + "/stat");
    std::string text;
    std::getline(stat, text);
    EXPECT_TRUE(text.empty() || text.find(") Z") != std::string::npos) << text;
    EXPECT_FALSE(child.Running());
    std::remove(pidFile.c_str());
    rmdir(folder);
}

TEST(ChildProcessTest, StopsWhileAForkedCopyOfUsHoldsTheKeepersPipe) {
    ChildProcess child;
    std::string why;
    ASSERT_TRUE(child.Start("exec sleep 60", &why)) << why;
    // A worker forked after the agent started keeps a copy of every pipe of ours.
    const pid_t copy = fork();
    if (copy == 0) {
        sleep(60);
        _exit(0);
    }
    ASSERT_GT(copy, 0);
    EXPECT_EQ(child.Stop(0), "was killed by signal 9 (Killed)");
    EXPECT_FALSE(child.Running());
    kill(copy, SIGKILL);
    waitpid(copy, nullptr, 0);
}

TEST(ChildProcessTest, TellsHowTheProgramEndedAndWhatItWasStartedWith) {
    ChildProcess child;
    std::string why;
    setenv("GULPER_TEST_KEPT", "ours", 1);
    ASSERT_TRUE(child.Start("echo \"$GULPER_TEST_KEPT $GULPER_TEST_ADDED\"; exit 3",
                            {"GULPER_TEST_KEPT=theirs", "GULPER_TEST_ADDED=added"}, &why));
    char text[64] = {};
    for (int i = 0; i < 500 && !child.HasEnded(); ++i) {
        usleep(10000);
    }
    ASSERT_TRUE(child.HasEnded());
    EXPECT_GT(read(child.Output(), text, sizeof text - 1), 0);
    EXPECT_STREQ(text, "ours added\n");  // a variable we set is left as we set it
    EXPECT_EQ(child.Stop(0), "exited with status 3");
    unsetenv("GULPER_TEST_KEPT");
}

}  // namespace
