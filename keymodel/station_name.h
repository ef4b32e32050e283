// A station's name: it names the station's results file
// (keyboard-results-<name>.csv) and each of its rows, and ends the
// station log's opening line, so it must be safe as a file name on both
// systems, in a CSV cell and as one word of a line.
#pragma once

#include <string>

constexpr int kMaxStationName = 32;

// [A-Za-z0-9_-], 1 to 32 bytes.
bool isStationName(const std::string &name);

// Why a name given on the command line cannot be a station's, as one line
// without its line end (control characters escaped); "" when it can.
std::string stationNameProblem(const std::string &name);

// A station name from a host name: up to its first dot (the domain says
// nothing about the bench), every other character not allowed made "_",
// cut to 32 bytes; "station" when nothing is left.
std::string stationNameFromHost(const std::string &host);

// This computer's name as the system gives it; false when it gives none.
// Each platform's build brings its own.
bool systemHostName(std::string &host);

// What --station without a NAME means: the host's name made safe.
std::string defaultStationName();

// keyboard-results-<name>.csv
std::string resultsFileName(const std::string &station);

// What Windows' device interface path says of a keyboard, for its results
// rows: "\\?\HID#VID_046D&PID_C31C&MI_00#7&2b&0&0000#{884b96c3-...}"
// gives "HID#VID_046D&PID_C31C&MI_00", the bus and the device without the
// instance and the interface's class; a path of another shape is kept
// whole.
std::string keyboardNameFromPath(const std::string &path);
