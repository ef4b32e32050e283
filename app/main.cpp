// The program's entry: board mode when the tail asks for it; otherwise the
// layout from the command line, the window, the devices, layout detection,
// then a message loop that never blocks.
#include <windows.h>

#include <imm.h>

#include <string>

#include "app/board_window.h"
#include "app/main_window.h"
#include "app/window_messages.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "keymodel/board_tail.h"
#include "keymodel/layout.h"

namespace {

void detectLayout() {
  if (g_keyboardLayout != LayoutUnset || !hasKeyboard())
    return;
  // A failed query keeps the layout unset, which reads as US everywhere.
  DWORD devType = 0;
  if (readKeyboardType(devType))
    g_keyboardLayout = layoutFromDeviceType(devType);
}

// Polls without ever blocking or sleeping, on purpose: that is how this
// program is meant to behave, and it keeps one core busy while it runs.
void runMessageLoop() {
  MSG message;
  for (;;) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      continue;
    if (message.message == WM_QUIT)
      return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// A board's path may hold characters the system's code page lacks (a
// Japanese folder on a Western system), which the ANSI command line turns
// into '?': board mode reads the wide one, as UTF-8.
std::string utf8CommandLine() {
  const wchar_t *line = GetCommandLineW();
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1)
    return std::string();
  std::string text(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, &text[0], size, nullptr, nullptr);
  text.resize(size - 1);
  return text;
}

} // namespace

// The tail WinMain is handed is ignored: the runtime's start-up code cuts it
// wrongly after a Shift-JIS byte in the program's path. The classic options
// keep the ANSI tail they always had.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string line = utf8CommandLine();
  BoardTail board;
  if (boardTailFromCommandLine(commandLineTail(line.c_str()), board)) {
    ImmDisableIME(0);
    return runBoardMode(instance, board);
  }
  g_keyboardLayout = layoutFromCommandLine(commandLineTail(GetCommandLineA()));

  HWND window = createMainWindow(instance);
  if (window == nullptr) {
    // "Windowの初期化に失敗\n"
    OutputDebugStringA("Window\x82\xCC\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8"
                       "\x94\x73\n");
    return 0;
  }
  g_mainWindow = window;

  setUpDevices(instance, window);
  ImmDisableIME(0);
  detectLayout();
  PostMessageA(window, kStartMessage, 0, 0);
  runMessageLoop();
  return g_logStoppedShort ? 1 : 0;
}
