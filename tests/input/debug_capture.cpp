// The vectored handler behind the debug-output capture. It only looks:
// the exception goes on to OutputDebugStringA's own handler.
#include "tests/input/debug_capture.h"

#include <windows.h>

#include <mutex>

namespace {

std::mutex g_lock;
std::string g_text;
PVOID g_handler = nullptr;

LONG CALLBACK collect(EXCEPTION_POINTERS *pointers) {
  const EXCEPTION_RECORD &record = *pointers->ExceptionRecord;
  if (record.ExceptionCode == DBG_PRINTEXCEPTION_C &&
      record.NumberParameters >= 2) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_text += reinterpret_cast<const char *>(record.ExceptionInformation[1]);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void startDebugCapture() {
  std::lock_guard<std::mutex> hold(g_lock);
  g_text.clear();
  if (g_handler == nullptr)
    g_handler = AddVectoredExceptionHandler(1, collect);
}

std::string capturedDebugOutput() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_text;
}

void stopDebugCapture() {
  if (g_handler != nullptr)
    RemoveVectoredExceptionHandler(g_handler);
  g_handler = nullptr;
}

std::string inShiftJis(const char *utf8) {
  wchar_t wide[64];
  const int chars = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 64);
  char bytes[128];
  const int length = WideCharToMultiByte(932, 0, wide, chars, bytes,
                                         sizeof bytes, nullptr, nullptr);
  return length > 0 ? std::string(bytes, length - 1) : std::string("?");
}

std::string mouseMessage() { return inShiftJis("マウスの初期化ができない\n"); }
std::string keyboardMessage() {
  return inShiftJis("キーボードの初期化ができない\n");
}
std::string joystickMessage() {
  return inShiftJis("ジョイスティックの初期化ができない\n");
}
