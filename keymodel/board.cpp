// A board file is written by people, so every way it can be wrong gets a
// message that names the place: a key by its index, label and line, a
// field by its name. Presets go through the same checks, so a broken
// preset fails its test instead of reaching a user.
#include "keymodel/board.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "keymodel/board_fields.h"
#include "keymodel/board_file.h"
#include "keymodel/board_presets.h"
#include "keymodel/board_syntax.h"
#include "keymodel/text_rules.h"

using nlohmann::json;

namespace {

constexpr size_t kMaxNameBytes = 32, kMaxTitleBytes = 64;

bool overlap(const BoardKey &a, const BoardKey &b) {
  // Key units are quarters and eighths; a hair is no overlap.
  constexpr double kHair = 1e-6;
  return a.x + a.w > b.x + kHair && b.x + b.w > a.x + kHair &&
         a.y + a.h > b.y + kHair && b.y + b.h > a.y + kHair;
}

bool checkKeys(BoardCheck &check, Board &board, const BoardText &text) {
  std::map<std::string, size_t> labels;
  std::memset(board.keyOfCode, 0xFF, sizeof board.keyOfCode);
  board.width = board.height = 0;
  const json &keys = text.root["keys"];
  const auto place = [&](size_t i) {
    return keyPlace(i, keys[i],
                    i < text.keyLines.size() ? text.keyLines[i] : 0);
  };
  for (size_t i = 0; i < board.keys.size(); ++i) {
    const BoardKey &key = board.keys[i];
    const int other = board.keyOfCode[key.code];
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", key.code);
    if (other >= 0)
      return check.fail(place(i), std::string("scan code ") + code +
                                      " is also " +
                                      place(static_cast<size_t>(other)));
    const auto found = labels.find(key.label);
    if (found != labels.end())
      return check.fail(place(i),
                        "label is also " + place(found->second) + "'s");
    for (size_t j = 0; j < i; ++j)
      if (overlap(key, board.keys[j]))
        return check.fail(place(i), "overlaps " + place(j));
    board.keyOfCode[key.code] = static_cast<int>(i);
    labels[key.label] = i;
    board.width = std::fmax(board.width, key.x + key.w);
    board.height = std::fmax(board.height, key.y + key.h);
  }
  return true;
}

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

// FNV-1a: not a secret, only a change detector that every platform
// computes alike, so the places go in as whole 1024ths of a unit.
void mix(uint64_t &hash, const void *data, size_t size) {
  const unsigned char *bytes = static_cast<const unsigned char *>(data);
  for (size_t i = 0; i < size; ++i)
    hash = (hash ^ bytes[i]) * 0x100000001B3ull;
}

void mixUnits(uint64_t &hash, double units) {
  const int64_t value = std::llround(units * 1024);
  unsigned char bytes[8];
  for (int i = 0; i < 8; ++i)
    bytes[i] =
        static_cast<unsigned char>(static_cast<uint64_t>(value) >> (8 * i));
  mix(hash, bytes, sizeof bytes);
}

// Every preset, read once, for the names of keys off a board and the
// report's suggestions; the first preset with a code names it.
struct PresetBoards {
  std::vector<Board> boards;
  std::string labelOf[256];
  PresetBoards() : boards(static_cast<size_t>(kBoardPresetCount)) {
    for (int p = kBoardPresetCount - 1; p >= 0; --p) {
      std::string error;
      parseBoard(kBoardPresets[p].text, kBoardPresets[p].name,
                 boards[static_cast<size_t>(p)], error);
      for (const BoardKey &key : boards[static_cast<size_t>(p)].keys)
        labelOf[key.code] = key.label;
    }
  }
};

const PresetBoards &presetBoards() {
  static const PresetBoards presets;
  return presets;
}

} // namespace

int boardPresetCount() { return kBoardPresetCount; }

const char *boardPresetName(int index) {
  return index >= 0 && index < kBoardPresetCount ? kBoardPresets[index].name
                                                 : nullptr;
}

bool loadPresetBoard(const char *name, Board &board) {
  for (int i = 0; i < kBoardPresetCount; ++i) {
    const BoardPreset &preset = kBoardPresets[i];
    if (std::strcmp(preset.name, name) != 0)
      continue;
    std::string error;
    return parseBoard(preset.text, preset.name, board, error);
  }
  return false;
}

