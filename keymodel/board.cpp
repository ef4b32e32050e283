// A board file is written by people, so every way it can be wrong gets a
// message that names the place: a key by its index and label, a field by
// its name. Presets go through the same checks, so a broken preset fails
// its test instead of reaching a user.
#include "keymodel/board.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "keymodel/board_log.h"
#include "keymodel/board_presets.h"

using nlohmann::json;

namespace {

constexpr size_t kMaxNameBytes = 32, kMaxTitleBytes = 64;
constexpr long kMaxFileBytes = 1 << 20;
constexpr double kMaxUnits = 100; // no keyboard is a hundred keys wide

struct Check {
  const char *source;
  std::string &error;
  bool fail(const std::string &place, const std::string &problem) {
    error = std::string(source) + ": " + place + ": " + problem;
    return false;
  }
};

bool hasControlBytes(const std::string &text) {
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F)
      return true;
  return false;
}

// Only the fields named may appear; a misspelt one would be silently lost.
bool onlyFields(Check &check, const std::string &place, const json &object,
                std::initializer_list<const char *> fields) {
  for (const auto &item : object.items()) {
    bool known = false;
    for (const char *field : fields)
      known = known || item.key() == field;
    if (!known)
      return check.fail(place, "unknown field \"" + item.key() + "\"");
  }
  return true;
}

bool getText(Check &check, const std::string &place, const json &object,
             const char *field, size_t maxBytes, std::string &out) {
  if (!object.contains(field))
    return check.fail(place, std::string("missing field \"") + field + "\"");
  const json &value = object[field];
  if (!value.is_string())
    return check.fail(place + "." + field, "not a string");
  out = value.get<std::string>();
  if (out.empty())
    return check.fail(place + "." + field, "empty");
  if (out.size() > maxBytes)
    return check.fail(place + "." + field,
                      "longer than " + std::to_string(maxBytes) + " bytes");
  if (hasControlBytes(out))
    return check.fail(place + "." + field, "has control characters");
  return true;
}

// x and y may be 0, a width or height may not.
bool getNumber(Check &check, const std::string &place, const json &key,
               const char *field, bool required, bool size, double &out) {
  if (!key.contains(field)) {
    out = 1;
    return required ? check.fail(place,
                                 std::string("missing field \"") + field + "\"")
                    : true;
  }
  const json &value = key[field];
  if (!value.is_number())
    return check.fail(place + "." + field, "not a number");
  out = value.get<double>();
  if (!(out >= 0 && out <= kMaxUnits) || (size && out == 0))
    return check.fail(place + "." + field, size ? "not above 0 or too large"
                                                : "negative or too large");
  return true;
}

// A scan code as a number (28) or, as the DirectInput headers write it, a
// hexadecimal string ("0x1C").
bool getCode(Check &check, const std::string &place, const json &key,
             uint8_t &code) {
  if (!key.contains("code"))
    return check.fail(place, "missing field \"code\"");
  const json &value = key["code"];
  long number = -1;
  if (value.is_number_integer()) {
    number = value.get<long>();
  } else if (value.is_string()) {
    const std::string text = value.get<std::string>();
    char *end = nullptr;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
      number = std::strtol(text.c_str() + 2, &end, 16);
    if (end == nullptr || *end != '\0' || text.size() > 4)
      number = -1;
  }
  // 0 is no key, 0xFF the tables' gap: neither is a key a board can have.
  if (number < 1 || number > 0xFE)
    return check.fail(
        place + ".code",
        "not a scan code from 0x01 to 0xFE (a number or \"0xNN\")");
  code = static_cast<uint8_t>(number);
  return true;
}

bool checkLabel(Check &check, const std::string &place,
                const std::string &label) {
  if (label.front() == ' ' || label.back() == ' ')
    return check.fail(place + ".label", "begins or ends with a blank");
  // The log's line is read from its right end.
  if (endsInState(label))
    return check.fail(place + ".label", "ends in \" down\" or \" up\"");
  return true;
}

