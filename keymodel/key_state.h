// The keyboard snapshot as DirectInput's keyboard data format delivers it.
// Its own header, because the log, the grid plan and the device set all
// speak it without needing each other.
#pragma once

#include <cstdint>

// 256 bytes indexed by DIK_ scan code; bit 7 set means the key is down.
struct KeyState {
  uint8_t bytes[256];
};

inline bool isKeyDown(const KeyState &state, uint8_t code) {
  return (state.bytes[code] & 0x80) != 0;
}
