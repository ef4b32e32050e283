// The board window's low-level keyboard hook. While the window is the
// foreground window it sees every key before the shell does, so it can
// keep the keys the shell acts on (see hook_rules.h) and time each change
// where it happens. It runs on a thread of its own with its own message
// loop and does the least it can: Windows removes, without a word, a hook
// that takes longer than LowLevelHooksTimeout to answer. Each event goes
// to the board worker through a queue and the worker's wake event; the
// hook never touches the log or the screen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "input/hook_queue.h"

enum HookState : LONG { HookOff, HookOn, HookFailed };

// Starts the hook's thread, with no hook yet. Events reach queue (and set
// wake) only while window is the foreground window. False when the thread
// could not start.
bool startKeyHook(HWND window, HookQueue &queue, HANDLE wake);

// The window's side: a hook while it is active, none otherwise.
void wantKeyHook(bool wanted);

// The worker's side, for a hook found dead: a new one in its place, if the
// window still wants one.
void replaceKeyHook();

// Whether the hook keeps the shell's keys from it. Off while DirectInput
// is the source, which must then see every key; the worker alone sets it.
void setHookKeepsKeys(bool keeps);

// The hook's state, and how many hooks were installed so far: a new count
// is a new hook.
HookState keyHookState(uint32_t &installs);

// Removes the hook and ends its thread, waiting at most boundMs.
void stopKeyHook(DWORD boundMs);
