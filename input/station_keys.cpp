// The station run behind the board worker's lock. The verdict's own key
// is remembered until it comes up: the window gets its character only
// after the worker has judged the unit by it, and that character is no
// serial.
#include "input/station_keys.h"

#include <algorithm>
#include <cmath>

#include "input/board_clock.h"
#include "input/board_worker.h"
#include "input/input_worker.h"

namespace {

// Set before the worker starts; the run itself only under the lock.
StationRun *g_run = nullptr;
uint8_t g_verdictKey = 0; // the key down whose press gave the verdict

struct Locked {
  Locked() { EnterCriticalSection(&boardRunLock()); }
  ~Locked() { LeaveCriticalSection(&boardRunLock()); }
};

// Rounded up: a unit that starts now must not take, as its own, a key whose
// change the hook stamped a moment before within the same millisecond,
// such as the very Enter that started it, which the worker may read after
// the window has taken its character.
uint64_t now() { return static_cast<uint64_t>(std::ceil(boardClockMs())); }

} // namespace

void attachStationRun(StationRun *run) { g_run = run; }

bool isStationRun() { return g_run != nullptr; }

bool stationTakeKey(int key, uint8_t code, bool down, double atMs,
                    uint64_t &lastMs) {
  Locked locked;
  const StationUnit &unit = g_run->station.unit;
  if (!down && code == g_verdictKey)
    g_verdictKey = 0;
  if (unit.phase != UnitTesting || atMs < unit.startMs)
    return false;
  const uint64_t ms = std::max(lastMs, static_cast<uint64_t>(atMs));
  const StationStep step = key >= 0
                               ? stationRunKey(*g_run, key, down, ms)
                               : stationRunOffBoardKey(*g_run, code, down, ms);
  noteLogState(g_run->log);
  if (step == StepIgnored)
    return false;
  lastMs = ms;
  if (step == StepVerdict && down)
    g_verdictKey = code;
  return true;
}

bool stationTypeChar(const std::string &utf8, uint8_t code) {
  Locked locked;
  if (code != 0 && code == g_verdictKey)
    return false;
  if (utf8 == "\r") {
    const bool waiting = g_run->station.unit.phase == UnitSerial;
    stationRunEnter(*g_run, now());
    noteLogState(g_run->log);
    return waiting;
  }
  if (utf8 == "\b")
    return eraseSerial(g_run->station);
  return typeSerial(g_run->station, utf8);
}

bool stationFailUnit() {
  Locked locked;
  return stationRunFailUnit(*g_run, now());
}

bool stationKeyboardCame(const std::string &name) {
  Locked locked;
  stationRunKeyboardCame(*g_run, name, now());
  noteLogState(g_run->log);
  return true;
}

bool stationKeyboardGone() {
  Locked locked;
  return stationRunKeyboardGone(*g_run, now());
}

void nameStationKeyboard(const std::string &name) {
  Locked locked;
  nameUnitKeyboard(g_run->station, name);
}

void copyStation(Station &station, bool &logging, std::string &problem) {
  Locked locked;
  station = g_run->station;
  logging = g_run->log.state == LogWriting;
  problem = stationResultsProblem(*g_run);
}

bool closeStation() {
  Locked locked;
  const bool whole = closeStationRun(*g_run);
  noteLogState(g_run->log);
  if (!whole && g_run->results.state != LogWriting)
    g_logStoppedShort = true;
  return whole;
}
