// The board window's words that are not the plan's.
#include "app/board_texts.h"

#include <windows.h>

#include "keymodel/text_rules.h"
#include "keymodel/transition_log.h"
#include "keymodel/window_title.h"

// The log's full name, for the window: a user who double-clicked a
// starter has no other way to learn where it is.
std::string logPlace() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  char utf8[4 * MAX_PATH];
  if (length == 0 || length >= MAX_PATH ||
      WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, nullptr,
                          nullptr) == 0)
    return "";
  std::string place = utf8;
  if (!place.empty() && place.back() != '\\')
    place += '\\';
  return displayText(place + kLogFileName);
}

void sayBadBoard(const std::string &error) {
  // The message is UTF-8 (the path from the wide command line, a board
  // file's own text); the system's code page is only a fallback for a
  // reason the C library gave in it.
  wchar_t text[1024], caption[128];
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, error.c_str(), -1,
                          text, 1024) == 0)
    MultiByteToWideChar(CP_ACP, 0, error.c_str(), -1, text, 1024);
  text[1023] = L'\0';
  MultiByteToWideChar(CP_UTF8, 0, kWindowTitle, -1, caption, 128);
  MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}
