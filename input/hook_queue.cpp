// The ring's two ends. Each index is written by one side only; the release
// on it publishes the slot written (or freed) before it.
#include "input/hook_queue.h"

bool pushHookEvent(HookQueue &queue, const HookEvent &event) {
  const uint32_t written = queue.written.load(std::memory_order_relaxed);
  if (written - queue.read.load(std::memory_order_acquire) == kHookQueueSize) {
    queue.dropped.store(true, std::memory_order_relaxed);
    return false;
  }
  queue.slots[written & (kHookQueueSize - 1)] = event;
  queue.written.store(written + 1, std::memory_order_release);
  return true;
}

bool popHookEvent(HookQueue &queue, HookEvent &event) {
  const uint32_t read = queue.read.load(std::memory_order_relaxed);
  if (read == queue.written.load(std::memory_order_acquire))
    return false;
  event = queue.slots[read & (kHookQueueSize - 1)];
  queue.read.store(read + 1, std::memory_order_release);
  return true;
}

bool takeHookDrop(HookQueue &queue) {
  return queue.dropped.exchange(false, std::memory_order_acquire);
}
