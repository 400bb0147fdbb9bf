// The writers of text that comes from outside: JSON strings are valid UTF-8 whatever the bytes,
// and text for the terminal carries no control character.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/json_reader.h"
#include "formats/json_writer.h"
#include "formats/terminal_text.h"
#include "study/summary.h"

using namespace gulper;

TEST(JsonStringTest, WritesValidUtf8WhateverTheBytes) {
    EXPECT_EQ(JsonString("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
    EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");
    // Stray, overlong and surrogate bytes become U+FFFD, one each.
    EXPECT_EQ(JsonString("\xff"), "\"\\ufffd\"");
    EXPECT_EQ(JsonString("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xe2\x82"), "\"\\ufffd\\ufffd\"");
    // Four-byte forms: overlong below U+10000, past U+10FFFF, and the highest and lowest kept.
    EXPECT_EQ(JsonString("\xf0\x8f\xbf\xbf"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"),
              "\"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\"");
    EXPECT_EQ(JsonString("\xe0\x9f\xbf"), "\"\\ufffd\\ufffd\\ufffd\"");
}

TEST(TerminalTextTest, ControlCharactersAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(TerminalText("planner"), "planner");
    EXPECT_EQ(TerminalText("caf\xc3\xa9 \xe2\x82\xac"), "caf\xc3\xa9 \xe2\x82\xac");
    // An escape sequence, a carriage return, DEL, the C1 CSI (U+009B) and a stray byte.
    EXPECT_EQ(TerminalText("\x1b[31mred\r\x7f"), "?[31mred??");
    EXPECT_EQ(TerminalText("a\xc2\x9b"
                           "2Jb\xff"),
              "a?2Jb?");
    EXPECT_EQ(TerminalText("\xc2\xa0"), "\xc2\xa0");  // U+00A0 is printable
    // The summary names the agent so.
    RunSummary s;
    s.agent = "exec:printf '\x1b]0;title\x07'";
    std::ostringstream out;
    PrintSummary(out, s);
    EXPECT_NE(out.str().find("agent:        exec:printf '?]0;title?'\n"), std::string::npos)
        << out.str();
}

TEST(JsonCursorTest, ReadsWhatTheWritersWriteAndNothingElse) {
    const std::string text =
        "{\"a\": false, \"b\": true, \"s\": " + JsonString("x\n\xff") + ", \"n\": [1, -2]}";
    JsonCursor in(text);
    std::string key;
    in.BeginObject();
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_FALSE(in.Bool());
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_TRUE(in.Bool());
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_EQ(in.String(), "x\n\xef\xbf\xbd");
    ASSERT_TRUE(in.NextKey(&key) && key == "n");
    in.BeginArray();
    ASSERT_TRUE(in.More());
    EXPECT_EQ(in.Integer(0, 9), 1);
    ASSERT_TRUE(in.More());
    EXPECT_THROW(in.Integer(0, 9), JsonError);  // out of its range
    for (const std::string bad : {"fals", "tru e", "\"unended", "[1,]", "{\"a\" 1}"}) {
        JsonCursor other(bad);
        EXPECT_THROW(other.Skip(), JsonError) << bad;
    }
}
