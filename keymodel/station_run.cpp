// Each event of a station run: the station's rule first, then the lines
// it brings, in the order the report reads them back: a key's transition
// before the verdict it caused, a unit's row before the next unit's start.
#include "keymodel/station_run.h"

#include "keymodel/board_log.h"
#include "keymodel/results_file.h"
#include "keymodel/station_name.h"

namespace {

void logVerdict(StationRun &run) {
  const StationUnit &unit = run.station.unit;
  writeUnitLine(run.log, unit.number, unit.pass ? UnitPass : UnitFail,
                static_cast<uint64_t>(unit.verdictMs));
}

StationStep logged(StationRun &run, StationStep step, const std::string &label,
                   bool down, uint64_t ms) {
  if (step == StepIgnored)
    return step;
  writeBoardTransition(run.log, label, down, ms);
  if (step == StepVerdict)
    logVerdict(run);
  return step;
}

bool writeRow(StationRun &run) {
  const char *name = run.resultsName.c_str();
  if (run.results.state != LogWriting) {
    closeLogFile(run.results);
    openResultsFile(run.results, name);
  }
  ResultRow row;
  unitResultRow(run.station, row);
  return writeResultRow(run.results, name, row);
}

} // namespace

bool openStationRun(StationRun &run, const Board &board, double chatterMs,
                    const std::string &name, uint64_t ms, std::string &error) {
  run.resultsName = resultsFileName(name);
  run.log = {nullptr, LogNotCreated, 0};
  if (!openResultsFile(run.results, run.resultsName.c_str())) {
    error = run.resultsName + ": " + logStateText(run.results);
    closeLogFile(run.results);
    return false;
  }
  startStation(run.station, board, chatterMs, name, static_cast<double>(ms));
  openStationLog(run.log, board, chatterMs, name);
  writeUnitLine(run.log, 1, UnitStart, ms);
  return true;
}

StationStep stationRunKey(StationRun &run, int key, bool down, uint64_t ms) {
  const StationStep step =
      stationKey(run.station, key, down, static_cast<double>(ms));
  return logged(run, step,
                step == StepIgnored ? "" : run.station.board->keys[key].label,
                down, ms);
}

StationStep stationRunOffBoardKey(StationRun &run, uint8_t code, bool down,
                                  uint64_t ms) {
  const StationStep step = stationOffBoardKey(run.station, code, down);
  return logged(run, step,
                step == StepIgnored ? ""
                                    : offBoardLabel(*run.station.board, code),
                down, ms);
}

bool stationRunFailUnit(StationRun &run, uint64_t ms) {
  if (!failUnit(run.station, static_cast<double>(ms)))
    return false;
  logVerdict(run);
  return true;
}

bool stationRunKeyboardGone(StationRun &run, uint64_t ms) {
  if (!unitKeyboardGone(run.station, static_cast<double>(ms)))
    return false;
  logVerdict(run);
  return true;
}

bool stationRunEnter(StationRun &run, uint64_t ms) {
  if (run.station.unit.phase != UnitSerial)
    return true;
  if (!writeRow(run))
    return false;
  startNextUnit(run.station, static_cast<double>(ms));
  writeUnitLine(run.log, run.station.unit.number, UnitStart, ms);
  return true;
}

bool stationRunKeyboardCame(StationRun &run, const std::string &name,
                            uint64_t ms) {
  if (!stationRunEnter(run, ms))
    return false;
  nameUnitKeyboard(run.station, name);
  return true;
}

bool closeStationRun(StationRun &run) {
  const bool row = run.station.unit.phase != UnitSerial || writeRow(run);
  const bool results = closeLogFile(run.results) && row;
  return closeBoardLog(run.log, *run.station.board) && results;
}

std::string stationResultsProblem(const StationRun &run) {
  if (run.results.state == LogWriting)
    return "";
  return run.resultsName + ": " + logStateText(run.results);
}
