// The single main window: its class, caption and the window procedure that
// ties activation, painting, timers and shutdown together.
#pragma once

#include <windows.h>

#include <atomic>

#include "keymodel/window_title.h"

// Fixed size: a caption with a close box and a minimize box, no sizing
// frame and no maximize box.
constexpr DWORD kWindowStyle =
    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;
static_assert(kWindowStyle == 0x10CA0000, "the window's documented style");

// Null until start-up stores it once the window exists; the input worker
// reads it for its repaint requests.
extern std::atomic<HWND> g_mainWindow;

// Registers the class and creates the window at (0, 0) with zero size; the
// first drawing fits it. Null when either step fails.
HWND createMainWindow(HINSTANCE instance);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
