// Behaviour of the DirectInput stand-ins: each call is journalled with the
// arguments that matter to the device set, then answered as programmed.
#include "tests/input/stand_in_dinput.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string formatName(LPCDIDATAFORMAT format) {
  if (format == &c_dfDIMouse)
    return "c_dfDIMouse";
  if (format == &c_dfDIKeyboard)
    return "c_dfDIKeyboard";
  if (format == &c_dfDIJoystick)
    return "c_dfDIJoystick";
  return "another format";
}

std::string hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
  return text;
}

} // namespace

KeyState keysDown(std::initializer_list<uint8_t> codes) {
  KeyState state{};
  for (uint8_t code : codes)
    state.bytes[code] = 0x80;
  return state;
}

StandInDevice::StandInDevice(const char *deviceName, Journal &sharedJournal)
    : name(deviceName), journal(sharedJournal),
      served(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      held(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

StandInDevice::~StandInDevice() {
  CloseHandle(served);
  CloseHandle(held);
}

void StandInDevice::note(const std::string &call) {
  journal.push_back(name + "." + call);
}

void StandInDevice::push(const Reading &reading) {
  std::lock_guard<std::mutex> hold(lock_);
  readings_.push_back(reading);
}

size_t StandInDevice::readingsLeft() {
  std::lock_guard<std::mutex> hold(lock_);
  return readings_.size();
}

int StandInDevice::reads() {
  std::lock_guard<std::mutex> hold(lock_);
  return reads_;
}

HRESULT StandInDevice::QueryInterface(REFIID riid, void **out) {
  note(riid == IID_IDirectInputDevice2A ? "QueryInterface(Device2A)"
                                        : "QueryInterface(other)");
  if (FAILED(queryResult)) {
    *out = nullptr;
    return queryResult;
  }
  AddRef();
  *out = static_cast<IDirectInputDevice2A *>(this);
  return queryResult;
}

ULONG StandInDevice::AddRef() { return ++refs; }

ULONG StandInDevice::Release() {
  note("Release()");
  if (event != nullptr) {
    DWORD flags;
    eventOpenAtRelease = GetHandleInformation(event, &flags) != 0;
  }
  return --refs;
}

HRESULT StandInDevice::Acquire() {
  note("Acquire()");
  return acquireResult;
}

HRESULT StandInDevice::Unacquire() {
  note("Unacquire()");
  return DI_OK;
}

HRESULT StandInDevice::GetDeviceState(DWORD size, LPVOID data) {
  if (HANDLE hold = holdReads) {
    SetEvent(held);
    WaitForSingleObject(hold, INFINITE);
  }
  std::lock_guard<std::mutex> hold(lock_);
  ++reads_;
  stateSizeSeen = size;
  if (readings_.empty()) {
    std::memset(data, 0xEE, size);
    return DIERR_NOTACQUIRED;
  }
  const Reading reading = readings_.front();
  readings_.pop_front();
  std::memcpy(data, reading.state.bytes,
              std::min<DWORD>(size, sizeof reading.state.bytes));
  SetEvent(served);
  return reading.result;
}

HRESULT StandInDevice::SetDataFormat(LPCDIDATAFORMAT format) {
  note("SetDataFormat(" + formatName(format) + ")");
  return dataFormatResult;
}

HRESULT StandInDevice::SetEventNotification(HANDLE newEvent) {
  // Whether the handle the device is giving up is still open right now.
  DWORD flags;
  const bool heldOpen =
      event == nullptr || GetHandleInformation(event, &flags) != 0;
  note(std::string("SetEventNotification(") + (newEvent ? "event" : "null") +
       (heldOpen ? ")" : ") while holding a closed handle"));
  if (SUCCEEDED(notificationResult))
    event = newEvent;
  return notificationResult;
}

HRESULT StandInDevice::SetCooperativeLevel(HWND newWindow, DWORD level) {
  note("SetCooperativeLevel(" + std::to_string(level) + ")");
  window = newWindow;
  return levelResult;
}

HRESULT StandInDevice::GetDeviceInfo(LPDIDEVICEINSTANCEA info) {
  note("GetDeviceInfo()");
  infoSizeSeen = info->dwSize;
  if (SUCCEEDED(infoResult))
    info->dwDevType = devType;
  return infoResult;
}

// Never called by the device set.
HRESULT StandInDevice::GetCapabilities(LPDIDEVCAPS) { return E_NOTIMPL; }
HRESULT StandInDevice::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID,
                                   DWORD) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::GetProperty(REFGUID, LPDIPROPHEADER) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::SetProperty(REFGUID, LPCDIPROPHEADER) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD,
                                     DWORD) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::RunControlPanel(HWND, DWORD) { return E_NOTIMPL; }
