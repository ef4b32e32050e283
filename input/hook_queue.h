// The hand-over from the keyboard hook's thread to the board worker: a
// ring of events with their times, one writer and one reader, no lock, so
// that the hook never waits on the worker (Windows removes a hook that
// answers late). A full ring drops the event and says so once; the worker
// then reads the keyboard's whole state instead.
#pragma once

#include <atomic>
#include <cstdint>

#include "input/hook_rules.h"

struct HookEvent {
  HookKey key;
  int64_t ticks; // QueryPerformanceCounter when the hook saw it
};

// Far more than a person or a chord can send before the worker, woken by
// the first, has read them.
constexpr uint32_t kHookQueueSize = 1024;
static_assert((kHookQueueSize & (kHookQueueSize - 1)) == 0,
              "the ring's indices wrap by a mask");

struct HookQueue {
  HookEvent slots[kHookQueueSize];
  std::atomic<uint32_t> written{0}; // the writer's count of events
  std::atomic<uint32_t> read{0};    // the reader's
  std::atomic<bool> dropped{false};
};

// Writer only. False when the ring was full: the event is dropped.
bool pushHookEvent(HookQueue &queue, const HookEvent &event);

// Reader only. False when the ring is empty.
bool popHookEvent(HookQueue &queue, HookEvent &event);

// Reader only: whether an event was dropped since the last call.
bool takeHookDrop(HookQueue &queue);
