// Characters arrive as UTF-16, a character beyond the first plane in two
// messages; the serial takes UTF-8. A keyboard's name is what its
// interface's path says, which is all a notification carries.
#include "app/station_window.h"

// First, so that ntddkbd.h defines the keyboards' interface GUID here.
#include <initguid.h>

#include <dbt.h>
#include <ntddkbd.h>

#include <vector>

#include "app/window_messages.h"
#include "input/board_clock.h"
#include "input/station_keys.h"
#include "keymodel/station_name.h"
#include "keymodel/station_plan.h"

namespace {

std::string utf8Of(const wchar_t *text, int length) {
  char utf8[16];
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8,
                                    nullptr, nullptr);
  return std::string(utf8, n > 0 ? n : 0);
}

std::string keyboardName(const wchar_t *path) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, path, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1)
    return "";
  std::string text(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, path, -1, &text[0], size, nullptr, nullptr);
  text.resize(size - 1);
  return keyboardNameFromPath(text);
}

// The system's keyboards as raw input lists them; named only when there is
// exactly one.
void nameTheOneKeyboard() {
  UINT count = 0;
  if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0 ||
      count == 0)
    return;
  std::vector<RAWINPUTDEVICELIST> devices(count);
  count =
      GetRawInputDeviceList(devices.data(), &count, sizeof(RAWINPUTDEVICELIST));
  std::wstring found;
  int keyboards = 0;
  for (UINT i = 0; i < count && count != UINT(-1); ++i) {
    wchar_t path[512];
    UINT length = 512;
    if (devices[i].dwType == RIM_TYPEKEYBOARD &&
        GetRawInputDeviceInfoW(devices[i].hDevice, RIDI_DEVICENAME, path,
                               &length) > 0 &&
        ++keyboards == 1)
      found = path;
  }
  if (keyboards == 1)
    nameStationKeyboard(keyboardName(found.c_str()));
}

LRESULT repaint(HWND window, bool changed) {
  if (changed)
    PostMessageW(window, kRepaintRequest, 0, 0);
  return 0;
}

} // namespace

bool openStationWindowRun(const Board &board, double chatterMs,
                          const BoardTail &asked, std::string &error) {
  static StationRun run; // for the process's life: the worker feeds it
  const std::string name =
      asked.stationName.empty() ? defaultStationName() : asked.stationName;
  error = stationNameProblem(name);
  const uint64_t now = static_cast<uint64_t>(boardClockMs());
  if (!error.empty() ||
      !openStationRun(run, board, chatterMs, name, now, error))
    return false;
  attachStationRun(&run);
  return true;
}

void listenForKeyboards(HWND window) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = GUID_DEVINTERFACE_KEYBOARD;
  RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  nameTheOneKeyboard();
}

void colourStationWindow(BoardPlan &plan, const std::string &logPlace) {
  Station station;
  bool logging;
  std::string problem;
  copyStation(station, logging, problem);
  colourStationPlan(plan, station);
  noteBoardLogState(plan, logging, logPlace);
  if (!problem.empty())
    addBoardNotice(plan, problem);
}

LRESULT onStationChar(HWND window, WPARAM wParam, LPARAM lParam) {
  static wchar_t high = 0; // the first half of a surrogate pair
  const wchar_t unit = static_cast<wchar_t>(wParam);
  if (unit >= 0xD800 && unit < 0xDC00) {
    high = unit;
    return 0;
  }
  const wchar_t pair[2] = {high, unit};
  const bool low = unit >= 0xDC00 && unit < 0xE000;
  high = 0;
  if (low && pair[0] == 0)
    return 0;
  // The key's scan code, with bit 7 for an extended key, as DirectInput's.
  const uint8_t code =
      static_cast<uint8_t>(((lParam >> 16) & 0xFF) | ((lParam >> 17) & 0x80));
  return repaint(
      window, stationTypeChar(low ? utf8Of(pair, 2) : utf8Of(&unit, 1), code));
}

LRESULT onStationClick(HWND window, LPARAM lParam, const BoardPlan &plan) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  return repaint(window, isOnStationButton(plan, x, y) && stationFailUnit());
}

LRESULT onStationDeviceChange(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
  if (header == nullptr ||
      header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
    return TRUE;
  const auto *device =
      reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(lParam);
  if (wParam == DBT_DEVICEARRIVAL)
    repaint(window, stationKeyboardCame(keyboardName(device->dbcc_name)));
  else if (wParam == DBT_DEVICEREMOVECOMPLETE)
    repaint(window, stationKeyboardGone());
  return TRUE;
}
