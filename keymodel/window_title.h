// The window's caption, which is also its class name on Windows; both front
// ends show the same one.
#pragma once

#include "version.h"

constexpr char kWindowTitle[] = "Corvane Keyboard Checker v" KC_VERSION;
