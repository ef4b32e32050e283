// What the log's tests in both builds share: a snapshot with some keys
// held, and the log file's bytes as they are on disk.
#pragma once

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "keymodel/transition_log.h"

inline KeyState keysDown(std::initializer_list<uint8_t> codes) {
  KeyState state{};
  for (uint8_t code : codes)
    state.bytes[code] = 0x80;
  return state;
}

inline std::string logOnDisk() {
  std::stringstream bytes;
  bytes << std::ifstream(kLogFileName, std::ios::binary).rdbuf();
  return bytes.str();
}
