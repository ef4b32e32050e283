// The keyboard hook's plain parts: which keys it keeps from the shell,
// which DirectInput code each event names, and the queue it hands them
// over in, written by one thread and read by another.
#include <gtest/gtest.h>

#include <atomic>

#include "input/hook_queue.h"
#include "input/hook_rules.h"

namespace {

constexpr uint32_t kUp = LLKHF_UP, kExt = LLKHF_EXTENDED;

} // namespace

TEST(HookRules, KeepsWhatTheShellActsOnAndTheUpsOfWhatItKept) {
  // Steps in order, on one record of kept downs.
  const struct {
    uint32_t vk;
    bool up, alt, ctrl, keep;
  } steps[] = {
      {VK_LWIN, false, false, false, true},
      {VK_LWIN, true, false, false, true},
      {VK_RWIN, false, false, false, true},
      {VK_RWIN, true, false, false, true},
      {VK_APPS, false, false, false, true},
      {VK_SNAPSHOT, false, false, false, true},
      {VK_BROWSER_BACK, false, false, false, true},
      {VK_VOLUME_MUTE, false, false, false, true},
      {VK_MEDIA_PLAY_PAUSE, false, false, false, true},
      {VK_LAUNCH_APP2, false, false, false, true},
      {VK_LAUNCH_APP2 + 1, false, false, false, false},
      {VK_RMENU, false, false, false, false}, // VK_BROWSER_BACK - 1
      {VK_TAB, false, false, false, false},
      {VK_TAB, true, false, false, false},
      {VK_TAB, false, true, false, true}, // Alt+Tab
      {VK_TAB, true, false, false, true}, // its up, Alt already up
      {VK_TAB, true, false, false, false},
      {VK_ESCAPE, false, false, false, false},
      {VK_ESCAPE, false, false, true, true}, // Ctrl+Esc
      {VK_ESCAPE, true, false, true, true},
      {VK_ESCAPE, false, true, false, true}, // Alt+Esc
      {VK_F4, false, true, false, false},    // Alt+F4 still closes
      {VK_MENU, false, false, false, false},
      {'Q', false, false, true, false},
      {VK_LSHIFT, true, false, false, false},
      // An up whose down the system saw stays the system's.
      {VK_LWIN, true, false, false, false},
      {VK_APPS, true, false, false, true},
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
  const struct {
    uint32_t vk, scan, flags;
    bool japanese;
    int code;
  } cases[] = {
      {'Q', 0x10, 0, false, 0x10},
      {'Q', 0x10, kUp, true, 0x10},
      {VK_LWIN, 0x5B, kExt, false, 0xDB},
      {VK_APPS, 0x5D, kExt, false, 0xDD},
      {VK_RCONTROL, 0x1D, kExt, true, 0x9D},
      {VK_RMENU, 0x38, kExt, false, 0xB8},
      {VK_RETURN, 0x1C, kExt, false, 0x9C}, // keypad Enter
      {VK_RETURN, 0x11C, 0, false, 0x9C},   // the extended bit in the scan
      {VK_DIVIDE, 0x35, kExt, false, 0xB5},
      {VK_RSHIFT, 0x36, kExt, false, 0x36}, // Wine marks it extended
      {VK_RSHIFT, 0x36, 0, false, 0x36},
      {VK_NUMLOCK, 0x45, kExt, false, 0x45},
      {VK_PAUSE, 0x45, 0, false, 0xC5},
      {VK_SNAPSHOT, 0x37, kExt, false, 0xB7},
      {VK_SNAPSHOT, 0x54, 0, false, 0xB7}, // with Alt: SysRq's scan code
      {VK_SUBTRACT, 0x4A, 0, false, 0x4A},
      {VK_LSHIFT, 0x2A, 0, false, 0x2A},
      // A Japanese 106 keyboard: the keys DirectInput renames.
      {VK_OEM_7, 0x0D, 0, true, 0x90}, // ^
      {VK_OEM_PLUS, 0x0D, 0, false, 0x0D},
      {VK_OEM_3, 0x1A, 0, true, 0x91},   // @
      {VK_OEM_4, 0x1B, 0, true, 0x1A},   // [
      {VK_OEM_1, 0x28, 0, true, 0x92},   // :
      {0xF3, 0x29, 0, true, 0x94},       // Zenkaku/Hankaku
      {VK_OEM_6, 0x2B, 0, true, 0x1B},   // ]
      {VK_OEM_102, 0x73, 0, true, 0x2B}, // Ro
      {VK_OEM_5, 0x7D, 0, true, 0x7D},   // Yen
      {0x1C, 0x79, 0, true, 0x79},       // Henkan
      // No key: a program's character, AltGr's added left Ctrl.
      {VK_PACKET, 0, 0, false, -1},
      {VK_LCONTROL, 0x21D, 0, false, -1},
      {VK_LSHIFT, 0x2A, kExt, false, -1},
  };
  for (const auto &c : cases)
    EXPECT_EQ(directInputCodeOf(HookKey{c.vk, c.scan, c.flags}, c.japanese),
              c.code)
        << std::hex << "vk 0x" << c.vk << " scan 0x" << c.scan;
  // DirectInput's buffered data: Wine's 0xFF is the Japanese ^.
  const struct {
    DWORD offset;
    int code;
  } offsets[] = {{0xFF, 0x90}, {0x90, 0x90}, {0x10, 0x10}, {0xDB, 0xDB}};
  for (const auto &o : offsets)
    EXPECT_EQ(directInputCodeOfOffset(o.offset), o.code) << o.offset;
}

TEST(HookQueue, InOrderAcrossTheWrapAndFullDropsOnce) {
  static HookQueue queue;
  HookEvent event{};
  for (int64_t i = 0; i < 3 * int64_t(kHookQueueSize) / 2; ++i) {
    event.ticks = i;
    ASSERT_TRUE(pushHookEvent(queue, event));
    ASSERT_TRUE(popHookEvent(queue, event));
    ASSERT_EQ(event.ticks, i);
  }
  EXPECT_FALSE(popHookEvent(queue, event));
  for (uint32_t i = 0; i < kHookQueueSize; ++i) {
    event.ticks = i;
    ASSERT_TRUE(pushHookEvent(queue, event));
  }
  EXPECT_FALSE(takeHookDrop(queue));
  EXPECT_FALSE(pushHookEvent(queue, event));
  EXPECT_TRUE(takeHookDrop(queue));
  EXPECT_FALSE(takeHookDrop(queue));
  for (int64_t i = 0; i < kHookQueueSize; ++i) {
    ASSERT_TRUE(popHookEvent(queue, event));
    EXPECT_EQ(event.ticks, i);
  }
  EXPECT_FALSE(popHookEvent(queue, event));
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

TEST(HookQueue, TwoThreadsLoseNothingThatFits) {
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
