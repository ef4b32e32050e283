// One row per physical key: its XKB name, its keycode on an evdev-based
// server and the DIK code a US and a Japanese keyboard report for it. The
// Japanese codes differ only where DirectInput's Japanese keyboard names a
// key after its own legend (^ @ : and the brackets, the key left of 1, Ro).
#include "x11/scan_codes.h"

#include <X11/XKBlib.h>

#include <cstring>

namespace {

struct KeyRow {
  char name[5];
  uint8_t keycode;
  uint8_t us, jp;
};

// clang-format off
constexpr KeyRow kKeys[] = {
    {"ESC", 9, 0x01, 0x01},
    {"AE01", 10, 0x02, 0x02}, {"AE02", 11, 0x03, 0x03}, {"AE03", 12, 0x04, 0x04},
    {"AE04", 13, 0x05, 0x05}, {"AE05", 14, 0x06, 0x06}, {"AE06", 15, 0x07, 0x07},
    {"AE07", 16, 0x08, 0x08}, {"AE08", 17, 0x09, 0x09}, {"AE09", 18, 0x0A, 0x0A},
    {"AE10", 19, 0x0B, 0x0B}, {"AE11", 20, 0x0C, 0x0C}, {"AE12", 21, 0x0D, 0x90},
    {"BKSP", 22, 0x0E, 0x0E}, {"TAB", 23, 0x0F, 0x0F},
    {"AD01", 24, 0x10, 0x10}, {"AD02", 25, 0x11, 0x11}, {"AD03", 26, 0x12, 0x12},
    {"AD04", 27, 0x13, 0x13}, {"AD05", 28, 0x14, 0x14}, {"AD06", 29, 0x15, 0x15},
    {"AD07", 30, 0x16, 0x16}, {"AD08", 31, 0x17, 0x17}, {"AD09", 32, 0x18, 0x18},
    {"AD10", 33, 0x19, 0x19}, {"AD11", 34, 0x1A, 0x91}, {"AD12", 35, 0x1B, 0x1A},
    {"RTRN", 36, 0x1C, 0x1C}, {"LCTL", 37, 0x1D, 0x1D},
    {"AC01", 38, 0x1E, 0x1E}, {"AC02", 39, 0x1F, 0x1F}, {"AC03", 40, 0x20, 0x20},
    {"AC04", 41, 0x21, 0x21}, {"AC05", 42, 0x22, 0x22}, {"AC06", 43, 0x23, 0x23},
    {"AC07", 44, 0x24, 0x24}, {"AC08", 45, 0x25, 0x25}, {"AC09", 46, 0x26, 0x26},
    {"AC10", 47, 0x27, 0x27}, {"AC11", 48, 0x28, 0x92}, {"TLDE", 49, 0x29, 0x94},
    {"LFSH", 50, 0x2A, 0x2A}, {"BKSL", 51, 0x2B, 0x1B},
    {"AB01", 52, 0x2C, 0x2C}, {"AB02", 53, 0x2D, 0x2D}, {"AB03", 54, 0x2E, 0x2E},
    {"AB04", 55, 0x2F, 0x2F}, {"AB05", 56, 0x30, 0x30}, {"AB06", 57, 0x31, 0x31},
    {"AB07", 58, 0x32, 0x32}, {"AB08", 59, 0x33, 0x33}, {"AB09", 60, 0x34, 0x34},
    {"AB10", 61, 0x35, 0x35}, {"RTSH", 62, 0x36, 0x36}, {"KPMU", 63, 0x37, 0x37},
    {"LALT", 64, 0x38, 0x38}, {"SPCE", 65, 0x39, 0x39}, {"CAPS", 66, 0x3A, 0x3A},
    {"FK01", 67, 0x3B, 0x3B}, {"FK02", 68, 0x3C, 0x3C}, {"FK03", 69, 0x3D, 0x3D},
    {"FK04", 70, 0x3E, 0x3E}, {"FK05", 71, 0x3F, 0x3F}, {"FK06", 72, 0x40, 0x40},
    {"FK07", 73, 0x41, 0x41}, {"FK08", 74, 0x42, 0x42}, {"FK09", 75, 0x43, 0x43},
    {"FK10", 76, 0x44, 0x44}, {"NMLK", 77, 0x45, 0x45}, {"SCLK", 78, 0x46, 0x46},
    {"KP7", 79, 0x47, 0x47}, {"KP8", 80, 0x48, 0x48}, {"KP9", 81, 0x49, 0x49},
    {"KPSU", 82, 0x4A, 0x4A}, {"KP4", 83, 0x4B, 0x4B}, {"KP5", 84, 0x4C, 0x4C},
    {"KP6", 85, 0x4D, 0x4D}, {"KPAD", 86, 0x4E, 0x4E}, {"KP1", 87, 0x4F, 0x4F},
    {"KP2", 88, 0x50, 0x50}, {"KP3", 89, 0x51, 0x51}, {"KP0", 90, 0x52, 0x52},
    {"KPDL", 91, 0x53, 0x53}, {"LSGT", 94, 0x56, 0x56},
    {"FK11", 95, 0x57, 0x57}, {"FK12", 96, 0x58, 0x58},
    {"AB11", 97, 0x73, 0x2B}, // Ro
    {"HENK", 100, 0x79, 0x79}, {"HKTG", 101, 0x70, 0x70}, {"MUHE", 102, 0x7B, 0x7B},
    {"JPCM", 103, 0xB3, 0xB3}, // keypad comma of Japanese keyboards
    {"KPEN", 104, 0x9C, 0x9C}, {"RCTL", 105, 0x9D, 0x9D}, {"KPDV", 106, 0xB5, 0xB5},
    {"PRSC", 107, 0xB7, 0xB7}, {"RALT", 108, 0xB8, 0xB8},
    {"HOME", 110, 0xC7, 0xC7}, {"UP", 111, 0xC8, 0xC8}, {"PGUP", 112, 0xC9, 0xC9},
    {"LEFT", 113, 0xCB, 0xCB}, {"RGHT", 114, 0xCD, 0xCD}, {"END", 115, 0xCF, 0xCF},
    {"DOWN", 116, 0xD0, 0xD0}, {"PGDN", 117, 0xD1, 0xD1}, {"INS", 118, 0xD2, 0xD2},
    {"DELE", 119, 0xD3, 0xD3}, {"KPEQ", 125, 0x8D, 0x8D}, {"PAUS", 127, 0xC5, 0xC5},
    {"I129", 129, 0xB3, 0xB3}, // keypad comma
    {"AE13", 132, 0x7D, 0x7D}, // Yen
    {"LWIN", 133, 0xDB, 0xDB}, {"RWIN", 134, 0xDC, 0xDC}, {"COMP", 135, 0xDD, 0xDD},
    // Korean keys: Windows reads their one-byte codes 0xF2 and 0xF1 as
    // scan codes 0x72 and 0x71.
    {"HNGL", 130, 0x72, 0x72}, {"HJCV", 131, 0x71, 0x71},
};
// clang-format on

bool isEvdevServer(Display *display, XkbDescPtr desc) {
  if (XkbGetNames(display, XkbKeycodesNameMask, desc) != Success ||
      desc->names->keycodes == None)
    return true; // no XKB names to go by: keycodes as Linux numbers them
  char *name = XGetAtomName(display, desc->names->keycodes);
  const bool evdev = name != nullptr && std::strncmp(name, "evdev", 5) == 0;
  XFree(name);
  return evdev;
}

const KeyRow *rowNamed(const char (&name)[XkbKeyNameLength]) {
  for (const KeyRow &row : kKeys)
    if (std::strncmp(row.name, name, XkbKeyNameLength) == 0)
      return &row;
  return nullptr;
}

bool mapByKeyNames(Display *display, XkbDescPtr desc, bool japanese,
                   ScanMap &map) {
  if (XkbGetNames(display, XkbKeyNamesMask, desc) != Success ||
      desc->names->keys == nullptr)
    return false;
  for (int code = desc->min_key_code; code <= desc->max_key_code; ++code)
    if (const KeyRow *row = rowNamed(desc->names->keys[code].name))
      map.dik[code] = japanese ? row->jp : row->us;
  return true;
}

} // namespace

