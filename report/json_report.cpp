// Labels are the board's, but a line the board does not know keeps the
// log's own bytes, which need not be UTF-8: those become U+FFFD rather
// than break the document.
#include "report/json_report.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "report/summary_text.h"

using Json = nlohmann::ordered_json;

namespace {

Json labels(const Report &report, const std::vector<int> &keys) {
  Json list = Json::array();
  for (int key : keys)
    list.push_back(report.board->keys[key].label);
  return list;
}

// A C1 control character (U+0080 to U+009F) is a command to a terminal
// the JSON may be printed on: written as the JSON escape instead, which
// reads back as the same label.
std::string withC1Escaped(const std::string &text) {
  std::string out;
  char escaped[8];
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const unsigned char next =
        i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (c == 0xC2 && next >= 0x80 && next < 0xA0) {
      std::snprintf(escaped, sizeof escaped, "\\u%04x", next);
      out += escaped;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

} // namespace

std::string jsonReport(const Report &report) {
  const Tally &tally = *report.tally;
  Json json;
  json["verdict"] = verdictWord(report);
  Json reasons = Json::object();
  reasons["untested"] = labels(report, report.verdict.untested);
  reasons["held"] = labels(report, report.verdict.held);
  reasons["chatter"] = labels(report, report.verdict.chattered);
  if (!report.boardNamed)
    reasons["boardNotNamed"] = true;
  json["reasons"] = reasons;
  if (report.yenRoUntested)
    json["hint"] = std::string(kYenRoHint);
  json["board"] = report.board->name;
  json["title"] = report.board->title;
  json["boardFrom"] = report.boardFrom;
  json["closed"] = report.closed;
  json["keys"] = report.board->keys.size();
  json["tested"] = labels(report, keysWithResult(report, KeyTested));
  json["held"] = labels(report, keysWithResult(report, KeyHeld));
  json["never"] = labels(report, keysWithResult(report, KeyNever));
  Json foreign = Json::object();
  for (const ForeignLabel &label : tally.foreign)
    foreign[label.label] = label.lines;
  json["notOnBoard"] = foreign;
  Json presets = Json::object();
  for (const ForeignLabel &label : tally.foreign)
    if (const char *preset = presetWithLabel(label.label))
      presets[label.label] = preset;
  json["try"] = presets;
  json["maxHeld"] = tally.maxHeld;
  Json presses = Json::object();
  forEachRepeatedKey(report, [&](int key, unsigned count) {
    presses[report.board->keys[key].label] = count;
  });
  json["presses"] = presses;
  if (report.timed) {
    Json chatter = Json::array();
    for (long long i = 0; i < tally.chatterCount && i < kKeptChatter; ++i) {
      const Chatter &c = tally.chatter[i];
      // One decimal, as the summary shows it.
      chatter.push_back(
          {{"key", report.board->keys[c.key].label},
           {"gapMs", static_cast<long long>(c.gapMs * 10 + 0.5) / 10.0},
           {"line", c.line}});
    }
    json["chatter"] = chatter;
  }
  Json anomalies = Json::array();
  for (long long i = 0; i < tally.anomalyCount && i < kKeptAnomalies; ++i)
    anomalies.push_back({{"line", tally.anomalies[i].line},
                         {"reason", tally.anomalies[i].reason}});
  json["anomalies"] = anomalies;
  json["anomalyCount"] = tally.anomalyCount;
  return withC1Escaped(
      json.dump(-1, ' ', false, Json::error_handler_t::replace));
}

bool writeJsonReport(FILE *out, const Report &report) {
  const std::string text = jsonReport(report) + "\n";
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}
