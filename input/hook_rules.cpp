// The hook's rules as tables, tested on their own: what the shell acts on
// and how DirectInput numbers what the hook sees.
#include "input/hook_rules.h"

namespace {

enum Needs : uint8_t { Always, WithAlt, WithAltOrCtrl };

// The keys the shell acts on while another window is in front: the Start
// menu, the Snipping Tool, task switching, media and browser actions.
struct ShellKey {
  uint32_t first, last;
  Needs needs;
};
constexpr ShellKey kShellKeys[] = {
    {VK_LWIN, VK_RWIN, Always},
    {VK_APPS, VK_APPS, Always},
    {VK_SNAPSHOT, VK_SNAPSHOT, Always},
    {VK_BROWSER_BACK, VK_LAUNCH_APP2, Always},
    {VK_TAB, VK_TAB, WithAlt},             // Alt+Tab
    {VK_ESCAPE, VK_ESCAPE, WithAltOrCtrl}, // Alt+Esc, Ctrl+Esc
};

// Keys whose scan code alone would name another key: Right Shift and Num
// Lock come with the extended flag DirectInput ignores, Pause with Num
// Lock's scan code, Print Screen with Alt as SysRq's 0x54.
struct VirtualKeyCode {
  uint32_t vk;
  uint8_t code;
};
constexpr VirtualKeyCode kByVirtualKey[] = {
    {VK_RSHIFT, 0x36},   {VK_NUMLOCK, 0x45},  {VK_PAUSE, 0xC5},
    {VK_SNAPSHOT, 0xB7}, {VK_SUBTRACT, 0x4A},
};

// On a Japanese 106 keyboard DirectInput names these scan codes as the
// Japanese keys: ^ @ [ : Zenkaku/Hankaku ] and Ro (the US board's
// backslash code).
struct JapaneseCode {
  uint8_t scan, code;
};
constexpr JapaneseCode kJapanese[] = {
    {0x0D, 0x90}, {0x1A, 0x91}, {0x1B, 0x1A}, {0x28, 0x92},
    {0x29, 0x94}, {0x2B, 0x1B}, {0x73, 0x2B},
};

constexpr uint8_t kWineCircumflex = 0xFF, kCircumflex = 0x90;
// An extended left Shift is the one a keyboard adds around the navigation
// keys while Num Lock is on: no key was pressed.
constexpr uint8_t kLeftShiftScan = 0x2A;

bool needsMet(Needs needs, bool altDown, bool ctrlDown) {
  switch (needs) {
  case Always:
    return true;
  case WithAlt:
    return altDown;
  case WithAltOrCtrl:
    return altDown || ctrlDown;
  }
  return false;
}

bool isShellKey(uint32_t vk, bool altDown, bool ctrlDown) {
  for (const ShellKey &key : kShellKeys)
    if (vk >= key.first && vk <= key.last)
      return needsMet(key.needs, altDown, ctrlDown);
  return false;
}

} // namespace

bool keepFromShell(const HookKey &key, bool altDown, bool ctrlDown,
                   KeptKeys &kept) {
  if (key.vk > 0xFF)
    return false;
  uint32_t &word = kept.bits[key.vk / 32];
  const uint32_t bit = 1u << (key.vk % 32);
  if ((key.flags & LLKHF_UP) != 0) {
    const bool wasKept = (word & bit) != 0;
    word &= ~bit;
    return wasKept;
  }
  if (!isShellKey(key.vk, altDown, ctrlDown))
    return false;
  word |= bit;
  return true;
}

int directInputCodeOf(const HookKey &key, bool japanese) {
  for (const VirtualKeyCode &v : kByVirtualKey)
    if (key.vk == v.vk)
      return v.code;
  if ((key.scan & 0xFF) == 0 || key.scan > 0x1FF)
    return -1;
  uint8_t code = static_cast<uint8_t>(key.scan);
  const bool extended = (key.flags & LLKHF_EXTENDED) != 0 || key.scan > 0xFF;
  if (extended && code == kLeftShiftScan)
    return -1;
  if (extended)
    return code | 0x80;
  if (japanese)
    for (const JapaneseCode &j : kJapanese)
      if (code == j.scan)
        return j.code;
  return code;
}

uint8_t directInputCodeOfOffset(DWORD offset) {
  const uint8_t code = static_cast<uint8_t>(offset);
  return code == kWineCircumflex ? kCircumflex : code;
}
