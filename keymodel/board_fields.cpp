// Each rule is checked at its limit by the tests both ways: the value at
// the limit is taken, the next one refused. The limits keep any board
// drawable: a key never smaller than a quarter unit, a board never larger
// than 40 by 20 units, which still fits a small screen at a readable size.
#include "keymodel/board_fields.h"

#include <cctype>
#include <cstdlib>

#include "keymodel/board_log.h"
#include "keymodel/text_rules.h"

using nlohmann::json;

namespace {

// "0x1E": the name a board run logs a key off its board under.
bool looksLikeScanCodeName(const std::string &label) {
  return label.size() == 4 && label[0] == '0' && label[1] == 'x' &&
         std::isxdigit(static_cast<unsigned char>(label[2])) &&
         std::isxdigit(static_cast<unsigned char>(label[3]));
}

bool checkLabel(BoardCheck &check, const std::string &place,
                const std::string &label) {
  if (label.front() == ' ' || label.back() == ' ')
    return check.fail(place, "label: begins or ends with a blank");
  // The log's line is read from its right end.
  if (endsInState(label))
    return check.fail(place, "label: ends in \" down\" or \" up\"");
  if (looksLikeScanCodeName(label))
    return check.fail(place, "label: \"0xNN\" names keys off the board");
  return true;
}

bool getNumber(BoardCheck &check, const std::string &place, const json &key,
               const char *field, bool required, double &out) {
  if (!key.contains(field)) {
    out = 1;
    return !required ||
           check.fail(place, std::string("missing field \"") + field + "\"");
  }
  const json &value = key[field];
  if (!value.is_number())
    return check.fail(place, std::string(field) + ": not a number");
  out = value.get<double>();
  return true;
}

// A scan code as a number (28) or, as the DirectInput headers write it, a
// hexadecimal string ("0x1C"); 0 is no key and 0xFF the tables' gap.
bool getCode(BoardCheck &check, const std::string &place, const json &key,
             uint8_t &code) {
  if (!key.contains("code"))
    return check.fail(place, "missing field \"code\"");
  const json &value = key["code"];
  long long number = -1;
  if (value.is_number_unsigned())
    number = value.get<unsigned long long>() > 0xFF
                 ? -1
                 : static_cast<long long>(value.get<unsigned long long>());
  else if (value.is_number_integer())
    number = -1; // negative
  else if (value.is_string()) {
    const std::string text = value.get<std::string>();
    const bool hex = text.size() >= 3 && text.size() <= 4 && text[0] == '0' &&
                     (text[1] == 'x' || text[1] == 'X') &&
                     std::isxdigit(static_cast<unsigned char>(text[2])) &&
                     (text.size() == 3 ||
                      std::isxdigit(static_cast<unsigned char>(text[3])));
    if (hex)
      number = std::strtol(text.c_str() + 2, nullptr, 16);
  }
  if (number < 1 || number > 0xFE)
    return check.fail(
        place,
        "code: not a scan code from 0x01 to 0xFE (a number or \"0xNN\")");
  code = static_cast<uint8_t>(number);
  return true;
}

bool checkPlace(BoardCheck &check, const std::string &place,
                const BoardKey &key) {
  const struct {
    const char *name;
    double value;
    bool size;
  } fields[] = {{"x", key.x, false},
                {"y", key.y, false},
                {"w", key.w, true},
                {"h", key.h, true}};
  for (const auto &f : fields) {
    if (!f.size && !(f.value >= 0))
      return check.fail(place, std::string(f.name) + ": negative");
    if (f.size && !(f.value >= kMinKeyUnits))
      return check.fail(place, std::string(f.name) + ": below 0.25");
  }
  if (!(key.x + key.w <= kMaxBoardWidth))
    return check.fail(place, "x + w: beyond 40 units");
  if (!(key.y + key.h <= kMaxBoardHeight))
    return check.fail(place, "y + h: beyond 20 units");
  return true;
}

} // namespace

bool BoardCheck::fail(const std::string &place, const std::string &problem) {
  error = source + ": " + place + ": " + problem;
  return false;
}

bool onlyFields(BoardCheck &check, const std::string &place, const json &object,
                std::initializer_list<const char *> fields) {
  for (const auto &item : object.items()) {
    bool known = false;
    for (const char *field : fields)
      known = known || item.key() == field;
    if (!known)
      return check.fail(place,
                        "unknown field \"" + displayText(item.key()) + "\"");
  }
  return true;
}

bool getText(BoardCheck &check, const std::string &place, const json &object,
             const char *field, size_t maxBytes, std::string &out) {
  if (!object.contains(field))
    return check.fail(place, std::string("missing field \"") + field + "\"");
  const json &value = object[field];
  const std::string name = field;
  if (!value.is_string())
    return check.fail(place, name + ": not a string");
  out = value.get<std::string>();
  if (out.empty())
    return check.fail(place, name + ": empty");
  if (out.size() > maxBytes)
    return check.fail(place, name + ": longer than " +
                                 std::to_string(maxBytes) + " bytes");
  if (hasControlCharacters(out))
    return check.fail(place, name + ": has control characters");
  if (looksBlank(out))
    return check.fail(place, name + ": shows nothing");
  return true;
}

bool readBoardKey(BoardCheck &check, const std::string &place, const json &key,
                  BoardKey &out) {
  if (!key.is_object())
    return check.fail(place, "not an object");
  if (!onlyFields(check, place, key, {"code", "label", "x", "y", "w", "h"}))
    return false;
  return getCode(check, place, key, out.code) &&
         getText(check, place, key, "label", kMaxBoardLabel, out.label) &&
         checkLabel(check, place, out.label) &&
         getNumber(check, place, key, "x", true, out.x) &&
         getNumber(check, place, key, "y", true, out.y) &&
         getNumber(check, place, key, "w", false, out.w) &&
         getNumber(check, place, key, "h", false, out.h) &&
         checkPlace(check, place, out);
}

std::string keyPlace(size_t index, const json &key, int line) {
  std::string place = "keys[" + std::to_string(index) + "]";
  if (key.is_object() && key.contains("label") && key["label"].is_string()) {
    const std::string label = key["label"].get<std::string>();
    if (!label.empty() && label.size() <= kMaxBoardLabel)
      place += " \"" + displayText(label) + "\"";
  }
  if (line > 0)
    place += " (line " + std::to_string(line) + ")";
  return place;
}
