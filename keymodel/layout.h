// Which physical keyboard the checker assumes. Decided once at start-up,
// from the command line or from the keyboard device, and read by the log
// and the painter to pick the main block and the closing line.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// DirectInput keyboard subtype codes; only LayoutJP changes anything.
enum KeyboardLayout : uint8_t {
  LayoutUnset = 0,
  LayoutUS = 4,  // DIDEVTYPEKEYBOARD_PCENH
  LayoutJP = 10, // DIDEVTYPEKEYBOARD_JAPAN106
};

// Written by start-up on the UI thread while the input worker may already
// be running, hence atomic.
extern std::atomic<KeyboardLayout> g_keyboardLayout;

// What follows the program name in a whole command line (GetCommandLineA):
// leading blanks and tabs, then the name (to its closing double quote when
// it starts with one, else to the first blank or tab), then the blanks and
// tabs after it are skipped; trailing blanks stay. Null gives null.
const char *commandLineTail(const char *commandLine);

// The option must be the whole tail: "/jp" or "/en", case-sensitive.
// A null tail is allowed.
KeyboardLayout layoutFromCommandLine(const char *tail);

// Subtypes 10 (JAPAN106) and 11 (JAPANAX) mean Japanese, everything else US.
KeyboardLayout layoutFromDeviceType(uint32_t devType);
