// Board mode's arguments: strict, because a test that silently ran with
// another board or chatter time than asked would pass or fail wrongly.
#include "x11/board_options.h"

#include <cstdlib>
#include <cstring>

namespace {

// Faster than any person presses a key twice.
constexpr double kDefaultChatterMs = 30;
constexpr double kMostChatterMs = 1000;

bool takeChatter(const char *text, double &ms) {
  char *end = nullptr;
  ms = std::strtod(text, &end);
  return *text != '\0' && *end == '\0' && ms > 0 && ms <= kMostChatterMs;
}

} // namespace

bool asksForBoard(int argc, char **argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--board") == 0)
      return true;
  return false;
}

bool parseBoardOptions(int argc, char **argv, BoardOptions &options,
                       std::string &error) {
  options = {nullptr, kDefaultChatterMs};
  bool chatterGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    const bool board = std::strcmp(arg, "--board") == 0;
    const bool chatter = std::strcmp(arg, "--chatter") == 0;
    if (!board && !chatter) {
      error = std::string("unexpected argument \"") + arg + "\" with --board";
      return false;
    }
    if (i + 1 >= argc || (board ? options.board != nullptr : chatterGiven)) {
      error = std::string(arg) +
              (i + 1 >= argc ? " needs a value" : " given twice");
      return false;
    }
    const char *value = argv[++i];
    if (board) {
      options.board = value;
    } else if (!takeChatter(value, options.chatterMs)) {
      error = std::string("--chatter takes milliseconds above 0, at most "
                          "1000, not \"") +
              value + "\"";
      return false;
    } else {
      chatterGiven = true;
    }
  }
  return true;
}
