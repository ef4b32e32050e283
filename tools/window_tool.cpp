// A small Win32 console tool run beside the checker, in the same Wine
// desktop, by the tests, the demo and the benchmarks: it does to the
// checker's window what a user or the window manager would, reports what
// only the platform knows, and stands in for another program the keys may
// go to. It links nothing of the checker.
//
//   window_tool close TITLE        WM_CLOSE, as the close box sends it
//   window_tool where TITLE        "client X Y" (client origin on screen)
//                                  "window W H" (outer size) and
//                                  "size W H" (client size)
//   window_tool resize TITLE W H   a new outer size, position kept
//   window_tool text TITLE         a message box's text, in UTF-8
//   window_tool record TITLE FILE  a window at the desktop's bottom right
//                                  writing to FILE a line per key its own
//                                  low-level hook is given ("hook 5B up")
//                                  and per key message ("key 5B")
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

FILE *g_record = nullptr;

void note(const char *what, unsigned vk, const char *how) {
  std::fprintf(g_record, "%s %02X%s\n", what, vk, how);
  std::fflush(g_record);
}

LRESULT CALLBACK recordHookEvent(int code, WPARAM wParam, LPARAM lParam) {
  const auto &info = *reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
  if (code == HC_ACTION)
    note("hook", info.vkCode, (info.flags & LLKHF_UP) != 0 ? " up" : " down");
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK recordWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  switch (message) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    note("key", static_cast<unsigned>(wParam), "");
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

int record(const char *title, const char *path) {
  g_record = std::fopen(path, "w");
  if (g_record == nullptr)
    return 1;
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KeyRecorder";
  HHOOK hook =
      SetWindowsHookExA(WH_KEYBOARD_LL, recordHookEvent, wc.hInstance, 0);
  if (RegisterClassA(&wc) == 0 || hook == nullptr ||
      CreateWindowA(wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                    GetSystemMetrics(SM_CXSCREEN) - 300,
                    GetSystemMetrics(SM_CYSCREEN) - 200, 300, 200, nullptr,
                    nullptr, wc.hInstance, nullptr) == nullptr)
    return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  UnhookWindowsHookEx(hook);
  std::fclose(g_record);
  return 0;
}

// A message box's text is its longest static control (the other holds
// the icon, and has none).
BOOL CALLBACK keepLongestText(HWND child, LPARAM found) {
  wchar_t kind[16], text[2048];
  auto &longest = *reinterpret_cast<std::wstring *>(found);
  if (GetClassNameW(child, kind, 16) > 0 && lstrcmpiW(kind, L"Static") == 0 &&
      GetWindowTextW(child, text, 2048) > static_cast<int>(longest.size()))
    longest = text;
  return TRUE;
}

int printText(HWND window) {
  std::wstring longest;
  EnumChildWindows(window, keepLongestText, reinterpret_cast<LPARAM>(&longest));
  char utf8[8192];
  if (longest.empty() ||
      WideCharToMultiByte(CP_UTF8, 0, longest.c_str(), -1, utf8, sizeof utf8,
                          nullptr, nullptr) == 0)
    return 1;
  std::printf("%s\n", utf8);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 4 && std::strcmp(argv[1], "record") == 0)
    return record(argv[2], argv[3]);
  HWND window = argc < 3 ? nullptr : FindWindowA(nullptr, argv[2]);
  if (window == nullptr)
    return 1;
  if (std::strcmp(argv[1], "close") == 0)
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (std::strcmp(argv[1], "text") == 0)
    return printText(window);
  if (std::strcmp(argv[1], "resize") == 0 && argc == 5)
    return SetWindowPos(window, nullptr, 0, 0, std::atoi(argv[3]),
                        std::atoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER)
               ? 0
               : 1;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT outer;
  GetWindowRect(window, &outer);
  RECT client;
  GetClientRect(window, &client);
  std::printf("client %ld %ld\nwindow %ld %ld\nsize %ld %ld\n", origin.x,
              origin.y, outer.right - outer.left, outer.bottom - outer.top,
              client.right, client.bottom);
  return std::strcmp(argv[1], "where") == 0 ? 0 : 2;
}
