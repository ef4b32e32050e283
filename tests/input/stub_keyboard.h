// One small DirectInput stand-in for what real DirectInput under Wine
// cannot be made to do on cue: a read that fails, a read that takes its
// time, a release that lands in the middle of a read. It offers a keyboard
// only; the mouse and joystick simply fail to come up.
#pragma once

#include <gtest/gtest.h>

#include "input/device_set.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct Reading {
  HRESULT result;
  KeyState state; // written even by a failing read, as junk
};

#define KC_ANSWER(call, value)                                                 \
  HRESULT STDMETHODCALLTYPE call override { return value; }

struct StubKeyboard : IDirectInputDeviceA {
  std::vector<Reading> script; // in order, then DIERR_NOTACQUIRED; set first
  std::atomic<int> reads{0};
  std::atomic<DWORD> readDelayMs{0};
  std::atomic<bool> reading{false}, released{false}, releasedMidRead{false};

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    reading = true;
    Sleep(readDelayMs);
    const size_t next = reads;
    const Reading r =
        next < script.size() ? script[next] : Reading{DIERR_NOTACQUIRED, {}};
    memcpy(data, r.state.bytes, size);
    reading = false;
    ++reads;
    return r.result;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    releasedMidRead = releasedMidRead || reading;
    released = true;
    return 0;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  KC_ANSWER(Acquire(), DI_OK)
  KC_ANSWER(Unacquire(), DI_OK)
  KC_ANSWER(SetDataFormat(LPCDIDATAFORMAT), DI_OK)
  KC_ANSWER(SetEventNotification(HANDLE), DI_OK)
  KC_ANSWER(SetCooperativeLevel(HWND, DWORD), DI_OK)
  KC_ANSWER(QueryInterface(REFIID, void **), E_NOTIMPL)
  KC_ANSWER(GetCapabilities(LPDIDEVCAPS), E_NOTIMPL)
  KC_ANSWER(EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD),
            E_NOTIMPL)
  KC_ANSWER(GetProperty(REFGUID, LPDIPROPHEADER), E_NOTIMPL)
  KC_ANSWER(SetProperty(REFGUID, LPCDIPROPHEADER), E_NOTIMPL)
  KC_ANSWER(GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD),
            E_NOTIMPL)
  KC_ANSWER(GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD), E_NOTIMPL)
  KC_ANSWER(GetDeviceInfo(LPDIDEVICEINSTANCEA), E_NOTIMPL)
  KC_ANSWER(RunControlPanel(HWND, DWORD), E_NOTIMPL)
  KC_ANSWER(Initialize(HINSTANCE, DWORD, REFGUID), E_NOTIMPL)
};

struct StubDirectInput : IDirectInputA {
  StubKeyboard keyboard;

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid,
                                         LPDIRECTINPUTDEVICEA *out,
                                         LPUNKNOWN) override {
    *out = IsEqualGUID(guid, GUID_SysKeyboard) ? &keyboard : nullptr;
    return *out != nullptr ? DI_OK : DIERR_DEVICENOTREG;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }
  // No joystick attached: the enumeration calls nothing back.
  KC_ANSWER(EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD), DI_OK)
  KC_ANSWER(QueryInterface(REFIID, void **), E_NOTIMPL)
  KC_ANSWER(GetDeviceStatus(REFGUID), E_NOTIMPL)
  KC_ANSWER(RunControlPanel(HWND, DWORD), E_NOTIMPL)
  KC_ANSWER(Initialize(HINSTANCE, DWORD), E_NOTIMPL)
};

#undef KC_ANSWER

// Each test writes its log into a fresh current directory of its own.
inline void enterFreshDirectory(const char *name) {
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  const std::string dir = std::string(path) + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  DeleteFileA("Corvanekeyboardchecker.log");
}

inline std::string logOnDisk() {
  std::ifstream file("Corvanekeyboardchecker.log", std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

constexpr char kUsClosing[] =
    "Keyboard type : PC/AT like US English keyboard / DirectX\r\n";
