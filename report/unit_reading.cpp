// The unit's lines are picked out before the tally sees them: the tally
// reads them as any log, so a unit is judged by the very rules a board
// run is. Its verdict line ends it as a closing line would, except that
// no key of it can be the window's close gesture: the window was not
// closed, the unit ended.
#include "report/unit_reading.h"

#include <cerrno>
#include <nlohmann/json.hpp>

#include "report/json_report.h"
#include "report/summary_text.h"

namespace {

enum Place { Before, Inside, After };

void endUnit(LogReading &reading) {
  reading.closed = true;
  reading.classicClosing = false;
  reading.closingBoard = reading.opening.name;
  for (Tally &tally : reading.tally)
    tally.gestureF4 = tally.gestureAlt = tally.lastAlt = -1;
}

// The unit start lines of a log, for the message that refuses it.
int countUnits(const char *path) {
  static LineReader reader;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr)
    return 0;
  startReading(reader, file);
  Line line;
  UnitLine unit;
  int units = 0;
  while (nextLine(reader, line) == ReadLine)
    units += line.terminated && parseUnitLine(line.text, line.length, unit) &&
             unit.mark == UnitStart;
  std::fclose(file);
  return units;
}

const char *markWord(UnitMark mark) {
  return mark == UnitPass ? "PASS" : "FAIL";
}

} // namespace

bool readUnitLog(const char *path, LogReading &reading, const NameTable &names,
                 double chatterMs, UnitReading &unit, int &error) {
  static LineReader reader;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr) {
    error = errno;
    return false;
  }
  startReading(reader, file);
  startLogReading(reading, reading.boards, chatterMs);
  Line line;
  ReadResult result;
  long long number = 0;
  Place place = Before;
  while ((result = nextLine(reader, line)) == ReadLine) {
    UnitLine mark;
    const bool isUnit = ++number > 1 && line.terminated &&
                        parseUnitLine(line.text, line.length, mark);
    unit.units += isUnit && mark.mark == UnitStart;
    const bool ours = isUnit && mark.unit == unit.unit;
    if (isUnit && place == Before && ours && mark.mark == UnitStart) {
      place = Inside, unit.found = true, unit.startLine = number;
    } else if (isUnit && place == Inside && (!ours || mark.mark == UnitStart)) {
      place = After; // the next unit began: this one has no verdict
    } else if (isUnit && place == Inside) {
      place = After, unit.ended = true, unit.verdict = mark.mark;
      unit.endLine = number;
      endUnit(reading);
    } else if (!isUnit && (number == 1 || place == Inside)) {
      reading.lines = number - 1; // anomalies name the file's own lines
      readLogLine(reading, names, line);
    }
  }
  error = reader.error;
  std::fclose(file);
  return result == ReadEnd;
}

std::string stationLogProblem(const char *path, const LogReading &reading,
                              const UnitReading &unit) {
  const bool station = reading.opened && !reading.opening.station.empty();
  if (unit.unit == 0 && station)
    return "the log of station " + reading.opening.station + ", with " +
           std::to_string(countUnits(path)) + " units: judge one with --unit N";
  if (unit.unit > 0 && !station)
    return "not a station's log (its first line names no station)";
  if (unit.unit > 0 && !unit.found)
    return "no unit " + std::to_string(unit.unit) + " in the log of station " +
           reading.opening.station + " (it has " + std::to_string(unit.units) +
           ")";
  return "";
}

void writeUnitSummary(FILE *out, const LogReading &reading,
                      const UnitReading &unit, const Report &report) {
  std::fprintf(out, "Unit %d of station %s, from line %lld: ", unit.unit,
               reading.opening.station.c_str(), unit.startLine);
  if (!unit.ended)
    std::fputs("the station gave it no verdict\n", out);
  else if ((unit.verdict == UnitPass) == report.verdict.pass)
    std::fprintf(out, "the station's verdict %s, line %lld\n",
                 markWord(unit.verdict), unit.endLine);
  else
    std::fprintf(out,
                 "the station's verdict %s, line %lld, is not what "
                 "its lines show\n",
                 markWord(unit.verdict), unit.endLine);
}

bool writeUnitJson(FILE *out, const LogReading &reading,
                   const UnitReading &unit, const Report &report) {
  using Json = nlohmann::ordered_json;
  Json json = Json::parse(jsonReport(report));
  json["station"] = reading.opening.station;
  json["unit"] = unit.unit;
  json["stationVerdict"] = unit.ended ? Json(markWord(unit.verdict)) : Json();
  json["unitLines"] = {unit.startLine,
                       unit.ended ? Json(unit.endLine) : Json()};
  const std::string text =
      json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}
