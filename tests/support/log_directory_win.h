// The log's name is fixed and it lands in the current directory, so every
// Win32 test that makes one runs in a fresh directory of its own; and reads
// the log back as the disk holds it, CR LF and all.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "keymodel/transition_log.h"

struct LogDirectory {
  std::string path;
  char previous[MAX_PATH];
};

// Creates a new temporary directory and makes it current.
inline bool enterLogDirectory(LogDirectory &dir) {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  dir.path = std::string(temp) + "kc-test-" +
             std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++made);
  GetCurrentDirectoryA(MAX_PATH, dir.previous);
  return CreateDirectoryA(dir.path.c_str(), nullptr) &&
         SetCurrentDirectoryA(dir.path.c_str());
}

// Goes back and removes the directory with the log, file or directory.
inline void leaveLogDirectory(const LogDirectory &dir) {
  SetCurrentDirectoryA(dir.previous);
  const std::string log = dir.path + "\\" + kLogFileName;
  DeleteFileA(log.c_str());
  RemoveDirectoryA(log.c_str());
  RemoveDirectoryA(dir.path.c_str());
}

inline std::string logBytes() {
  std::ifstream in(kLogFileName, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
