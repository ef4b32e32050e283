// Brings the DirectInput devices up at start-up and down at window
// destruction, and gives the rest of the program the few calls it makes on
// them. Failures only reach the debugger output; the program runs on with
// whatever came up.
#include "input/device_set.h"

#include <atomic>

#include "keymodel/key_tables.h"

namespace {

struct DeviceSet {
  IDirectInputA *directInput;
  IDirectInputDeviceA *mouse;
  IDirectInputDeviceA *keyboard;
  IDirectInputDevice2A *joystick;
  // Our own duplicate of the event the keyboard signals: Wine's DirectInput
  // keeps the handle it is given without duplicating it.
  HANDLE keyboardEvent;
};

// UI thread only: the input worker never looks at these.
DeviceSet g_devices{};

// The keyboard as readKeyboardState sees it, on any thread. The worker can
// be woken while set-up still runs (another copy of the program signals the
// shared event), so the keyboard is published only once set-up has kept
// it: set-up's own release-all, when all three devices failed, releases a
// keyboard no reader was ever shown. Withdrawn before release-all lets the
// keyboard go, which happens only once the worker has ended.
std::atomic<IDirectInputDeviceA *> g_readableKeyboard{nullptr};

// The three texts are Shift-JIS (code page 932).
// "マウスの初期化ができない\n"
constexpr char kMouseFailed[] = "\x83\x7D\x83\x45\x83\x58\x82\xCC\x8F\x89\x8A"
                                "\xFA\x89\xBB\x82\xAA\x82\xC5\x82\xAB\x82\xC8"
                                "\x82\xA2\n";
// "キーボードの初期化ができない\n"
constexpr char kKeyboardFailed[] =
    "\x83\x4C\x81\x5B\x83\x7B\x81\x5B\x83\x68\x82\xCC\x8F\x89\x8A\xFA\x89\xBB"
    "\x82\xAA\x82\xC5\x82\xAB\x82\xC8\x82\xA2\n";
// "ジョイスティックの初期化ができない\n"
constexpr char kJoystickFailed[] =
    "\x83\x57\x83\x87\x83\x43\x83\x58\x83\x65\x83\x42\x83\x62\x83\x4E\x82\xCC"
    "\x8F\x89\x8A\xFA\x89\xBB\x82\xAA\x82\xC5\x82\xAB\x82\xC8\x82\xA2\n";

constexpr DWORD kSharedForeground = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr DWORD kExclusiveBackground = DISCL_EXCLUSIVE | DISCL_BACKGROUND;

static_assert(kSharedForeground == 6 && kExclusiveBackground == 9,
              "cooperative levels of the mouse/keyboard and the joystick");
static_assert(sizeof(DIDEVICEINSTANCEA) == 580,
              "the device information record as DirectInput 5 knows it");

// The enumeration callback's context. The search holds a reference of its
// own on the DirectInput object while EnumDevices runs.
struct JoystickSearch {
  IDirectInputA *directInput;
  IDirectInputDevice2A *device;
};

// A device whose format or level was refused stays in its slot: it is
// treated like any other afterwards and released with the rest.
bool bringUpDevice(IDirectInputA *directInput, REFGUID guid,
                   LPCDIDATAFORMAT format, HWND window,
                   IDirectInputDeviceA *&slot) {
  slot = nullptr;
  if (directInput->CreateDevice(guid, &slot, nullptr) != DI_OK)
    return false;
  if (slot->SetDataFormat(format) != DI_OK ||
      slot->SetCooperativeLevel(window, kSharedForeground) != DI_OK)
    return false;
  // Refused while the window is in the background; the next activation
  // acquires it again.
  slot->Acquire();
  return true;
}

BOOL CALLBACK takeFirstJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID context) {
  JoystickSearch &search = *static_cast<JoystickSearch *>(context);
  IDirectInputDeviceA *device = nullptr;
  if (search.directInput->CreateDevice(instance->guidInstance, &device,
                                       nullptr) != DI_OK) {
    search.device = nullptr;
    return DIENUM_CONTINUE;
  }
  IDirectInputDevice2A *device2 = nullptr;
  const HRESULT found = device->QueryInterface(
      IID_IDirectInputDevice2A, reinterpret_cast<void **>(&device2));
  // Either way the first interface is no longer needed: on success the
  // second one holds the device, on failure it would only leak.
  device->Release();
  if (FAILED(found))
    return DIENUM_CONTINUE;
  search.device = device2;
  return DIENUM_STOP;
}

bool bringUpJoystick(IDirectInputA *directInput, HWND window) {
  directInput->AddRef();
  JoystickSearch search{directInput, nullptr};
  // Force feedback first, so that such a stick wins over a plain one.
  directInput->EnumDevices(DIDEVTYPE_JOYSTICK, takeFirstJoystick, &search,
                           DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK);
  if (search.device == nullptr)
    directInput->EnumDevices(DIDEVTYPE_JOYSTICK, takeFirstJoystick, &search,
                             DIEDFL_ATTACHEDONLY);
  search.directInput->Release();
  if (search.device == nullptr)
    return false;
  IDirectInputDevice2A *joystick = search.device;
  g_devices.joystick = joystick;
  if (joystick->SetDataFormat(&c_dfDIJoystick) != DI_OK ||
      joystick->SetCooperativeLevel(window, kExclusiveBackground) != DI_OK)
    return false;
  joystick->Acquire();
  return true;
}

