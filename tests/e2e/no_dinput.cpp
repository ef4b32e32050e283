// A dinput.dll whose DirectInputCreateA always fails, put beside a copy of
// the program to start it with no input devices at all.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT WINAPI
    DirectInputCreateA(HINSTANCE, DWORD, void **directInput, void *) {
  if (directInput != nullptr)
    *directInput = nullptr;
  return E_FAIL;
}
