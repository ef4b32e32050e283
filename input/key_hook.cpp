// The hook's thread: a message loop that installs and removes the hook on
// request, and the hook procedure, which runs on this thread too.
#include "input/key_hook.h"

#include <atomic>

namespace {

constexpr UINT kInstallHook = WM_APP + 1;
constexpr UINT kRemoveHook = WM_APP + 2;

// Set before the thread starts, but the flags and the state, which the
// window and the worker change; hook and kept are the thread's alone.
struct KeyHook {
  HWND window;
  HookQueue *queue;
  HANDLE wake;
  HANDLE thread;
  DWORD threadId;
  std::atomic<bool> wanted;
  std::atomic<bool> keeps;
  std::atomic<LONG> state;
  std::atomic<uint32_t> installs;
  HHOOK hook;
  KeptKeys kept;
};
KeyHook g_hook{};

bool isDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// Only Tab and Esc depend on the modifiers: the others are not asked.
bool keep(const HookKey &key) {
  const bool up = (key.flags & LLKHF_UP) != 0;
  if (!up && !g_hook.keeps.load(std::memory_order_relaxed))
    return false;
  const bool modified = key.vk == VK_TAB || key.vk == VK_ESCAPE;
  return keepFromShell(key, modified && isDown(VK_MENU),
                       modified && isDown(VK_CONTROL), g_hook.kept);
}

LRESULT CALLBACK onKeyEvent(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HC_ACTION || GetForegroundWindow() != g_hook.window)
    return CallNextHookEx(nullptr, code, wParam, lParam);
  const auto &info = *reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const HookEvent event{{info.vkCode, info.scanCode, info.flags}, now.QuadPart};
  pushHookEvent(*g_hook.queue, event);
  SetEvent(g_hook.wake);
  return keep(event.key) ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

void setState(HookState state) {
  g_hook.state = state;
  SetEvent(g_hook.wake);
}

void removeHook() {
  if (g_hook.hook != nullptr)
    UnhookWindowsHookEx(g_hook.hook); // fails for a hook Windows removed
  g_hook.hook = nullptr;
  setState(HookOff);
}

// A new hook, after the old one if any: a kept down whose up the old hook
// never saw must not keep a later up the system needs.
void installHook() {
  removeHook();
  if (!g_hook.wanted)
    return;
  g_hook.kept = KeptKeys{};
  g_hook.hook = SetWindowsHookExA(WH_KEYBOARD_LL, onKeyEvent,
                                  GetModuleHandleA(nullptr), 0);
  // The state before the count, which keyHookState reads first.
  g_hook.state = g_hook.hook != nullptr ? HookOn : HookFailed;
  ++g_hook.installs;
  SetEvent(g_hook.wake);
}

DWORD WINAPI runHookThread(LPVOID ready) {
  MSG message;
  // The thread's message queue exists from here on, so requests posted
  // after startKeyHook returns are not lost.
  PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  SetEvent(static_cast<HANDLE>(ready));
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    switch (message.message) {
    case kInstallHook:
      installHook();
      break;
    case kRemoveHook:
      removeHook();
      break;
    default:
      DispatchMessageA(&message);
      break;
    }
  }
  removeHook();
  return 0;
}

void post(UINT message) {
  if (g_hook.thread != nullptr)
    PostThreadMessageA(g_hook.threadId, message, 0, 0);
}

} // namespace

bool startKeyHook(HWND window, HookQueue &queue, HANDLE wake) {
  g_hook.window = window;
  g_hook.queue = &queue;
  g_hook.wake = wake;
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (ready == nullptr)
    return false;
  g_hook.thread =
      CreateThread(nullptr, 0, runHookThread, ready, 0, &g_hook.threadId);
  if (g_hook.thread != nullptr) {
    // A busy machine must not delay its answer past the timeout.
    SetThreadPriority(g_hook.thread, THREAD_PRIORITY_HIGHEST);
    WaitForSingleObject(ready, INFINITE);
  }
  CloseHandle(ready);
  return g_hook.thread != nullptr;
}

void wantKeyHook(bool wanted) {
  g_hook.wanted = wanted;
  post(wanted ? kInstallHook : kRemoveHook);
}

void replaceKeyHook() { post(kInstallHook); }

void setHookKeepsKeys(bool keeps) { g_hook.keeps = keeps; }

HookState keyHookState(uint32_t &installs) {
  // The count first: a state read after it is at least as new.
  installs = g_hook.installs;
  return static_cast<HookState>(g_hook.state.load());
}

void stopKeyHook(DWORD boundMs) {
  g_hook.wanted = false;
  if (g_hook.thread == nullptr)
    return;
  PostThreadMessageA(g_hook.threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(g_hook.thread, boundMs);
}
