// The station name's rule and its default, in one place for both
// checkers, the log reader and the results file.
#include "keymodel/station_name.h"

#include "keymodel/text_rules.h"

namespace {

bool allowed(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_' || c == '-';
}

} // namespace

bool isStationName(const std::string &name) {
  if (name.empty() || name.size() > kMaxStationName)
    return false;
  for (char c : name)
    if (!allowed(c))
      return false;
  return true;
}

std::string stationNameProblem(const std::string &name) {
  if (isStationName(name))
    return "";
  return "station name \"" + displayText(name) +
         "\": 1 to 32 letters A-Z or a-z, digits, \"-\" or \"_\"";
}

std::string stationNameFromHost(const std::string &host) {
  std::string name;
  for (size_t i = 0; i < host.size() && host[i] != '.' &&
                     name.size() < static_cast<size_t>(kMaxStationName);
       ++i) {
    // A character of several UTF-8 bytes becomes one "_".
    if ((static_cast<unsigned char>(host[i]) & 0xC0) == 0x80)
      continue;
    name += allowed(host[i]) ? host[i] : '_';
  }
  return name.empty() ? "station" : name;
}

std::string defaultStationName() {
  std::string host;
  return stationNameFromHost(systemHostName(host) ? host : "");
}

std::string resultsFileName(const std::string &station) {
  return "keyboard-results-" + station + ".csv";
}

std::string keyboardNameFromPath(const std::string &path) {
  static const std::string prefix = "\\\\?\\";
  std::string name = path.compare(0, prefix.size(), prefix) == 0
                         ? path.substr(prefix.size())
                         : path;
  const size_t bus = name.find('#');
  const size_t device =
      bus == std::string::npos ? bus : name.find('#', bus + 1);
  return device == std::string::npos ? name : name.substr(0, device);
}
