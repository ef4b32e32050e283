// The results' summary for a person and their JSON for a program: the
// yield first, which is what a production lead reads, then the keys
// behind the failures.
#include <nlohmann/json.hpp>

#include "report/results_report.h"
#include "report/summary_text.h"

using Json = nlohmann::ordered_json;

namespace {

// "untested 1, chatter 2"
std::string reasons(const KeyFailures &key) {
  std::string text;
  const struct {
    const char *name;
    long long count;
  } parts[] = {
      {"untested", key.untested}, {"chatter", key.chatter}, {"held", key.held}};
  for (const auto &part : parts)
    if (part.count > 0)
      text += (text.empty() ? "" : ", ") + std::string(part.name) + " " +
              std::to_string(part.count);
  return text;
}

} // namespace

void writeResultsSummary(FILE *out, const ResultsTally &tally, double median,
                         const char *htmlPath) {
  std::fprintf(out, "Units: %lld, PASS %lld, FAIL %lld", tally.units,
               tally.passed, tally.failed);
  if (tally.units > 0)
    std::fprintf(out, " (%.1f %% PASS)", passPercent(tally));
  std::fputc('\n', out);
  if (median >= 0)
    std::fprintf(out, "Median time per unit: %.1f s\n", tenth(median));
  const std::vector<const KeyFailures *> failed = failedKeys(tally);
  std::fprintf(out, "Keys that failed (%zu), in units:\n", failed.size());
  for (const KeyFailures *key : failed)
    std::fprintf(out, "  %s: %lld (%s)\n", key->label.c_str(), key->failed,
                 reasons(*key).c_str());
  if (tally.unkeptFailures > 0)
    std::fprintf(out, "  (%lld more failures of keys not listed)\n",
                 tally.unkeptFailures);
  const std::vector<const KeyFailures *> chatter = chatterKeys(tally);
  std::fprintf(out, "Chatter by key (%zu):\n", chatter.size());
  for (const KeyFailures *key : chatter)
    std::fprintf(out, "  %s: %lld units, shortest gap %.1f ms\n",
                 key->label.c_str(), key->chatter, tenth(key->shortestGapMs));
  std::fprintf(out, "Board: %s\n",
               tally.units == 0  ? "none"
               : !tally.oneBoard ? "several"
                                 : tally.board.c_str());
  for (const ResultsFileCount &file : tally.files) {
    std::fputs("File: ", out);
    writeFileName(out, file.path.c_str());
    std::fprintf(out, ", %lld units", file.units);
    if (file.malformed > 0)
      std::fprintf(out, ", %lld malformed rows skipped", file.malformed);
    std::fputc('\n', out);
  }
  if (htmlPath != nullptr) {
    std::fputs("HTML report: ", out);
    writeFileName(out, htmlPath);
    std::fputc('\n', out);
  }
}

bool writeResultsJson(FILE *out, const ResultsTally &tally, double median) {
  Json json;
  json["units"] = tally.units;
  json["pass"] = tally.passed;
  json["fail"] = tally.failed;
  json["passPercent"] = tally.units > 0 ? Json(passPercent(tally)) : Json();
  json["medianSeconds"] = median >= 0 ? Json(tenth(median)) : Json();
  json["board"] =
      tally.units > 0 && tally.oneBoard ? Json(tally.board) : Json();
  Json failed = Json::array();
  for (const KeyFailures *key : failedKeys(tally))
    failed.push_back({{"key", key->label},
                      {"units", key->failed},
                      {"untested", key->untested},
                      {"chatter", key->chatter},
                      {"held", key->held}});
  json["failedKeys"] = failed;
  json["unlistedFailures"] = tally.unkeptFailures;
  Json chatter = Json::array();
  for (const KeyFailures *key : chatterKeys(tally))
    chatter.push_back({{"key", key->label},
                       {"units", key->chatter},
                       {"shortestGapMs", tenth(key->shortestGapMs)}});
  json["chatter"] = chatter;
  Json files = Json::array();
  for (const ResultsFileCount &file : tally.files)
    files.push_back({{"file", file.path},
                     {"units", file.units},
                     {"malformed", file.malformed}});
  json["files"] = files;
  Json malformed = Json::array();
  for (const MalformedRow &row : tally.malformedRows)
    malformed.push_back({{"file", tally.files[row.file].path},
                         {"line", row.line},
                         {"problem", row.problem}});
  json["malformed"] = malformed;
  json["malformedCount"] = tally.malformed;
  const std::string text =
      json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}
