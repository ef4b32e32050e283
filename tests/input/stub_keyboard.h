// One small DirectInput stand-in for what real DirectInput under Wine
// cannot be made to do on cue: a read that fails, a read that takes its
// time, a release that lands in the middle of a read. It offers a keyboard
// only; the mouse and joystick simply fail to come up.
#pragma once

#include <gtest/gtest.h>

#include "input/device_set.h"

#include <atomic>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

struct Reading {
  HRESULT result;
  KeyState state; // written even by a failing read, as junk
};

inline KeyState keysDown(std::initializer_list<uint8_t> codes) {
  KeyState state{};
  for (uint8_t code : codes)
    state.bytes[code] = 0x80;
  return state;
}

#define KC_UNUSED(call)                                                        \
  HRESULT STDMETHODCALLTYPE call override { return E_NOTIMPL; }

struct StubKeyboard : IDirectInputDeviceA {
  std::mutex lock;
  std::deque<Reading> queue; // then DIERR_NOTACQUIRED
  std::atomic<int> reads{0};
  std::atomic<DWORD> readDelayMs{0};
  std::atomic<bool> reading{false}, released{false}, releasedMidRead{false};

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    reading = true;
    Sleep(readDelayMs);
    Reading next{DIERR_NOTACQUIRED, {}};
    {
      std::lock_guard<std::mutex> hold(lock);
      if (!queue.empty()) {
        next = queue.front();
        queue.pop_front();
      }
    }
    memcpy(data, next.state.bytes, size);
    reading = false;
    ++reads;
    return next.result;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    releasedMidRead = releasedMidRead || reading;
    released = true;
    return 0;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  HRESULT STDMETHODCALLTYPE Acquire() override { return DI_OK; }
  HRESULT STDMETHODCALLTYPE Unacquire() override { return DI_OK; }
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT) override {
    return DI_OK;
  }
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override {
    return DI_OK;
  }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override {
    return DI_OK;
  }
  KC_UNUSED(QueryInterface(REFIID, void **))
  KC_UNUSED(GetCapabilities(LPDIDEVCAPS))
  KC_UNUSED(EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD))
  KC_UNUSED(GetProperty(REFGUID, LPDIPROPHEADER))
  KC_UNUSED(SetProperty(REFGUID, LPCDIPROPHEADER))
  KC_UNUSED(GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD))
  KC_UNUSED(GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD))
  KC_UNUSED(GetDeviceInfo(LPDIDEVICEINSTANCEA))
  KC_UNUSED(RunControlPanel(HWND, DWORD))
  KC_UNUSED(Initialize(HINSTANCE, DWORD, REFGUID))
};

struct StubDirectInput : IDirectInputA {
  StubKeyboard keyboard;

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid,
                                         LPDIRECTINPUTDEVICEA *out,
                                         LPUNKNOWN) override {
    *out = IsEqualGUID(guid, GUID_SysKeyboard) ? &keyboard : nullptr;
    return *out != nullptr ? DI_OK : DIERR_DEVICENOTREG;
  }
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID,
                                        DWORD) override {
    return DI_OK; // no joystick attached
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }
  KC_UNUSED(QueryInterface(REFIID, void **))
  KC_UNUSED(GetDeviceStatus(REFGUID))
  KC_UNUSED(RunControlPanel(HWND, DWORD))
  KC_UNUSED(Initialize(HINSTANCE, DWORD))
};

#undef KC_UNUSED

// Each test writes its log into a fresh current directory of its own.
inline void enterFreshDirectory(const char *name) {
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  std::string dir = std::string(path) + name;
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
