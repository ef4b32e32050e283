// Read when the window is about to say something, not at start-up: the
// user may change the setting while the checker runs.
#include "app/print_screen_setting.h"

#include <windows.h>

// Short enough for the window of a 60 % board.
const char kPrintScreenNotice[] =
    "Print Screen: turn off screen capture in Accessibility > Keyboard";

bool printScreenOpensCapture() {
  DWORD value = 0, size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Keyboard",
                      L"PrintScreenKeyForSnippingEnabled", RRF_RT_REG_DWORD,
                      nullptr, &value, &size) == ERROR_SUCCESS &&
         value == 1;
}
