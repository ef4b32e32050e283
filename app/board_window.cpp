// The board window and its procedure. It blocks in GetMessage while
// nothing happens: the worker's repaint request is the only thing that
// wakes it when a key changes.
#include "app/board_window.h"

#include <string>

#include "app/board_legends.h"
#include "app/board_paint.h"
#include "app/main_window.h"
#include "app/print_screen_setting.h"
#include "app/window_messages.h"
#include "input/board_clock.h"
#include "input/board_worker.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "input/key_hook.h"
#include "keymodel/board.h"
#include "keymodel/layout.h"
#include "keymodel/text_rules.h"
#include "keymodel/transition_log.h"

namespace {

constexpr char kBoardClass[] = "CorvaneKeyboardCheckerBoard";
constexpr double kChatterMs = 30;
// A burst of a whole chord at once, with room to spare.
constexpr DWORD kChangeBuffer = 256;
constexpr DWORD kWorkerStopBoundMs = 3000;
constexpr DWORD kHookStopBoundMs = 1000;
// The window lost the foreground this soon after a Print Screen down: the
// shell took the key.
constexpr double kPrintScreenTakenMs = 1000;

// UI thread only: the board for the whole run, the plan fitted to the
// window's font once, what the window itself has to say on the notice
// line, and the last failed hook that was decided for.
Board g_board;
BoardPlan g_plan;
std::string g_notice;
uint32_t g_failedHook = 0;

// The hook keeps the shell's keys only while the window is active: keys
// typed into another window are that window's.
void listen(bool active) {
  wantKeyHook(active);
  unacquireAll();
  attachKeyboardEvent(active ? boardWakeEvent() : nullptr);
  if (!active)
    return;
  acquireAll();
  resyncBoardKeys();
}

// Said once, and only when Windows is set to give the key away.
void notePrintScreenLost() {
  if (g_notice.empty() && printScreenOpensCapture())
    g_notice = kPrintScreenNotice;
}

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

void update(HWND window) {
  static const std::string place = logPlace();
  // Asked once per hook that could not be installed, not at every repaint.
  uint32_t installs;
  if (keyHookState(installs) == HookFailed && installs != g_failedHook) {
    g_failedHook = installs;
    notePrintScreenLost();
  }
  BoardProgress progress;
  copyBoardProgress(progress);
  updateBoardFrame(window, g_plan, progress, boardLogWriting(), place,
                   g_notice);
}

LRESULT onActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  // As the classic window: a minimized activation counts as active.
  const bool active = wParam != 0;
  listen(active);
  const double printScreen = lastPrintScreenMs();
  if (!active && printScreen >= 0 &&
      boardClockMs() - printScreen < kPrintScreenTakenMs) {
    notePrintScreenLost();
    update(window);
  }
  return DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
}

LRESULT onPaint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  paintBoardFrame(dc, ps.rcPaint);
  EndPaint(window, &ps);
  return 0;
}

LRESULT onClose(HWND window) {
  stopKeyHook(kHookStopBoundMs);
  stopBoardWorker(kWorkerStopBoundMs);
  DestroyWindow(window);
  return 0;
}

LRESULT onDestroy() {
  if (boardWorkerEnded())
    releaseAll();
  PostQuitMessage(0);
  return 0;
}

LRESULT onStart(HWND window) {
  listen(true);
  update(window);
  return 0;
}

// A lone Alt or F10 would open the window's menu, and the keys tested next
// would drive it (C closes the window): every key here is a key under
// test. Alt+F4 and the close box still close it.
LRESULT onSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) == SC_KEYMENU)
    return 0;
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT onRepaintRequest(HWND window) {
  update(window);
  return 0;
}

LRESULT CALLBACK boardWindowProc(HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  switch (message) {
  case WM_ACTIVATE:
    return onActivate(window, wParam, lParam);
  case WM_PAINT:
    return onPaint(window);
  case WM_ERASEBKGND:
    return 1; // every paint covers the whole client area
  case WM_CLOSE:
    return onClose(window);
  case WM_SYSCOMMAND:
    return onSysCommand(window, wParam, lParam);
  case WM_DESTROY:
    return onDestroy();
  case kStartMessage:
    return onStart(window);
  case kRepaintRequest:
    return onRepaintRequest(window);
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

// The client area a window can have on this screen: the work area (no
// taskbar) less the window's frame.
void screenRoom(int &width, int &height) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  width = (work.right - work.left) - (frame.right - frame.left);
  height = (work.bottom - work.top) - (frame.bottom - frame.top);
}

// Laid out on the screen's DC before the window exists, so the window is
// created visible at its final size, as the classic window is; a window
// shown only later does not get the keyboard focus from a click under
// Wine. Null with fits false when the board does not fit the screen.
HWND createBoardWindow(HINSTANCE instance, bool keymapLegends, bool &fits) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = boardWindowProc;
  wc.hInstance = instance;
  wc.hIcon =
      static_cast<HICON>(LoadImageA(instance, "KEYCHECKERICON", IMAGE_ICON, 0,
                                    0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kBoardClass;
  if (RegisterClassExA(&wc) == 0)
    return nullptr;
  std::vector<std::string> legends;
  if (keymapLegends)
    readLegends(g_board, legends);
  int width, height;
  screenRoom(width, height);
  HDC screen = GetDC(nullptr);
  fits = fitBoardPlanTo(screen, g_plan, g_board, legends, width, height);
  ReleaseDC(nullptr, screen);
  if (!fits)
    return nullptr;
  RECT r{0, 0, g_plan.clientWidth, g_plan.clientHeight};
  AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
  return CreateWindowExA(0, kBoardClass, kWindowTitle, kWindowStyle, 0, 0,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                         instance, nullptr);
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

// Whether DirectInput names the keys as on a Japanese keyboard, which the
// hook's stream must follow.
bool japaneseKeyboard() {
  DWORD devType = 0;
  return readKeyboardType(devType) && layoutFromDeviceType(devType) == LayoutJP;
}

} // namespace

int runBoardMode(HINSTANCE instance, const BoardTail &tail) {
  const char *nameOrPath = tail.board.c_str();
  startBoardClock();
  std::string error;
  if (!loadBoard(nameOrPath, g_board, error)) {
    sayBadBoard(error);
    return 2;
  }
  bool fits = true;
  HWND window = createBoardWindow(instance, !tail.boardLegends, fits);
  if (!fits) {
    sayBadBoard(displayText(nameOrPath) +
                ": the board does not fit this screen even at the smallest "
                "font");
    return 2;
  }
  if (window == nullptr)
    return 1;
  g_mainWindow = window;
  setUpDevices(instance, window);
  bufferKeyboardChanges(kChangeBuffer);
  if (!startBoardWorker(g_board, kChatterMs, japaneseKeyboard(), g_mainWindow,
                        kRepaintRequest) ||
      !startKeyHook(window, boardHookQueue(), boardWakeEvent()))
    return 1;
  PostMessageA(window, kStartMessage, 0, 0);
  // Paints come only from here on, so each finds the worker's progress.
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return g_logStoppedShort ? 1 : 0;
}