bool readKey(Check &check, const std::string &place, const json &key,
             BoardKey &out) {
  if (!key.is_object())
    return check.fail(place, "not an object");
  if (!onlyFields(check, place, key, {"code", "label", "x", "y", "w", "h"}))
    return false;
  return getCode(check, place, key, out.code) &&
         getText(check, place, key, "label", kMaxBoardLabel, out.label) &&
         checkLabel(check, place, out.label) &&
         getNumber(check, place, key, "x", true, false, out.x) &&
         getNumber(check, place, key, "y", true, false, out.y) &&
         getNumber(check, place, key, "w", false, true, out.w) &&
         getNumber(check, place, key, "h", false, true, out.h);
}

std::string keyPlace(const Board &board, size_t index) {
  return "keys[" + std::to_string(index) + "] \"" + board.keys[index].label +
         "\"";
}

bool overlap(const BoardKey &a, const BoardKey &b) {
  // Key units are quarters and eighths; a hair is no overlap.
  constexpr double kHair = 1e-6;
  return a.x + a.w > b.x + kHair && b.x + b.w > a.x + kHair &&
         a.y + a.h > b.y + kHair && b.y + b.h > a.y + kHair;
}

bool checkKeys(Check &check, Board &board) {
  std::map<std::string, size_t> labels;
  std::memset(board.keyOfCode, 0xFF, sizeof board.keyOfCode);
  board.width = board.height = 0;
  for (size_t i = 0; i < board.keys.size(); ++i) {
    const BoardKey &key = board.keys[i];
    const int other = board.keyOfCode[key.code];
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", key.code);
    if (other >= 0)
      return check.fail(keyPlace(board, i),
                        std::string("scan code ") + code + " is also " +
                            keyPlace(board, static_cast<size_t>(other)));
    const auto found = labels.find(key.label);
    if (found != labels.end())
      return check.fail(keyPlace(board, i), "label is also keys[" +
                                                std::to_string(found->second) +
                                                "]'s");
    for (size_t j = 0; j < i; ++j)
      if (overlap(key, board.keys[j]))
        return check.fail(keyPlace(board, i), "overlaps " + keyPlace(board, j));
    board.keyOfCode[key.code] = static_cast<int>(i);
    labels[key.label] = i;
    board.width = std::fmax(board.width, key.x + key.w);
    board.height = std::fmax(board.height, key.y + key.h);
  }
  return true;
}

// A JSON parser's byte offset, as a person finds it in an editor.
std::string lineAndColumn(const std::string &text, size_t byte) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i + 1 < byte && i < text.size(); ++i)
    text[i] == '\n' ? (++line, column = 1) : ++column;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
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
  Check check{source, error};
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error &e) {
    const std::string what = e.what();
    const size_t cut = what.rfind(": ");
    return check.fail(
        lineAndColumn(text, e.byte),
        "not JSON (" +
            (cut == std::string::npos ? what : what.substr(cut + 2)) + ")");
  }
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
  if (!keys.is_array() || keys.empty() || keys.size() > 255)
    return check.fail("keys", "not a list of 1 to 255 keys");
  board.keys.assign(keys.size(), BoardKey{});
  for (size_t i = 0; i < keys.size(); ++i)
    if (!readKey(check, "keys[" + std::to_string(i) + "]", keys[i],
                 board.keys[i]))
      return false;
  return checkKeys(check, board);
}

bool loadBoard(const char *nameOrPath, Board &board, std::string &error) {
  if (loadPresetBoard(nameOrPath, board))
    return true;
  FILE *file = std::fopen(nameOrPath, "rb");
  if (file == nullptr) {
    error = std::string(nameOrPath) +
            (errno == ENOENT ? ": neither a preset board nor a file"
                             : std::string(": ") + std::strerror(errno));
    return false;
  }
  std::string text;
  char buffer[16384];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 &&
         text.size() <= static_cast<size_t>(kMaxFileBytes))
    text.append(buffer, got);
  const bool bad = std::ferror(file) != 0;
  std::fclose(file);
  if (bad)
    error = std::string(nameOrPath) + ": cannot read the file";
  else if (text.size() > static_cast<size_t>(kMaxFileBytes))
    error = std::string(nameOrPath) + ": larger than 1 MiB, not a board";
  return !bad && text.size() <= static_cast<size_t>(kMaxFileBytes) &&
         parseBoard(text, nameOrPath, board, error);
}
