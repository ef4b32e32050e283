// A keyboard as data: the keys one physical board has, each with the
// DirectInput scan code it reports, the label the log and the pictures
// give it, and its place in key units. Built-in presets and the user's own
// board files are read the same way, so a preset is only a file that
// ships inside the programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A label's bytes at most (UTF-8), without its NUL.
constexpr int kMaxBoardLabel = 24;
// Key units: no key smaller, no board larger, so that any board a file
// may hold can be drawn on a small screen at a size that can be read.
constexpr double kMinKeyUnits = 0.25;
constexpr double kMaxBoardWidth = 40, kMaxBoardHeight = 20;

struct BoardKey {
  uint8_t code;      // DIK_ scan code; unique within the board
  std::string label; // UTF-8, unique within the board, as the log names it
  // Top left corner and size in key units (1 = one alphanumeric key).
  double x, y, w, h;
};

struct Board {
  std::string name;  // "iso105"; a board file's own "name"
  std::string title; // "ISO 105-key (Europe)"
  // In the file's order: the order a board window walks and a batch of
  // changes read together is logged in.
  std::vector<BoardKey> keys;
  double width, height; // the extent of all keys, in key units
  int keyOfCode[256];   // index into keys, -1 where the board has no key
};

// The built-in presets in the order --boards lists them.
int boardPresetCount();
const char *boardPresetName(int index);

// A preset's board by name; false for a name that is not a preset.
bool loadPresetBoard(const char *name, Board &board);

// A board file's text, read and checked. source names the file in the
// message; on failure error is one line, "SOURCE: PLACE: PROBLEM", with no
// line end, and board is unspecified.
bool parseBoard(const std::string &text, const char *source, Board &board,
                std::string &error);

// What a --board option names: a preset's name, else a file's path (on
// Windows, UTF-8).
bool loadBoard(const char *nameOrPath, Board &board, std::string &error);

// 16 hexadecimal digits that change with any key's code, label or place:
// what a log records of its board besides the name, which a file can
// borrow from a preset.
std::string boardFingerprint(const Board &board);

// The name a board run logs a key the board does not have under: the
// label the first preset with that code gives it (the classic tables'
// own first), else, or where the board has that label for another key,
// "0xNN".
std::string offBoardLabel(const Board &board, uint8_t code);

// The first preset with a key of that label, or null; what the report
// suggests for a key pressed that the board lacks.
const char *presetWithLabel(const std::string &label);
