// The keyboard hook's plain parts: which keys it keeps from the shell,
// which DirectInput code each event names, and the queue it hands them
// over in, written by one thread and read by another.
#include <gtest/gtest.h>

#include <atomic>

#include "input/hook_queue.h"
#include "input/hook_rules.h"

namespace {

constexpr bool U = true, D = false, Y = true, N = false;
constexpr uint32_t kUp = LLKHF_UP, kExt = LLKHF_EXTENDED;

} // namespace

TEST(HookRules, KeepsWhatTheShellActsOnAndTheUpsOfWhatItKept) {
  // Steps in order on one record of kept downs: vk, up, Alt, Ctrl, kept.
  const struct {
    uint32_t vk;
    bool up, alt, ctrl, keep;
  } steps[] = {
      // clang-format off
      {VK_LWIN, D, N, N, Y}, {VK_LWIN, U, N, N, Y}, {VK_RWIN, D, N, N, Y},
      {VK_APPS, D, N, N, Y}, {VK_SNAPSHOT, D, N, N, Y},
      {VK_BROWSER_BACK, D, N, N, Y}, {VK_VOLUME_MUTE, D, N, N, Y},
      {VK_LAUNCH_APP2, D, N, N, Y}, {VK_LAUNCH_APP2 + 1, D, N, N, N},
      {VK_RMENU, D, N, N, N}, // VK_BROWSER_BACK - 1
      {VK_TAB, D, N, N, N}, {VK_TAB, U, N, N, N},
      {VK_TAB, D, Y, N, Y}, {VK_TAB, U, N, N, Y}, // Alt+Tab, Alt let go first
      {VK_TAB, U, N, N, N}, {VK_ESCAPE, D, N, N, N},
      {VK_ESCAPE, D, N, Y, Y}, {VK_ESCAPE, U, N, Y, Y}, // Ctrl+Esc
      {VK_ESCAPE, D, Y, N, Y}, // Alt+Esc
      {VK_F4, D, Y, N, N},     // Alt+F4 still closes
      {VK_MENU, D, N, N, N}, {'Q', D, N, Y, N}, {VK_LSHIFT, U, N, N, N},
      // An up whose down the system saw stays the system's.
      {VK_LWIN, U, N, N, N}, {VK_APPS, U, N, N, Y},
      // clang-format on
  };
  KeptKeys kept{};
  int i = 0;
  for (const auto &s : steps)
    EXPECT_EQ(
        keepFromShell(HookKey{s.vk, 0, s.up ? kUp : 0}, s.alt, s.ctrl, kept),
        s.keep)
        << "step " << i++ << ", vk 0x" << std::hex << s.vk;
}

TEST(HookRules, CodesAsDirectInputGivesThem) {
  // vk, scan, flags, a Japanese keyboard, the code.
  const struct {
    uint32_t vk, scan, flags;
    bool japanese;
    int code;
  } cases[] = {
      // clang-format off
      {'Q', 0x10, 0, N, 0x10}, {'Q', 0x10, kUp, Y, 0x10},
      {VK_LWIN, 0x5B, kExt, N, 0xDB}, {VK_APPS, 0x5D, kExt, N, 0xDD},
      {VK_RCONTROL, 0x1D, kExt, Y, 0x9D}, {VK_RMENU, 0x38, kExt, N, 0xB8},
      {VK_RETURN, 0x1C, kExt, N, 0x9C}, // keypad Enter
      {VK_RETURN, 0x11C, 0, N, 0x9C},   // the extended bit in the scan
      {VK_RSHIFT, 0x36, kExt, N, 0x36}, // Wine marks it extended
      {VK_NUMLOCK, 0x45, kExt, N, 0x45}, {VK_PAUSE, 0x45, 0, N, 0xC5},
      {VK_SNAPSHOT, 0x37, kExt, N, 0xB7},
      {VK_SNAPSHOT, 0x54, 0, N, 0xB7}, // with Alt: SysRq's scan code
      {VK_SUBTRACT, 0x4A, 0, N, 0x4A}, {VK_LSHIFT, 0x2A, 0, N, 0x2A},
      // A Japanese 106 keyboard: the keys DirectInput renames, ^ @ [ :
      // Zenkaku/Hankaku ] Ro, and two it does not, Yen and Henkan.
      {VK_OEM_7, 0x0D, 0, Y, 0x90}, {VK_OEM_PLUS, 0x0D, 0, N, 0x0D},
      {VK_OEM_3, 0x1A, 0, Y, 0x91}, {VK_OEM_4, 0x1B, 0, Y, 0x1A},
      {VK_OEM_1, 0x28, 0, Y, 0x92}, {0xF3, 0x29, 0, Y, 0x94},
      {VK_OEM_6, 0x2B, 0, Y, 0x1B}, {VK_OEM_102, 0x73, 0, Y, 0x2B},
      {VK_OEM_5, 0x7D, 0, Y, 0x7D}, {0x1C, 0x79, 0, Y, 0x79},
      // No key: a program's character, AltGr's added left Ctrl, the
      // keyboard's added left Shift.
      {VK_PACKET, 0, 0, N, -1}, {VK_LCONTROL, 0x21D, 0, N, -1},
      {VK_LSHIFT, 0x2A, kExt, N, -1},
      // clang-format on
  };
  for (const auto &c : cases)
    EXPECT_EQ(directInputCodeOf(HookKey{c.vk, c.scan, c.flags}, c.japanese),
              c.code)
        << std::hex << "vk 0x" << c.vk << " scan 0x" << c.scan;
  // DirectInput's buffered data: Wine's 0xFF is the Japanese ^.
  for (DWORD offset : {0x10u, 0x90u, 0xDBu, 0xFFu})
    EXPECT_EQ(directInputCodeOfOffset(offset), offset == 0xFF ? 0x90 : offset);
}

namespace {

constexpr int64_t kEvents = 200000;
HookQueue g_shared;
std::atomic<int64_t> g_dropped{0};
std::atomic<bool> g_written{false};

DWORD WINAPI writeEvents(LPVOID) {
  HookEvent event{};
  for (event.ticks = 0; event.ticks < kEvents; ++event.ticks)
    if (!pushHookEvent(g_shared, event))
      ++g_dropped;
  g_written = true;
  return 0;
}

} // namespace

TEST(HookQueue, FullDropsAndSaysSoOnce) {
  static HookQueue queue;
  HookEvent event{};
  for (uint32_t i = 0; i < kHookQueueSize; ++i)
    ASSERT_TRUE(pushHookEvent(queue, event));
  EXPECT_FALSE(takeHookDrop(queue));
  EXPECT_FALSE(pushHookEvent(queue, event));
  EXPECT_TRUE(takeHookDrop(queue));
  EXPECT_FALSE(takeHookDrop(queue));
}

// Many times round the ring, every event in order, none lost but those a
// full ring dropped.
TEST(HookQueue, TwoThreadsInOrder) {
  HANDLE writer = CreateThread(nullptr, 0, writeEvents, nullptr, 0, nullptr);
  ASSERT_NE(writer, nullptr);
  int64_t last = -1, taken = 0;
  bool inOrder = true;
  HookEvent event;
  for (;;) {
    const bool written = g_written; // before the pop that finds it empty
    if (popHookEvent(g_shared, event)) {
      inOrder &= event.ticks > last;
      last = event.ticks;
      ++taken;
    } else if (written) {
      break;
    }
  }
  WaitForSingleObject(writer, INFINITE);
  CloseHandle(writer);
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(taken + g_dropped, kEvents);
  EXPECT_EQ(takeHookDrop(g_shared), g_dropped > 0);
}
