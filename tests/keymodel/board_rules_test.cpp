// Every rule a board file has, each at its limit both ways, with the one
// line a wrong file gets: what a person writing a board meets first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keymodel/board.h"

namespace {

// A board file of one line per key, the keys given as their JSON.
std::string boardFile(const std::vector<std::string> &keys,
                      const std::string &top = "") {
  std::string text =
      "{\"name\": \"mine\", \"title\": \"Mine\"," + top + "\n\"keys\": [";
  for (size_t i = 0; i < keys.size(); ++i)
    text += (i ? ",\n" : "\n") + keys[i];
  return text + "\n]}";
}

std::string oneKey(const std::string &fields) {
  return boardFile({"{" + fields + "}"});
}

std::string repeated(char c, size_t n) { return std::string(n, c); }

} // namespace

// Every rule a board file has, each at its limit both ways where it has
// one: "" is a file that must be taken, anything else the one-line
// message it must get.
TEST(Board, EveryRuleAtItsLimitBothWays) {
  const std::string a = R"("code": 30, "label": "A", "x": 0, "y": 0)";
  const std::string keyA = "{" + a + "}";
  const auto withA = [&](const std::string &more) {
    return oneKey(a + ", " + more);
  };
  const auto keyWith = [](const std::string &code, const std::string &label,
                          const std::string &place) {
    return oneKey(R"("code": )" + code + R"(, "label": )" + label + ", " +
                  place);
  };
  const std::string at = R"("x": 0, "y": 0)";
  std::vector<std::string> many;
  for (int i = 1; i <= 254; ++i)
    many.push_back("{\"code\": " + std::to_string(i) + ", \"label\": \"k" +
                   std::to_string(i) + "\", \"x\": " + std::to_string(i % 40) +
                   ", \"y\": " + std::to_string(i / 40) + "}");
  std::vector<std::string> tooMany = many;
  tooMany.push_back(keyA);
  const std::pair<std::string, std::string> kCases[] = {
      // Syntax: where, and a hint for the usual slips.
      {"{\"name\": \"mine\"\n \"title\": \"Mine\"}",
       "b.json: line 2, column 8: not JSON: a comma is missing before this"},
      {boardFile({keyA + ","}),
       "b.json: line 4, column 1: not JSON: a comma after the last item: "
       "remove it"},
      {"{'name': 'mine'}", "b.json: line 1, column 2: not JSON: JSON takes "
                           "double quotes (\"), not single ones"},
      {oneKey(R"("code": 0x1E, "label": "A", "x": 0, "y": 0)"),
       "b.json: line 3, column 11: not JSON: a scan code in hexadecimal is "
       "written as a string: \"0x1E\""},
      {"{\"name\": \"mi", "b.json: line 1, column 13: not JSON (syntax "
                          "error while parsing value - invalid string: missing "
                          "closing quote; last read: '\"mi')"},
      {withA(R"("w": 1e999)"),
       "b.json: line 3, column 49: 1e999 is too large a number"},
      {withA(R"("x": 1)"), "b.json: line 3: field \"x\" given twice"},
      {boardFile({keyA}, R"( "keys": [],)"),
       "b.json: line 2: field \"keys\" given twice"},
      // The top level.
      {"[1]", "b.json: top level: not an object"},
      {R"({"name": "mine", "title": "Mine"})",
       "b.json: top level: missing field \"keys\""},
      {boardFile({keyA}, R"( "\u001b]2;X\u0007": 1,)"),
       "b.json: top level: unknown field \"\\x1B]2;X\\x07\""},
      {R"({"name": "My board", "title": "Mine", "keys": [1]})",
       "b.json: name: only a-z, 0-9, - and _ may be used"},
      {"{\"name\": \"" + repeated('n', 32) + R"(", "title": "T", "keys": [)" +
           keyA + "]}",
       ""},
      {"{\"name\": \"" + repeated('n', 33) + R"(", "title": "T", "keys": [)" +
           keyA + "]}",
       "b.json: top level: name: longer than 32 bytes"},
      {"{\"name\": \"n\", \"title\": \"" + repeated('t', 64) +
           R"(", "keys": [)" + keyA + "]}",
       ""},
      {"{\"name\": \"n\", \"title\": \"" + repeated('t', 65) +
           R"(", "keys": [)" + keyA + "]}",
       "b.json: top level: title: longer than 64 bytes"},
      {R"({"name": "n", "title": "T\u0085", "keys": [1]})",
       "b.json: top level: title: has control characters"},
      {R"({"name": "n", "title": "\u3000", "keys": [1]})",
       "b.json: top level: title: shows nothing"},
      {boardFile({}), "b.json: keys: not a list of 1 to 254 keys"},
      {boardFile(many), ""},
      {boardFile(tooMany), "b.json: keys: not a list of 1 to 254 keys"},
      // A key's fields.
      {oneKey(R"("code": 30, "label": "A", "x": 0)"),
       "b.json: keys[0] \"A\" (line 3): missing field \"y\""},
      {withA(R"("z": 1)"),
       "b.json: keys[0] \"A\" (line 3): unknown field \"z\""},
      {boardFile({"[1]"}), "b.json: keys[0] (line 3): not an object"},
      {keyWith("1", R"("A")", at), ""},
      {keyWith("254", R"("A")", at), ""},
      {keyWith(R"("0xFE")", R"("A")", at), ""},
      {keyWith(R"("0x5")", R"("A")", at), ""},
      {keyWith(R"("0X1e")", R"("A")", at), ""},
      {keyWith("0", R"("A")", at), "b.json: keys[0] \"A\" (line 3): code: not "
                                   "a scan code from 0x01 to 0xFE (a number "
                                   "or \"0xNN\")"},
      {keyWith("255", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0xFF")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("4294967326", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("-1", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith("30.0", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x+5")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x 5")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      {keyWith(R"("0x123")", R"("A")", at),
       "b.json: keys[0] \"A\" (line 3): code: not a scan code from 0x01 to "
       "0xFE (a number or \"0xNN\")"},
      // Labels.
      {keyWith("30", "\"" + repeated('L', 24) + "\"", at), ""},
      {keyWith("30", "\"" + repeated('L', 25) + "\"", at),
       "b.json: keys[0] (line 3): label: longer than 24 bytes"},
      {keyWith("30", R"("")", at), "b.json: keys[0] (line 3): label: empty"},
      {keyWith("30", R"("A\tB")", at),
       "b.json: keys[0] \"A\\x09B\" (line 3): label: has control characters"},
      {keyWith("30", R"("A\u009bB")", at),
       "b.json: keys[0] \"A\\xC2\\x9BB\" (line 3): label: has control "
       "characters"},
      {keyWith("30", R"("\u3000")", at),
       "b.json: keys[0] \"\u3000\" (line 3): label: shows nothing"},
      {keyWith("30", R"("\u200b\ufeff")", at),
       "b.json: keys[0] \"\u200b\ufeff\" (line 3): label: shows nothing"},
      {keyWith("30", R"(" A")", at),
       "b.json: keys[0] \" A\" (line 3): label: begins or ends with a blank"},
      {keyWith("30", R"("Shift down")", at),
       "b.json: keys[0] \"Shift down\" (line 3): label: ends in \" down\" or "
       "\" up\""},
      {keyWith("30", R"("0x1F")", at),
       "b.json: keys[0] \"0x1F\" (line 3): label: \"0xNN\" names keys off "
       "the board"},
      {keyWith("30", R"("0xG1")", at), ""},
      // Places and sizes.
      {withA(R"("w": 0.25, "h": 0.25)"), ""},
      {withA(R"("w": 0.2499)"),
       "b.json: keys[0] \"A\" (line 3): w: below 0.25"},
      {withA(R"("h": 1e-300)"),
       "b.json: keys[0] \"A\" (line 3): h: below 0.25"},
      {keyWith("30", R"("A")", R"("x": -0.001, "y": 0)"),
       "b.json: keys[0] \"A\" (line 3): x: negative"},
      {keyWith("30", R"("A")", R"("x": 0, "y": -1)"),
       "b.json: keys[0] \"A\" (line 3): y: negative"},
      {keyWith("30", R"("A")", R"("x": 38, "y": 19, "w": 2)"), ""},
      {keyWith("30", R"("A")", R"("x": 38.001, "y": 0, "w": 2)"),
       "b.json: keys[0] \"A\" (line 3): x + w: beyond 40 units"},
      {keyWith("30", R"("A")", R"("x": 0, "y": 19.5, "h": 0.5)"), ""},
      {keyWith("30", R"("A")", R"("x": 0, "y": 19.5, "h": 0.75)"),
       "b.json: keys[0] \"A\" (line 3): y + h: beyond 20 units"},
      {keyWith("30", R"("A")", R"("x": "1", "y": 0)"),
       "b.json: keys[0] \"A\" (line 3): x: not a number"},
      // Keys against each other.
      {boardFile({keyA, R"({"code": 30, "label": "B", "x": 1, "y": 0})"}),
       "b.json: keys[1] \"B\" (line 4): scan code 0x1E is also keys[0] \"A\" "
       "(line 3)"},
      {boardFile({keyA, R"({"code": 31, "label": "A", "x": 1, "y": 0})"}),
       "b.json: keys[1] \"A\" (line 4): label is also keys[0] \"A\" (line "
       "3)'s"},
      {boardFile({keyA, R"({"code": 31, "label": "S", "x": 0.5, "y": 0.75})"}),
       "b.json: keys[1] \"S\" (line 4): overlaps keys[0] \"A\" (line 3)"},
      {boardFile({keyA, R"({"code": 31, "label": "S", "x": 1, "y": 0})",
                  R"({"code": 32, "label": "D", "x": 0, "y": 1})"}),
       ""},
      // Places written to six decimals (thirds of a unit) may overlap by
      // a hair, which is no overlap; a thousandth is.
      {boardFile(
           {R"({"code": 30, "label": "A", "x": 0, "y": 0, "w": 1.0000005})",
            R"({"code": 31, "label": "S", "x": 1, "y": 0})"}),
       ""},
      {boardFile({R"({"code": 30, "label": "A", "x": 0, "y": 0, "w": 1.001})",
                  R"({"code": 31, "label": "S", "x": 1, "y": 0})"}),
       "b.json: keys[1] \"S\" (line 4): overlaps keys[0] \"A\" (line 3)"},
  };
  for (const auto &c : kCases) {
    Board board;
    std::string error;
    const bool taken = parseBoard(c.first, "b.json", board, error);
    EXPECT_EQ(taken, c.second.empty()) << c.first << "\n" << error;
    if (!c.second.empty()) {
      EXPECT_EQ(error, c.second) << c.first;
    }
  }
  Board board;
  std::string error;
  ASSERT_TRUE(parseBoard(oneKey(a), "b.json", board, error)) << error;
  EXPECT_EQ(board.keys[0].w, 1);
  EXPECT_EQ(board.keyOfCode[0x1E], 0);
  // The source's own name is escaped too: it may come from anywhere.
  EXPECT_FALSE(parseBoard("[1]", "b\x1b[2J.json", board, error));
  EXPECT_EQ(error, "b\\x1B[2J.json: top level: not an object");
}
