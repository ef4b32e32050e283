// Stand-ins for DirectInput's object and devices. They write every call
// made on them to one shared journal and give back programmed results, so
// the device set's and the worker's use of DirectInput can be checked call
// by call, including the failures real hardware seldom shows.
#pragma once

#include "input/device_set.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// Every call on every stand-in, in order: "name.Method(arguments)".
using Journal = std::vector<std::string>;

// One answer of GetDeviceState. A failing answer still writes its bytes,
// as a call that failed half-way might.
struct Reading {
  HRESULT result;
  KeyState state;
};

// Serves as mouse, keyboard or joystick (it implements all three
// interfaces). Starts with no reference: CreateDevice hands out the first.
struct StandInDevice : IDirectInputDevice2A {
  StandInDevice(const char *name, Journal &journal);
  ~StandInDevice();

  std::string name;
  Journal &journal;
  LONG refs = 0;

  HRESULT queryResult = DI_OK;
  HRESULT dataFormatResult = DI_OK;
  HRESULT levelResult = DI_OK;
  HRESULT acquireResult = DI_OK;
  HRESULT notificationResult = DI_OK;
  HRESULT infoResult = DI_OK;
  DWORD devType = 0x403;

  HWND window = nullptr;   // of the last SetCooperativeLevel
  HANDLE event = nullptr;  // of the last accepted SetEventNotification
  DWORD infoSizeSeen = 0;  // dwSize handed to GetDeviceInfo
  DWORD stateSizeSeen = 0; // cbData handed to GetDeviceState
  bool eventOpenAtRelease = false;

  // GetDeviceState answers these in order, then DIERR_NOTACQUIRED. The
  // worker calls it on its own thread, hence the lock and the events.
  void push(const Reading &reading);
  size_t readingsLeft();
  int reads();
  HANDLE served; // auto-reset, set after each queued answer
  // When set, reads wait for it first, setting `held` as they start to.
  std::atomic<HANDLE> holdReads{nullptr};
  HANDLE held;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDirectInputDeviceA
  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override;
  HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID,
                                        DWORD) override;
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override;
  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID, LPCDIPROPHEADER) override;
  HRESULT STDMETHODCALLTYPE Acquire() override;
  HRESULT STDMETHODCALLTYPE Unacquire() override;
  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override;
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD,
                                          DWORD) override;
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override;
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE event) override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window,
                                                DWORD level) override;
  HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD,
                                          DWORD) override;
  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA info) override;
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override;
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override;
  // IDirectInputDevice2A
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT,
                                         LPDIRECTINPUTEFFECT *,
                                         LPUNKNOWN) override;
  HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID,
                                        DWORD) override;
  HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override;
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override;
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override;
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(
      LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override;
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override;
  HRESULT STDMETHODCALLTYPE Poll() override;
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA,
                                           LPDWORD, DWORD) override;

private:
  void note(const std::string &call);
  std::mutex lock_;
  std::deque<Reading> readings_;
  int reads_ = 0;
};

// An attached joystick as enumeration reports it. A null device makes
// CreateDevice fail for it.
struct StandInJoystick {
  GUID instance;
  bool forceFeedback;
  StandInDevice *device;
};

// The DirectInput object. Null mouse or keyboard: CreateDevice fails.
struct StandInDirectInput : IDirectInputA {
  explicit StandInDirectInput(Journal &journal);

  Journal &journal;
  LONG refs = 1; // the creator's, handed over to the device set
  StandInDevice *mouse = nullptr;
  StandInDevice *keyboard = nullptr;
  std::vector<StandInJoystick> joysticks; // in enumeration order
  LONG refsDuringEnumeration = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void **) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid,
                                         LPDIRECTINPUTDEVICEA *device,
                                         LPUNKNOWN outer) override;
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type,
                                        LPDIENUMDEVICESCALLBACKA callback,
                                        LPVOID context, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override;
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override;
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override;
};

// A key state with the given scan codes down.
KeyState keysDown(std::initializer_list<uint8_t> codes);
