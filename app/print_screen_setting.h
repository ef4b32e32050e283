// Windows 11 can give the Print Screen key to its screen capture (the
// Snipping Tool), a setting of the user's. The board window's hook keeps
// the key from it while the window is active; where it could not, the
// window says which setting to turn off.
#pragma once

// HKCU\Control Panel\Keyboard, PrintScreenKeyForSnippingEnabled is 1.
bool printScreenOpensCapture();

// The board window's notice line for that case (UTF-8).
extern const char kPrintScreenNotice[];
