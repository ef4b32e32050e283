// A keyboard device for tests of code that reads the keyboard through
// g_devices: it hands out a state the test chooses, or fails the read.
#pragma once

#include <cstring>

#include "input/device_set.h"

// A keyboard whose GetDeviceState hands out a chosen state or fails.
struct StandInKeyboard : IDirectInputDeviceA {
  KeyState state{};
  HRESULT result = DI_OK;
  int reads = 0;
  STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
    ++reads;
    if (result == DI_OK && size == sizeof state.bytes)
      std::memcpy(data, state.bytes, size);
    return result;
  }
  STDMETHOD(QueryInterface)(REFIID, void **) override { return E_NOTIMPL; }
  STDMETHOD_(ULONG, AddRef)() override { return 1; }
  STDMETHOD_(ULONG, Release)() override { return 1; }
  STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return E_NOTIMPL; }
  STDMETHOD(EnumObjects)
  (LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
  STDMETHOD(SetProperty)(REFGUID, LPCDIPROPHEADER) override {
    return E_NOTIMPL;
  }
  STDMETHOD(Acquire)() override { return E_NOTIMPL; }
  STDMETHOD(Unacquire)() override { return E_NOTIMPL; }
  STDMETHOD(GetDeviceData)
  (DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT) override { return E_NOTIMPL; }
  STDMETHOD(SetEventNotification)(HANDLE) override { return E_NOTIMPL; }
  STDMETHOD(SetCooperativeLevel)(HWND, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
    return E_NOTIMPL;
  }
  STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
  STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override {
    return E_NOTIMPL;
  }
};
