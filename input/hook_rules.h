// What the board window's keyboard hook does with one key event, as plain
// rules: which keys it keeps from the shell while the window is active, and
// which DirectInput code names the key, so that the hook's stream and
// DirectInput's buffer speak of the same keys.
#pragma once

#include <windows.h>

#include <cstdint>

// One event as KBDLLHOOKSTRUCT gives it.
struct HookKey {
  uint32_t vk;
  uint32_t scan;
  uint32_t flags; // LLKHF_*
};

// The keys whose down the hook kept from the shell: their up is kept too,
// and only theirs. An up let through after a kept down is harmless, but a
// kept up after a down the system saw would leave the key down for it.
struct KeptKeys {
  uint32_t bits[8];
};

// Whether the shell must not see this event: a down of either Windows key,
// Apps, Print Screen, a browser or media key (VK_BROWSER_BACK to
// VK_LAUNCH_APP2), Tab with Alt down, Esc with Alt or Ctrl down; an up
// whose down was kept. Notes the kept downs in kept.
bool keepFromShell(const HookKey &key, bool altDown, bool ctrlDown,
                   KeptKeys &kept);

// The DirectInput code (DIK_) DirectInput gives the same key: the scan code,
// with bit 7 for an extended key, and on a Japanese 106 keyboard the
// Japanese names DirectInput gives six keys the US board has elsewhere.
// -1 for an event that is no key of a keyboard: a character typed by a
// program (no scan code), the left Ctrl that AltGr adds (0x21D), the
// extended left Shift a keyboard adds around the navigation keys.
int directInputCodeOf(const HookKey &key, bool japanese);

// The code of a change in DirectInput's buffered data. Wine's DirectInput
// reports the Japanese "^" key under offset 0xFF there, not under the
// key's own 0x90; no key has 0xFF, so it is read as the key it is, which
// the hook's stream names 0x90 too.
uint8_t directInputCodeOfOffset(DWORD offset);
