// The program's DirectInput objects: the DirectInput object, a mouse, the
// system keyboard and, when one is attached, a joystick. Only the keyboard
// is ever read; the others are opened, acquired and released with it.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif
#include <windows.h>

#include <dinput.h>

#include "keymodel/key_state.h"

// The devices themselves are this module's own. Every call below is for
// the UI thread but readKeyboardState, which the input worker makes too and
// which sees the keyboard only once set-up has finished.

// Creates the DirectInput object and brings up the devices against the
// window. True when at least one device came up.
bool setUpDevices(HINSTANCE instance, HWND window);

// The same, on a DirectInput object the caller created (tests hand in
// stand-ins). Takes over the caller's reference.
bool setUpDevicesWith(IDirectInputA *directInput, HWND window);

// Whether set-up left a keyboard device (layout detection needs one).
bool hasKeyboard();

void acquireAll();
void unacquireAll();

// Gives the keyboard the event to signal on every change (null: none).
// The caller may close its own handle at once.
void attachKeyboardEvent(HANDLE event);

// True only when GetDeviceState returned DI_OK; a failed read leaves the
// buffer as it was. Byte 0xFF is always cleared: fillers carry that code.
bool readKeyboardState(KeyState &state);

// Board mode reads the keyboard's changes one by one, with their times,
// rather than comparing snapshots: a bounce between two readings would be
// lost. Gives the keyboard a buffer of that many changes and leaves it
// unacquired (a buffer can only be set so); false when it was refused.
bool bufferKeyboardChanges(DWORD size);

// Takes up to count buffered changes (dwOfs the scan code, bit 7 of dwData
// down, dwTimeStamp in GetTickCount's milliseconds) and sets count to how
// many came. DI_BUFFEROVERFLOW: some were lost before these.
HRESULT readKeyboardChanges(DIDEVICEOBJECTDATA *changes, DWORD &count);

// The keyboard's dwDevType; false when there is no keyboard or the query
// failed, and then devType is left alone.
bool readKeyboardType(DWORD &devType);

// Releases joystick, keyboard, mouse, DirectInput object, nulling each.
void releaseAll();