bool parseBoard(const std::string &text, const char *source, Board &board,
                std::string &error) {
  BoardCheck check{displayText(source), error};
  BoardText parsed;
  std::string problem;
  if (!readBoardJson(text, parsed, problem)) {
    error = check.source + ": " + problem;
    return false;
  }
  const json &root = parsed.root;
  if (!root.is_object())
    return check.fail("top level", "not an object");
  if (!onlyFields(check, "top level", root, {"name", "title", "keys"}) ||
      !getText(check, "top level", root, "name", kMaxNameBytes, board.name) ||
      !getText(check, "top level", root, "title", kMaxTitleBytes, board.title))
    return false;
  for (char c : board.name)
    if (!isNameByte(c))
      return check.fail("name", "only a-z, 0-9, - and _ may be used");
  if (!root.contains("keys"))
    return check.fail("top level", "missing field \"keys\"");
  const json &keys = root["keys"];
  // One key a scan code, 0x01 to 0xFE.
  if (!keys.is_array() || keys.empty() || keys.size() > 254)
    return check.fail("keys", "not a list of 1 to 254 keys");
  board.keys.assign(keys.size(), BoardKey{});
  for (size_t i = 0; i < keys.size(); ++i) {
    const int line = i < parsed.keyLines.size() ? parsed.keyLines[i] : 0;
    if (!readBoardKey(check, keyPlace(i, keys[i], line), keys[i],
                      board.keys[i]))
      return false;
  }
  return checkKeys(check, board, parsed);
}

bool loadBoard(const char *nameOrPath, Board &board, std::string &error) {
  if (loadPresetBoard(nameOrPath, board))
    return true;
  std::string text;
  return readBoardFile(nameOrPath, text, error) &&
         parseBoard(text, nameOrPath, board, error);
}

std::string boardFingerprint(const Board &board) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (const BoardKey &key : board.keys) {
    mix(hash, &key.code, 1);
    mix(hash, key.label.c_str(), key.label.size() + 1);
    for (double units : {key.x, key.y, key.w, key.h})
      mixUnits(hash, units);
  }
  char text[17];
  std::snprintf(text, sizeof text, "%08lx%08lx",
                static_cast<unsigned long>(hash >> 32),
                static_cast<unsigned long>(hash & 0xFFFFFFFFu));
  return text;
}

// Keys of no preset that keyboards still have: the media and browser
// keys, as DirectInput codes them.
static constexpr struct {
  uint8_t code;
  const char *label;
} kExtraKeys[] = {{0x90, "Prev"},     {0x99, "Next"},      {0xA0, "Mute"},
                  {0xA1, "Calc"},     {0xA2, "Play"},      {0xA4, "Stop"},
                  {0xAE, "Vol-"},     {0xB0, "Vol+"},      {0xB2, "WWW"},
                  {0xDE, "Power"},    {0xDF, "Sleep"},     {0xE3, "Wake"},
                  {0xE5, "Search"},   {0xE6, "Bookmarks"}, {0xE7, "Refresh"},
                  {0xE8, "WebStop"},  {0xE9, "Forward"},   {0xEA, "Back"},
                  {0xEB, "Computer"}, {0xEC, "Mail"},      {0xED, "Media"}};

std::string offBoardLabel(const Board &board, uint8_t code) {
  std::string label = presetBoards().labelOf[code];
  for (const auto &extra : kExtraKeys)
    if (label.empty() && extra.code == code)
      label = extra.label;
  bool taken = label.empty();
  for (const BoardKey &key : board.keys)
    taken = taken || key.label == label;
  if (!taken)
    return label;
  char name[8];
  std::snprintf(name, sizeof name, "0x%02X", code);
  return name;
}

const char *presetWithLabel(const std::string &label) {
  const PresetBoards &presets = presetBoards();
  for (int p = 0; p < kBoardPresetCount; ++p)
    for (const BoardKey &key : presets.boards[static_cast<size_t>(p)].keys)
      if (key.label == label)
        return kBoardPresets[p].name;
  return nullptr;
}
