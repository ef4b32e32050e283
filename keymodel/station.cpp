// The station's rules over the key model's progress: a unit is a fresh
// BoardProgress, judged by judgeBoard, and the station decides only when
// that judgement becomes the unit's verdict.
#include "keymodel/station.h"

#include <ctime>

#include "keymodel/text_rules.h"

namespace {

void startUnit(Station &station, int number, double ms) {
  StationUnit &unit = station.unit;
  unit.number = number;
  unit.phase = UnitTesting;
  startBoardProgress(unit.progress, *station.board, station.chatterMs);
  unit.keySeen = false;
  unit.startMs = ms;
  unit.pass = unit.gaveUp = false;
  unit.verdict = Verdict{};
  unit.verdictMs = ms;
  unit.verdictTime = 0;
  unit.serial.clear();
}

void giveVerdict(Station &station, double ms, bool gaveUp) {
  StationUnit &unit = station.unit;
  judgeBoard(unit.progress, unit.verdict);
  unit.pass = unit.verdict.pass && !gaveUp;
  unit.gaveUp = gaveUp;
  unit.verdictMs = ms;
  unit.verdictTime = static_cast<long long>(std::time(nullptr));
  unit.phase = UnitSerial;
  ++(unit.pass ? station.passed : station.failed);
}

// The length of the UTF-8 character that starts text[i], or 0 when no
// whole character starts there.
size_t characterAt(const std::string &text, size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  const size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
  return i + n <= text.size() && isUtf8(text.substr(i, n)) ? n : 0;
}

// The whole printable characters of text appended to to, up to most
// bytes in all; the rest is dropped.
void appendPrintable(std::string &to, const std::string &text, size_t most) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = characterAt(text, i);
    const std::string character = text.substr(i, n == 0 ? 1 : n);
    i += character.size();
    if (n == 0 || hasControlCharacters(character))
      continue;
    if (to.size() + n > most)
      return;
    to += character;
  }
}

std::vector<std::string> labels(const Board &board,
                                const std::vector<int> &keys) {
  std::vector<std::string> out;
  for (int key : keys)
    out.push_back(board.keys[key].label);
  return out;
}

} // namespace

void startStation(Station &station, const Board &board, double chatterMs,
                  const std::string &name, double ms) {
  station.name = name;
  station.board = &board;
  station.chatterMs = chatterMs;
  station.passed = station.failed = 0;
  station.unit.keyboard.clear();
  startUnit(station, 1, ms);
}

StationStep stationKey(Station &station, int key, bool down, double ms) {
  StationUnit &unit = station.unit;
  if (unit.phase != UnitTesting || key < 0 ||
      key >= static_cast<int>(unit.progress.keys.size()) ||
      unit.progress.keys[key].down == down)
    return StepIgnored;
  unit.keySeen = true;
  applyTransition(unit.progress, key, down, ms);
  const BoardProgress &p = unit.progress;
  const bool allTested = p.tested == static_cast<int>(p.keys.size());
  if (p.chattered > 0 || (allTested && p.held == 0)) {
    giveVerdict(station, ms, false);
    return StepVerdict;
  }
  return StepCounted;
}

StationStep stationOffBoardKey(Station &station, uint8_t code, bool down) {
  StationUnit &unit = station.unit;
  if (unit.phase != UnitTesting ||
      !applyOffBoardTransition(unit.progress, code, down))
    return StepIgnored;
  unit.keySeen = true;
  return StepCounted;
}

bool failUnit(Station &station, double ms) {
  if (station.unit.phase != UnitTesting)
    return false;
  giveVerdict(station, ms, true);
  return true;
}

bool unitKeyboardGone(Station &station, double ms) {
  return station.unit.keySeen && failUnit(station, ms);
}

void nameUnitKeyboard(Station &station, const std::string &name) {
  StationUnit &unit = station.unit;
  if (unit.phase != UnitTesting || unit.keySeen)
    return;
  unit.keyboard.clear();
  appendPrintable(unit.keyboard, name, kMaxKeyboardNameBytes);
}

bool typeSerial(Station &station, const std::string &text) {
  StationUnit &unit = station.unit;
  const size_t before = unit.serial.size();
  if (unit.phase == UnitSerial)
    appendPrintable(unit.serial, text, kMaxSerialBytes);
  return unit.serial.size() != before;
}

bool eraseSerial(Station &station) {
  std::string &serial = station.unit.serial;
  if (station.unit.phase != UnitSerial || serial.empty())
    return false;
  size_t cut = serial.size() - 1;
  while (cut > 0 && (static_cast<unsigned char>(serial[cut]) & 0xC0) == 0x80)
    --cut;
  serial.erase(cut);
  return true;
}

void unitResultRow(const Station &station, ResultRow &row) {
  const StationUnit &unit = station.unit;
  const Board &board = *station.board;
  row.time = isoLocalTime(unit.verdictTime);
  row.station = station.name;
  row.board = board.name;
  row.unit = unit.number;
  row.serial = unit.serial;
  row.pass = unit.pass;
  row.of = static_cast<int>(board.keys.size());
  row.tested = countBoard(unit.progress).tested;
  row.untested = labels(board, unit.verdict.untested);
  row.held = labels(board, unit.verdict.held);
  row.chatter.clear();
  for (int key : unit.verdict.chattered)
    row.chatter.push_back(
        {board.keys[key].label, unit.progress.keys[key].shortestGapMs});
  row.seconds = (unit.verdictMs - unit.startMs) / 1000;
  row.keyboard = unit.keyboard;
}

void startNextUnit(Station &station, double ms) {
  startUnit(station, station.unit.number + 1, ms);
}

std::string stationCount(const Station &station) {
  return "unit " + std::to_string(station.unit.number) + " \xC2\xB7 " +
         std::to_string(station.passed) + " PASS \xC2\xB7 " +
         std::to_string(station.failed) + " FAIL";
}
