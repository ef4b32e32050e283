// Board mode's arguments: strict, because a test that silently ran with
// another board or chatter time than asked would pass or fail wrongly.
#include "x11/board_options.h"

#include <cstdlib>
#include <cstring>

#include "keymodel/station_name.h"
#include "keymodel/text_rules.h"

namespace {

// Faster than any person presses a key twice.
constexpr double kDefaultChatterMs = 30;
constexpr double kMostChatterMs = 1000;

bool takeChatter(const char *text, double &ms) {
  char *end = nullptr;
  ms = std::strtod(text, &end);
  return *text != '\0' && *end == '\0' && ms > 0 && ms <= kMostChatterMs;
}

// "--station" takes the next argument as its name unless it is an option
// of its own; i is left on the last argument taken.
bool takeStation(int argc, char **argv, int &i, BoardOptions &options,
                 std::string &error) {
  if (options.station) {
    error = "--station given twice";
    return false;
  }
  options.station = true;
  const bool named = i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0;
  options.stationName = named ? argv[++i] : defaultStationName();
  error = stationNameProblem(options.stationName);
  return error.empty();
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
  options = {nullptr, kDefaultChatterMs, true, false, ""};
  const char *const names[] = {"--board", "--chatter", "--legends"};
  bool given[3] = {false, false, false};
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--station") == 0) {
      if (!takeStation(argc, argv, i, options, error))
        return false;
      continue;
    }
    int which = 0;
    while (which < 3 && std::strcmp(arg, names[which]) != 0)
      ++which;
    if (which == 3) {
      error = "unexpected argument \"" + displayText(arg) + "\" with --board";
      return false;
    }
    if (i + 1 >= argc || given[which]) {
      error = std::string(arg) +
              (i + 1 >= argc ? " needs a value" : " given twice");
      return false;
    }
    given[which] = true;
    const char *value = argv[++i];
    if (which == 0) {
      options.board = value;
    } else if (which == 1 && !takeChatter(value, options.chatterMs)) {
      error = "--chatter takes milliseconds above 0, at most 1000, not \"" +
              displayText(value) + "\"";
      return false;
    } else if (which == 2 && std::strcmp(value, "keymap") != 0 &&
               std::strcmp(value, "board") != 0) {
      error =
          "--legends takes keymap or board, not \"" + displayText(value) + "\"";
      return false;
    } else if (which == 2) {
      options.keymapLegends = std::strcmp(value, "keymap") == 0;
    }
  }
  return true;
}
