// A station on Windows: the board worker feeds the unit's keys from its
// thread while the window types the serial, presses the button and hears
// of keyboards on the UI thread; both reach the station run here, under
// the board worker's lock, so what one thread starts the other sees whole.
// The times are the board clock's, the hook's for the keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "keymodel/station_run.h"

// Before the worker starts: the run it feeds from then on, opened by the
// window; null for a board run. The run must outlive the worker.
void attachStationRun(StationRun *run);
bool isStationRun();

// The worker's side: a key's change at atMs. Keys of a unit that has its
// verdict, and keys pressed before the unit under test started (during
// the last one's serial, whose Enter the window may take first), are not
// the unit's. lastMs keeps the log's times from going back. True when it
// counted.
bool stationTakeKey(int key, uint8_t code, bool down, double atMs,
                    uint64_t &lastMs);

// The window's side, each true when the window has something new to show.
// A character typed comes with the scan code of its key: the key whose own
// press brought the verdict (a chatter) types nothing into the serial.
bool stationTypeChar(const std::string &utf8, uint8_t code);
bool stationFailUnit();
bool stationKeyboardCame(const std::string &name);
bool stationKeyboardGone();
void nameStationKeyboard(const std::string &name);

// For painting: the station as it is, whether its log is written and why
// its results are not ("" while they are).
void copyStation(Station &station, bool &logging, std::string &problem);

// The worker's close step: the last row and the log's closing line; the
// log's state noted as a board run's is.
bool closeStation();
