// The text formats: JSON strings written as valid UTF-8 whatever the bytes, text for the
// terminal without control characters, JSON read back strictly, and SHA-256.
#include <gtest/gtest.h>

#include <sstream>

#include "formats/json_reader.h"
#include "formats/json_writer.h"
#include "formats/sha256.h"
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

TEST(JsonCursorTest, ReadsWhatTheSimulatorWritesAndRefusesDamage) {
    const std::string good =
        R"({"a": [1, -2.5e1, true, false], "b": {"c": "x\"\u0041\n"}, "d": null})";
    JsonCursor in(good);
    std::string key;
    in.BeginObject();
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_EQ(key, "a");
    in.BeginArray();
    ASSERT_TRUE(in.More());
    EXPECT_EQ(in.Integer(0, 5), 1);
    ASSERT_TRUE(in.More());
    EXPECT_DOUBLE_EQ(in.Number(), -25.0);
    ASSERT_TRUE(in.More());
    EXPECT_TRUE(in.Bool());
    ASSERT_TRUE(in.More());
    EXPECT_FALSE(in.Bool());
    EXPECT_FALSE(in.More());
    ASSERT_TRUE(in.NextKey(&key));
    in.BeginObject();
    ASSERT_TRUE(in.NextKey(&key));
    EXPECT_EQ(in.String(), "x\"A\n");
    EXPECT_FALSE(in.NextKey(&key));
    ASSERT_TRUE(in.NextKey(&key));
    in.Skip();
    EXPECT_FALSE(in.NextKey(&key));
    in.End();

    for (const std::string& bad :
         {std::string("{\"a\": "), std::string("{\"a\" 1}"), std::string("[1 2]"),
          std::string("\"no end"), std::string("\"\\q\""), std::string("1e999"),
          std::string(40, '[') + std::string(40, ']'), std::string("{} x"),
          std::string("\"\x01\"")}) {
        JsonCursor c(bad);
        EXPECT_THROW(
            {
                c.Skip();
                c.End();
            },
            JsonError)
            << bad;
    }
    const std::string fraction = "7.5";
    JsonCursor range(fraction);
    EXPECT_THROW(range.Integer(0, 10), JsonError);
}

TEST(Sha256Test, GivesThePublishedDigests) {
    // The standard's examples: empty, one block, two blocks, a 112-byte message, and a
    // million a's (many blocks, the padding in a block of its own).
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjk"
                        "lmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Lengths either side of where the length no longer fits the last block.
    EXPECT_NE(Sha256Hex(std::string(55, 'x')), Sha256Hex(std::string(56, 'x')));
    EXPECT_EQ(Sha256Hex(std::string(64, '\0')),
              "f5a5fd42d16a20302798ef6ed309979b43003d2320d9f0e8ea9831a92759fb4b");
    // Taken piece by piece, across the blocks' edges, the digest is the same.
    for (size_t piece : {1, 7, 63, 64, 65, 1000}) {
        Sha256 sha;
        const std::string text(1000000, 'a');
        for (size_t at = 0; at < text.size(); at += piece) {
            sha.Add(text.substr(at, piece));
        }
        EXPECT_EQ(sha.Hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0")
            << piece;
    }
}

TEST(ObjectKeysTest, EachKnownKeyOnceAndNoOther) {
    const auto read = [](const std::string& text) {
        JsonCursor in(text);
        ObjectKeys keys("a game", {"seed", "score"});
        std::string key;
        in.BeginObject();
        while (in.NextKey(&key)) {
            keys.Take(in, key);
            in.Skip();
        }
        keys.Require(in, {"seed", "score"});
    };
    EXPECT_NO_THROW(read(R"({"score": 1, "seed": 2})"));
    for (const auto& [text, why] : {std::pair{R"({"seed": 1, "seed": 2, "score": 3})",
                                              "a game gives \"seed\" twice at byte 19"},
                                    {R"({"seed": 1, "sc0re": 2})", "a game has no key \"sc0re\""},
                                    {R"({"seed": 1})", "a game gives no \"score\""}}) {
        try {
            read(text);
            ADD_FAILURE() << text;
        } catch (const JsonError& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
}
