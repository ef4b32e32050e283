// The board window and its procedure. It blocks in GetMessage while
// nothing happens: the worker's repaint request is the only thing that
// wakes it when a key changes.
#include "app/board_window.h"

#include <string>

#include "app/board_legends.h"
#include "app/board_paint.h"
#include "app/board_texts.h"
#include "app/main_window.h"
#include "app/print_screen_setting.h"
#include "app/station_window.h"
#include "app/window_messages.h"
#include "input/board_clock.h"
#include "input/board_worker.h"
#include "input/device_set.h"
#include "input/input_worker.h"
#include "input/key_hook.h"
#include "input/station_keys.h"
#include "keymodel/board.h"
#include "keymodel/layout.h"
#include "keymodel/text_rules.h"
#include "keymodel/transition_log.h"

namespace {

constexpr wchar_t kBoardClass[] = L"CorvaneKeyboardCheckerBoard";
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

void update(HWND window) {
  static const std::string place = logPlace();
  // Asked once per hook that could not be installed, not at every repaint.
  uint32_t installs;
  if (keyHookState(installs) == HookFailed && installs != g_failedHook) {
    g_failedHook = installs;
    notePrintScreenLost();
  }
  if (isStationRun()) {
    colourStationWindow(g_plan, place);
  } else {
    BoardProgress progress;
    copyBoardProgress(progress);
    colourBoardPlan(g_plan, progress);
    noteBoardLogState(g_plan, boardLogWriting(), place);
  }
  if (!g_notice.empty())
    addBoardNotice(g_plan, g_notice);
  drawBoardFrame(window, g_plan);
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
  return DefWindowProcW(window, WM_ACTIVATE, wParam, lParam);
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
  return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT onRepaintRequest(HWND window) {
  update(window);
  return 0;
}

// A board run's window takes no characters, clicks or devices; a
// station's does.
LRESULT onChar(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!isStationRun())
    return DefWindowProcW(window, WM_CHAR, wParam, lParam);
  return onStationChar(window, wParam, lParam);
}

LRESULT onClick(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!isStationRun())
    return DefWindowProcW(window, WM_LBUTTONDOWN, wParam, lParam);
  return onStationClick(window, lParam, g_plan);
}

LRESULT onDeviceChange(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!isStationRun())
    return DefWindowProcW(window, WM_DEVICECHANGE, wParam, lParam);
  return onStationDeviceChange(window, wParam, lParam);
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
  case WM_CHAR:
    return onChar(window, wParam, lParam);
  case WM_LBUTTONDOWN:
    return onClick(window, wParam, lParam);
  case WM_DEVICECHANGE:
    return onDeviceChange(window, wParam, lParam);
  default:
    return DefWindowProcW(window, message, wParam, lParam);
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
// Wine. False when the board does not fit the screen.
bool fitBoardWindow(bool keymapLegends, bool station) {
  std::vector<std::string> legends;
  if (keymapLegends)
    readLegends(g_board, legends);
  int width, height;
  screenRoom(width, height);
  HDC screen = GetDC(nullptr);
  const bool fits =
      fitBoardPlanTo(screen, g_plan, g_board, legends, width, height, station);
  ReleaseDC(nullptr, screen);
  return fits;
}

// A Unicode window, so that a serial's characters come as typed, whatever
// the system's code page.
HWND createBoardWindow(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = boardWindowProc;
  wc.hInstance = instance;
  wc.hIcon =
      static_cast<HICON>(LoadImageW(instance, L"KEYCHECKERICON", IMAGE_ICON, 0,
                                    0, LR_SHARED | LR_DEFAULTSIZE));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kBoardClass;
  if (RegisterClassExW(&wc) == 0)
    return nullptr;
  wchar_t title[128];
  MultiByteToWideChar(CP_UTF8, 0, kWindowTitle, -1, title, 128);
  RECT r{0, 0, g_plan.clientWidth, g_plan.clientHeight};
  AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
  return CreateWindowExW(0, kBoardClass, title, kWindowStyle, 0, 0,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                         instance, nullptr);
}

// Whether DirectInput names the keys as on a Japanese keyboard, which the
// hook's stream must follow.
bool japaneseKeyboard() {
  DWORD devType = 0;
  return readKeyboardType(devType) && layoutFromDeviceType(devType) == LayoutJP;
}

} // namespace

int runBoardMode(HINSTANCE instance, const BoardTail &tail) {
  startBoardClock();
  std::string error;
  if (!loadBoard(tail.board.c_str(), g_board, error)) {
    sayBadBoard(error);
    return 2;
  }
  if (!fitBoardWindow(!tail.boardLegends, tail.station)) {
    sayBadBoard(displayText(tail.board) +
                ": the board does not fit this screen even at the smallest "
                "font");
    return 2;
  }
  if (tail.station && !openStationWindowRun(g_board, kChatterMs, tail, error)) {
    sayBadBoard(displayText(error));
    return 2;
  }
  HWND window = createBoardWindow(instance);
  if (window == nullptr)
    return 1;
  g_mainWindow = window;
  setUpDevices(instance, window);
  bufferKeyboardChanges(kChangeBuffer);
  if (!startBoardWorker(g_board, kChatterMs, japaneseKeyboard(), g_mainWindow,
                        kRepaintRequest) ||
      !startKeyHook(window, boardHookQueue(), boardWakeEvent()))
    return 1;
  // The station run is shared under the worker's lock from here on.
  if (tail.station)
    listenForKeyboards(window);
  PostMessageW(window, kStartMessage, 0, 0);
  // Paints come only from here on, so each finds the worker's progress.
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return g_logStoppedShort ? 1 : 0;
}
