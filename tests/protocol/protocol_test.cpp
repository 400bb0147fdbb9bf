// The protocol's lines and the reading of answers: every malformed answer is refused with a
// reason, and what we send parses back as the documented JSON.
#include <gtest/gtest.h>

#include "formats/json_reader.h"
#include "game/game_state.h"
#include "protocol/protocol.h"

using namespace gulper;

namespace {

bool Parses(const std::string& line, Answer* answer = nullptr) {
    Answer a;
    std::string why;
    const bool ok = ParseAnswer(line, &a, &why);
    if (!ok) {
        EXPECT_FALSE(why.empty()) << line;
    }
    if (answer != nullptr) {
        *answer = a;
    }
    return ok;
}

TEST(AnswerTest, TakesActionsBareOrInAnObject) {
    Answer a;
    ASSERT_TRUE(Parses("3", &a));
    EXPECT_EQ(a.action, 3);
    ASSERT_TRUE(Parses(" {\"action\": 4, \"extra\": [1, {\"x\": null}]} ", &a));
    EXPECT_EQ(a.action, 4);
    EXPECT_FALSE(a.hasPlan);
    ASSERT_TRUE(
        Parses("{\"action\":0,\"plan\":{\"route\":[[9,5],[10,5]],\"goal\":[10,5],"
               "\"state\":\"feeding\"}}",
               &a));
    EXPECT_TRUE(a.hasPlan);
    ASSERT_EQ(a.plan.route.size(), 2u);
    EXPECT_EQ(a.plan.route[1], GridPoint(10, 5));
    ASSERT_TRUE(a.plan.goal.has_value());
    EXPECT_EQ(*a.plan.goal, GridPoint(10, 5));
    EXPECT_EQ(a.plan.state, "feeding");
}

TEST(AnswerTest, RefusesMalformedAnswers) {
    for (const char* line : {"",
                             "   ",
                             "{",
                             "{\"action\": 1",
                             "{\"action\": 1}}",
                             "{\"act\": 1}",
                             "[1]",
                             "\"1\"",
                             "true",
                             "null",
                             "5",
                             "-1",
                             "1.5",
                             "1e999",
                             "99999999999999999999999999",
                             "3 3",
                             "{\"action\": 5}",
                             "{\"action\": -0.5}",
                             "{\"action\": \"2\"}",
                             "{\"action\": 1e300}",
                             "{\"action\": 2, \"action\": 9}",
                             "{\"action\": 1, \"plan\": 3}"}) {
        EXPECT_FALSE(Parses(line)) << line;
    }
}

TEST(AnswerTest, RefusesPlansWithBadCellsOrWords) {
    for (const char* plan :
         {"{\"route\": [[19, 0]]}", "{\"route\": [[0, 22]]}", "{\"route\": [[-1, 0]]}",
          "{\"route\": [[1]]}", "{\"route\": [[1, 2, 3]]}", "{\"route\": [1, 2]}",
          "{\"goal\": [3]}", "{\"goal\": [3, 4.5]}", "{\"goal\": \"here\"}",
          "{\"state\": \"two words\"}", "{\"state\": \"\"}", "{\"state\": 3}",
          "{\"state\": \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"}", "{\"state\": \"line\\nbreak\"}"}) {
        EXPECT_FALSE(Parses(std::string("{\"action\": 1, \"plan\": ") + plan + "}")) << plan;
    }
    // A route over more cells than the board has is refused, not stored.
    std::string route = "[";
    for (int i = 0; i <= BOARD_CELLS; ++i) {
        route += (i ? ",[1,1]" : "[1,1]");
    }
    EXPECT_FALSE(Parses("{\"action\": 1, \"plan\": {\"route\": " + route + "]}}"));
}

TEST(AnswerTest, ReadsTheHelloAnswer) {
    HelloAnswer hello;
    std::string why;
    EXPECT_TRUE(ParseHelloAnswer("{\"name\": \"nearest-food (Python)\"}", &hello, &why));
    EXPECT_EQ(hello.name, "nearest-food (Python)");
    EXPECT_EQ(hello.protocol, 1);
    EXPECT_TRUE(ParseHelloAnswer("{\"protocol\": 2, \"name\": \"n\"}", &hello, &why));
    EXPECT_EQ(hello.protocol, 2);
    // Only a line with a name is taken for the answer: the rest are strays.
    for (const char* line : {"{\"name\": 3}", "{\"name\": \"\"}", "{\"name\": \"a\\u0007\"}",
                             "{\"name\": \"0123456789012345678901234567890123\"}",
                             "{\"name\": \"n\", \"protocol\": 3}",
                             "{\"name\": \"n\", \"protocol\": 0}", "{\"name\": \"n\""}) {
        EXPECT_FALSE(ParseHelloAnswer(line, &hello, &why)) << line;
        EXPECT_TRUE(hello.named) << line;
    }
    for (const char* line : {"{}", "3", "starting up", "{\"action\": 0}", "{\"x\": \"name\"}"}) {
        EXPECT_FALSE(ParseHelloAnswer(line, &hello, &why)) << line;
        EXPECT_FALSE(hello.named) << line;
    }
}

TEST(AnswerTest, ReadsTheDecisionAnAnswerEchoes) {
    Answer a;
    ASSERT_TRUE(Parses("{\"decision\": 5, \"action\": 3}", &a));
    EXPECT_EQ(a.decision, 5);
    EXPECT_EQ(a.action, 3);
    ASSERT_TRUE(Parses("{\"action\": 3}", &a));
    EXPECT_EQ(a.decision, -1);
    ASSERT_TRUE(Parses("2", &a));
    EXPECT_EQ(a.decision, -1);
    // Version 1 never read it, and still does not.
    std::string why;
    ASSERT_TRUE(ParseAnswer("{\"decision\": \"five\", \"action\": 3}", &a, &why, 1));
    EXPECT_EQ(a.decision, -1);
    for (const char* line :
         {"{\"decision\": -1, \"action\": 3}", "{\"decision\": 1.5, \"action\": 3}",
          "{\"decision\": \"5\", \"action\": 3}", "{\"decision\": 5}"}) {
        EXPECT_FALSE(Parses(line)) << line;
    }
}

TEST(ProtocolLinesTest, HelloAndEndParseBack) {
    GameSettings start;
    start.maxTicks = 500;
    start.configPath = "data//config.txt";
    start.configText = "fps 20\n\xff";
    const std::string hello = HelloLine(7, start);
    ASSERT_EQ(hello.back(), '\n');
    EXPECT_EQ(hello.find('\n'), hello.size() - 1);
    JsonCursor in(hello);
    std::string key;
    int seen = 0;
    in.BeginObject();
    while (in.NextKey(&key)) {
        if (key == "type") {
            EXPECT_EQ(in.String(), "hello");
        } else if (key == "protocol") {
            EXPECT_EQ(in.Integer(0, 9), PROTOCOL_VERSION);
        } else if (key == "seed") {
            EXPECT_EQ(in.Integer(0, 100), 7);
        } else if (key == "settings") {
            EXPECT_EQ(in.String(), "fps 20\n\xef\xbf\xbd");
        } else if (key == "budgets") {
            in.BeginObject();
            while (in.NextKey(&key)) {
                EXPECT_GE(in.Integer(0, INT64_C(1) << 40), 0);
                ++seen;
            }
            continue;
        } else {
            in.Skip();
        }
    }
    in.End();
    EXPECT_GE(seen, 3);
    EXPECT_EQ(EndLine("won", 4330, 9000),
              "{\"type\":\"end\",\"outcome\":\"won\",\"score\":4330,\"ticks\":9000}\n");
}

TEST(ProtocolLinesTest, TheObservationHasEveryFieldInItsShape) {
    Observation obs{};
    obs.board[0] = 1;
    obs.board[BOARD_CELLS - 1] = 9;
    obs.ghostCell[3][1] = 12;
    obs.tick = INT64_C(1) << 40;
    const std::string line = DecideLine(5, obs);
    JsonCursor in(line);
    std::string key;
    in.BeginObject();
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_EQ(key, "type");
    in.Skip();
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_EQ(in.Integer(0, 9), 5);
    ASSERT_TRUE(in.NextKey(&key));
    ASSERT_EQ(key, "obs");
    in.BeginObject();
    size_t field = 0;
    while (in.NextKey(&key)) {
        const ObservationField& f = ObservationFields().at(field++);
        EXPECT_EQ(key, f.name);
        if (key == "board") {
            in.BeginArray();
            int rows = 0;
            while (in.More()) {
                in.BeginArray();
                int columns = 0;
                while (in.More()) {
                    const int64_t v = in.Integer(0, 9);
                    if (rows == 0 && columns == 0) {
                        EXPECT_EQ(v, 1);
                    }
                    if (rows == BOARD_ROWS - 1 && columns == BOARD_COLUMNS - 1) {
                        EXPECT_EQ(v, 9);
                    }
                    ++columns;
                }
                EXPECT_EQ(columns, BOARD_COLUMNS);
                ++rows;
            }
            EXPECT_EQ(rows, BOARD_ROWS);
        } else if (key == "ghost_cell") {
            in.BeginArray();
            int ghosts = 0;
            while (in.More()) {
                in.BeginArray();
                EXPECT_TRUE(in.More());
                in.Integer(0, 0);
                EXPECT_TRUE(in.More());
                EXPECT_EQ(in.Integer(0, 99), ghosts == 3 ? 12 : 0);
                EXPECT_FALSE(in.More());
                ++ghosts;
            }
            EXPECT_EQ(ghosts, GHOST_COLOURS);
        } else if (key == "tick") {
            EXPECT_EQ(in.Integer(0, INT64_C(1) << 50), INT64_C(1) << 40);
        } else {
            in.Skip();
        }
    }
    EXPECT_EQ(field, ObservationFields().size());
}

}  // namespace
