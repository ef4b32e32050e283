// The text inside a results row: a CSV cell as written, the key lists
// that share one cell, and the numbers and the time. Split from the row's
// columns so each rule reads on its own.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "keymodel/results_row.h"

namespace {

bool needsCsvQuotes(const std::string &text) {
  return text.find_first_of(",\"\r\n") != std::string::npos ||
         (!text.empty() && (text.front() == ' ' || text.back() == ' '));
}

bool needsListQuotes(const std::string &label) {
  return label.find_first_of(" \"") != std::string::npos;
}

std::string quoted(const std::string &text) {
  std::string out = "\"";
  for (char c : text)
    out += c == '"' ? "\"\"" : std::string(1, c);
  return out + "\"";
}

// The entries of a list cell, unquoted; false for a cell that is not one
// (two blanks, a blank at an end, an unclosed or stray quote).
bool splitList(const std::string &cell, std::vector<std::string> &entries) {
  entries.clear();
  size_t i = 0;
  while (i < cell.size()) {
    std::string entry;
    if (cell[i] == '"') {
      for (++i;; ++i) {
        if (i >= cell.size())
          return false;
        if (cell[i] == '"' && (i + 1 >= cell.size() || cell[i + 1] != '"'))
          break;
        i += cell[i] == '"' ? 1 : 0;
        entry += cell[i];
      }
      ++i;
    } else {
      while (i < cell.size() && cell[i] != ' ' && cell[i] != '"')
        entry += cell[i++];
    }
    if (entry.empty() || (i < cell.size() && cell[i] != ' '))
      return false;
    entries.push_back(entry);
    // One blank between entries, none after the last.
    if (i < cell.size() && ++i == cell.size())
      return false;
  }
  return true;
}

// Milliseconds and seconds as the row writes them: digits, a point, one
// digit.
std::string tenths(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

} // namespace

bool parseDecimal(const std::string &text, double &value) {
  size_t i = 0, digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    ++i, ++digits;
  if (i < text.size() && text[i] == '.')
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      ++digits;
  if (digits == 0 || digits > 15 || i != text.size() || text[0] == '.' ||
      text.back() == '.')
    return false;
  value = std::strtod(text.c_str(), nullptr);
  return true;
}

std::string csvCell(const std::string &text) {
  const bool formula =
      !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' ||
                        text[0] == '@' || text[0] == '\'');
  const std::string guarded = formula ? "'" + text : text;
  return needsCsvQuotes(guarded) ? quoted(guarded) : guarded;
}

std::string formatKeyList(const std::vector<std::string> &labels) {
  std::string cell;
  for (const std::string &label : labels)
    cell += (cell.empty() ? "" : " ") +
            (needsListQuotes(label) ? quoted(label) : label);
  return cell;
}

bool parseKeyList(const std::string &cell, std::vector<std::string> &labels) {
  return splitList(cell, labels);
}

std::string formatChatterList(const std::vector<ChatterEntry> &chatter) {
  std::vector<std::string> entries;
  for (const ChatterEntry &entry : chatter)
    entries.push_back(entry.label + ":" + tenths(entry.gapMs));
  return formatKeyList(entries);
}

bool parseChatterList(const std::string &cell,
                      std::vector<ChatterEntry> &chatter) {
  std::vector<std::string> entries;
  if (!splitList(cell, entries))
    return false;
  chatter.clear();
  for (const std::string &entry : entries) {
    const size_t colon = entry.rfind(':');
    double gap = 0;
    if (colon == std::string::npos || colon == 0 ||
        !parseDecimal(entry.substr(colon + 1), gap))
      return false;
    chatter.push_back({entry.substr(0, colon), gap});
  }
  return true;
}

std::string formatTenths(double value) { return tenths(value); }

std::string isoLocalTime(long long secondsSinceEpoch) {
  const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
  // Copied at once: both calls share one static buffer.
  const std::tm local = *std::localtime(&t);
  const std::tm utc = *std::gmtime(&t);
  // The zone's offset from the two broken-down times, a day apart at most.
  int days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year)
    days = local.tm_year > utc.tm_year ? 1 : -1;
  const int minutes = days * 1440 + (local.tm_hour - utc.tm_hour) * 60 +
                      (local.tm_min - utc.tm_min);
  const int offset = minutes < 0 ? -minutes : minutes;
  char text[96]; // room for any int the compiler can imagine
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec,
                minutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return text;
}