ScanSource buildScanMap(Display *display, bool japanese, ScanMap &map) {
  std::memset(&map, 0, sizeof map);
  XkbDescPtr desc = XkbGetMap(display, 0, XkbUseCoreKbd);
  bool named = false;
  if (desc != nullptr && !isEvdevServer(display, desc))
    named = mapByKeyNames(display, desc, japanese, map);
  if (desc != nullptr)
    XkbFreeKeyboard(desc, 0, True);
  if (named)
    return ScanSource::KeyNames;
  for (const KeyRow &row : kKeys)
    map.dik[row.keycode] = japanese ? row.jp : row.us;
  return ScanSource::Evdev;
}

ScanSource buildBoardScanMap(Display *display, const Board &board,
                             ScanMap &map) {
  int japanese = 0;
  for (const KeyRow &row : kKeys) {
    if (row.us == row.jp)
      continue;
    japanese += board.keyOfCode[row.jp] >= 0;
    japanese -= board.keyOfCode[row.us] >= 0;
  }
  const ScanSource source = buildScanMap(display, japanese > 0, map);
  constexpr uint8_t kKeypadComma = 0xB3, kAbntKeypad = 0x7E;
  if (board.keyOfCode[kKeypadComma] < 0 && board.keyOfCode[kAbntKeypad] >= 0)
    for (uint8_t &dik : map.dik)
      if (dik == kKeypadComma)
        dik = kAbntKeypad;
  return source;
}

void keymapToKeyState(const char keys[32], const ScanMap &map,
                      KeyState &state) {
  std::memset(&state, 0, sizeof state);
  // Keycodes 0 to 7 do not exist; their bits mean nothing.
  for (int code = 8; code < 256; ++code) {
    const bool down = (keys[code >> 3] >> (code & 7)) & 1;
    if (down && map.dik[code] != 0)
      state.bytes[map.dik[code]] = 0x80;
  }
}