HRESULT StandInDevice::Initialize(HINSTANCE, DWORD, REFGUID) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT *,
                                    LPUNKNOWN) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::GetEffectInfo(LPDIEFFECTINFOA, REFGUID) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::GetForceFeedbackState(LPDWORD) { return E_NOTIMPL; }
HRESULT StandInDevice::SendForceFeedbackCommand(DWORD) { return E_NOTIMPL; }
HRESULT
StandInDevice::EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK,
                                        LPVOID, DWORD) {
  return E_NOTIMPL;
}
HRESULT StandInDevice::Escape(LPDIEFFESCAPE) { return E_NOTIMPL; }
HRESULT StandInDevice::Poll() { return E_NOTIMPL; }
HRESULT StandInDevice::SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD,
                                      DWORD) {
  return E_NOTIMPL;
}

StandInDirectInput::StandInDirectInput(Journal &sharedJournal)
    : journal(sharedJournal) {}

HRESULT StandInDirectInput::QueryInterface(REFIID, void **out) {
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG StandInDirectInput::AddRef() {
  journal.push_back("di.AddRef()");
  return ++refs;
}

ULONG StandInDirectInput::Release() {
  journal.push_back("di.Release()");
  return --refs;
}

HRESULT StandInDirectInput::CreateDevice(REFGUID guid,
                                         LPDIRECTINPUTDEVICEA *out,
                                         LPUNKNOWN outer) {
  StandInDevice *device = nullptr;
  std::string what = "unknown";
  if (guid == GUID_SysMouse) {
    device = mouse;
    what = "SysMouse";
  } else if (guid == GUID_SysKeyboard) {
    device = keyboard;
    what = "SysKeyboard";
  }
  for (const StandInJoystick &stick : joysticks)
    if (guid == stick.instance) {
      device = stick.device;
      what = "joystick " + hex(stick.instance.Data1);
    }
  journal.push_back("di.CreateDevice(" + what + (outer ? ", outer)" : ")"));
  *out = device;
  if (device == nullptr)
    return DIERR_DEVICENOTREG;
  device->AddRef();
  return DI_OK;
}

HRESULT StandInDirectInput::EnumDevices(DWORD type,
                                        LPDIENUMDEVICESCALLBACKA callback,
                                        LPVOID context, DWORD flags) {
  journal.push_back("di.EnumDevices(" + std::to_string(type) + ", " +
                    hex(flags) + ")");
  refsDuringEnumeration = refs;
  for (const StandInJoystick &stick : joysticks) {
    if ((flags & DIEDFL_FORCEFEEDBACK) != 0 && !stick.forceFeedback)
      continue;
    DIDEVICEINSTANCEA instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = stick.instance;
    instance.dwDevType = DIDEVTYPE_JOYSTICK;
    const BOOL next = callback(&instance, context);
    journal.push_back("callback -> " + std::to_string(next));
    if (next == DIENUM_STOP)
      break;
  }
  return DI_OK;
}

HRESULT StandInDirectInput::GetDeviceStatus(REFGUID) { return E_NOTIMPL; }
HRESULT StandInDirectInput::RunControlPanel(HWND, DWORD) { return E_NOTIMPL; }
HRESULT StandInDirectInput::Initialize(HINSTANCE, DWORD) { return E_NOTIMPL; }
