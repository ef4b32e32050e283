// Words are split at blanks and tabs outside double quotes; a value's
// quotes go. Only when every word after the board is an option is the
// tail read as options; otherwise the whole rest is the board, so a path
// typed with blanks and no quotes still works as it did.
#include "keymodel/board_tail.h"

#include <cstring>
#include <vector>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> wordsOf(const char *text) {
  std::vector<std::string> words;
  for (const char *p = text; *p != '\0';) {
    while (isBlank(*p))
      ++p;
    if (*p == '\0')
      break;
    std::string word;
    bool quoted = false;
    for (; *p != '\0' && (quoted || !isBlank(*p)); ++p)
      *p == '"' ? void(quoted = !quoted) : word.push_back(*p);
    words.push_back(word);
  }
  return words;
}

// The old rule: everything after the option, trimmed, one pair of quotes
// around it taken off.
std::string wholeRest(const char *rest) {
  while (isBlank(*rest))
    ++rest;
  const char *end = rest + std::strlen(rest);
  while (end > rest && isBlank(end[-1]))
    --end;
  std::string value(rest, end);
  const size_t n = value.size();
  if (n >= 2 && value[0] == '"' && value[n - 1] == '"')
    value = value.substr(1, n - 2);
  return value;
}

bool takeOptions(const std::vector<std::string> &words, BoardTail &out) {
  bool legends = false;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string &word = words[i];
    if (word == "--legends" && !legends && i + 1 < words.size() &&
        (words[i + 1] == "board" || words[i + 1] == "keymap")) {
      legends = true;
      out.boardLegends = words[++i] == "board";
    } else if (word == "--station" && !out.station) {
      out.station = true;
      if (i + 1 < words.size() && words[i + 1].compare(0, 2, "--") != 0)
        out.stationName = words[++i];
    } else {
      return false;
    }
  }
  return true;
}

} // namespace

bool boardTailFromCommandLine(const char *tail, BoardTail &out) {
  static const char option[] = "--board";
  constexpr size_t length = sizeof option - 1;
  if (tail == nullptr || std::strncmp(tail, option, length) != 0 ||
      !isBlank(tail[length]))
    return false;
  out = BoardTail{};
  const std::vector<std::string> words = wordsOf(tail);
  if (words.size() >= 2 && takeOptions(words, out)) {
    out.board = words[1];
    return true;
  }
  out = BoardTail{};
  out.board = wholeRest(tail + length);
  return true;
}