template <typename Interface> void releaseSlot(Interface *&slot) {
  if (slot == nullptr)
    return;
  slot->Release();
  slot = nullptr;
}

} // namespace

bool setUpDevices(HINSTANCE instance, HWND window) {
  IDirectInputA *directInput = nullptr;
  if (DirectInputCreateA(instance, DIRECTINPUT_VERSION, &directInput,
                         nullptr) != DI_OK)
    return false;
  return setUpDevicesWith(directInput, window);
}

bool setUpDevicesWith(IDirectInputA *directInput, HWND window) {
  if (directInput == nullptr)
    return false;
  g_devices.directInput = directInput;
  bool any = false;
  if (bringUpDevice(directInput, GUID_SysMouse, &c_dfDIMouse, window,
                    g_devices.mouse))
    any = true;
  else
    OutputDebugStringA(kMouseFailed);
  if (bringUpDevice(directInput, GUID_SysKeyboard, &c_dfDIKeyboard, window,
                    g_devices.keyboard))
    any = true;
  else
    OutputDebugStringA(kKeyboardFailed);
  if (bringUpJoystick(directInput, window))
    any = true;
  else
    OutputDebugStringA(kJoystickFailed);
  if (!any) {
    releaseAll();
    return false;
  }
  g_readableKeyboard = g_devices.keyboard;
  return true;
}

bool hasKeyboard() { return g_devices.keyboard != nullptr; }

void acquireAll() {
  if (g_devices.mouse != nullptr)
    g_devices.mouse->Acquire();
  if (g_devices.keyboard != nullptr)
    g_devices.keyboard->Acquire();
  if (g_devices.joystick != nullptr)
    g_devices.joystick->Acquire();
}

void unacquireAll() {
  if (g_devices.mouse != nullptr)
    g_devices.mouse->Unacquire();
  if (g_devices.keyboard != nullptr)
    g_devices.keyboard->Unacquire();
  if (g_devices.joystick != nullptr)
    g_devices.joystick->Unacquire();
}

void attachKeyboardEvent(HANDLE event) {
  IDirectInputDeviceA *keyboard = g_devices.keyboard;
  if (keyboard == nullptr)
    return;
  // Wine's DirectInput keeps the very handle it is given, and the window
  // procedure closes its own at once: the keyboard gets a duplicate.
  HANDLE own = nullptr;
  if (event != nullptr)
    DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &own, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
  if (FAILED(keyboard->SetEventNotification(own))) {
    // The keyboard still holds the previous handle, which must stay open.
    if (own != nullptr)
      CloseHandle(own);
    return;
  }
  // Closed only now that the keyboard no longer holds it.
  if (g_devices.keyboardEvent != nullptr)
    CloseHandle(g_devices.keyboardEvent);
  g_devices.keyboardEvent = own;
}

bool readKeyboardState(KeyState &state) {
  IDirectInputDeviceA *keyboard = g_readableKeyboard;
  if (keyboard == nullptr)
    return false;
  // Read aside, so that a failed call cannot leave half a snapshot in the
  // caller's buffer, which the worker compares its next reading against.
  KeyState fresh;
  if (keyboard->GetDeviceState(sizeof fresh.bytes, fresh.bytes) != DI_OK)
    return false;
  // Wine sets this byte along with 0x90 while the Japanese ^ key is held,
  // and every filler of the key tables carries this code.
  fresh.bytes[kFillerCode] = 0;
  state = fresh;
  return true;
}

bool bufferKeyboardChanges(DWORD size) {
  IDirectInputDeviceA *keyboard = g_devices.keyboard;
  if (keyboard == nullptr)
    return false;
  keyboard->Unacquire();
  DIPROPDWORD property{};
  property.diph.dwSize = sizeof property;
  property.diph.dwHeaderSize = sizeof property.diph;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = size;
  return SUCCEEDED(keyboard->SetProperty(DIPROP_BUFFERSIZE, &property.diph));
}

HRESULT readKeyboardChanges(DIDEVICEOBJECTDATA *changes, DWORD &count) {
  IDirectInputDeviceA *keyboard = g_readableKeyboard;
  if (keyboard == nullptr)
    return DIERR_NOTINITIALIZED;
  return keyboard->GetDeviceData(sizeof *changes, changes, &count, 0);
}

bool readKeyboardType(DWORD &devType) {
  IDirectInputDeviceA *keyboard = g_devices.keyboard;
  if (keyboard == nullptr)
    return false;
  DIDEVICEINSTANCEA info{};
  info.dwSize = sizeof info;
  if (FAILED(keyboard->GetDeviceInfo(&info)))
    return false;
  devType = info.dwDevType;
  return true;
}

void releaseAll() {
  g_readableKeyboard = nullptr;
  releaseSlot(g_devices.joystick);
  releaseSlot(g_devices.keyboard);
  // Only once the keyboard is gone can nothing signal this handle.
  if (g_devices.keyboardEvent != nullptr) {
    CloseHandle(g_devices.keyboardEvent);
    g_devices.keyboardEvent = nullptr;
  }
  releaseSlot(g_devices.mouse);
  releaseSlot(g_devices.directInput);
}
