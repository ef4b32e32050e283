// The station's inputs other than the keys under test. Characters come
// from the key's keysym under the modifiers held (XLookupString), made
// UTF-8 by xkbcommon, so a scanner's serial needs no input method.
#include "x11/station_input.h"

#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <string>

#include "keymodel/station_plan.h"
#include "x11/log_notice.h"

namespace {

// Slave keyboards that are no keyboard on the bench: the servers' own
// (XTest's, one per master), and the kernel's buttons and switches that
// Linux presents as keyboards.
constexpr const char *kNotKeyboards[] = {
    "XTEST",          "Power Button",
    "Sleep Button",   "Video Bus",
    "Lid Switch",     "xwayland-",
    "PC Speaker",     "Intel HID",
    "HP WMI hotkeys", "ThinkPad Extra Buttons"};

bool isBenchKeyboard(const char *name) {
  for (const char *other : kNotKeyboards)
    if (std::strstr(name, other) != nullptr)
      return false;
  return true;
}

// The request that fails when a device went between its event and our
// question, set only around that question.
int g_xiOpcode = -1;
XErrorHandler g_before = nullptr;
int skipDeviceGone(Display *display, XErrorEvent *error) {
  return error->request_code == g_xiOpcode ? 0 : g_before(display, error);
}

// The device's name, "" once it is gone.
std::string deviceName(Display *display, int opcode, int id) {
  g_xiOpcode = opcode;
  g_before = XSetErrorHandler(skipDeviceGone);
  int count = 0;
  XIDeviceInfo *info = XIQueryDevice(display, id, &count);
  XSetErrorHandler(g_before);
  const std::string name = info != nullptr && count > 0 ? info->name : "";
  if (info != nullptr)
    XIFreeDeviceInfo(info);
  return name;
}

void nameTheOneKeyboard(BoardChecker &c) {
  int count = 0;
  XIDeviceInfo *all = XIQueryDevice(c.display, XIAllDevices, &count);
  std::string name;
  int found = 0;
  for (int i = 0; i < count; ++i)
    if (all[i].use == XISlaveKeyboard && isBenchKeyboard(all[i].name) &&
        ++found == 1)
      name = all[i].name;
  if (all != nullptr)
    XIFreeDeviceInfo(all);
  if (found == 1)
    nameUnitKeyboard(c.run.station, name);
}

void finishUnit(BoardChecker &c, Time time) {
  stationRunEnter(c.run, sinceStart(c, time));
  sayLogFileState(c.run.log, c.logSaid);
}

} // namespace

void openStationDevices(BoardChecker &c) {
  c.xiOpcode = -1;
  int opcode, event, error, major = 2, minor = 0;
  if (!XQueryExtension(c.display, "XInputExtension", &opcode, &event, &error) ||
      XIQueryVersion(c.display, &major, &minor) != Success)
    return;
  c.xiOpcode = opcode;
  unsigned char bits[XIMaskLen(XI_HierarchyChanged)] = {};
  XISetMask(bits, XI_HierarchyChanged);
  XIEventMask mask = {XIAllDevices, int(sizeof bits), bits};
  XISelectEvents(c.display, DefaultRootWindow(c.display), &mask, 1);
  nameTheOneKeyboard(c);
}

bool isSerialKey(const BoardChecker &c) {
  return c.station && c.run.station.unit.phase == UnitSerial;
}

void onSerialKey(BoardChecker &c, XKeyEvent &event) {
  if (event.type != KeyPress)
    return;
  KeySym keysym = NoSymbol;
  char latin1[32];
  XLookupString(&event, latin1, sizeof latin1, &keysym, nullptr);
  if (keysym == XK_Return || keysym == XK_KP_Enter) {
    finishUnit(c, event.time);
    c.stale = true;
    return;
  }
  if (keysym == XK_BackSpace) {
    c.stale |= eraseSerial(c.run.station);
    return;
  }
  char utf8[8];
  if (xkb_keysym_to_utf8(keysym, utf8, sizeof utf8) > 1)
    c.stale |= typeSerial(c.run.station, utf8);
}

void onStationClick(BoardChecker &c, const XButtonEvent &button) {
  if (button.button == Button1 &&
      isOnStationButton(c.plan, button.x, button.y) &&
      stationRunFailUnit(c.run, sinceStart(c, button.time)))
    c.stale = true;
}

bool isDeviceChange(const BoardChecker &c, const XEvent &event) {
  return c.station && c.xiOpcode >= 0 && event.type == GenericEvent &&
         event.xcookie.extension == c.xiOpcode &&
         event.xcookie.evtype == XI_HierarchyChanged;
}

// A keyboard gone fails the unit that saw keys; one come (named, when it is
// still there to ask) finishes a unit waiting for its serial and is named
// for the next. One plug may add several: the first names the unit.
void onDeviceChange(BoardChecker &c, XEvent &event) {
  XGenericEventCookie &cookie = event.xcookie;
  if (!XGetEventData(c.display, &cookie))
    return;
  const auto &change = *static_cast<const XIHierarchyEvent *>(cookie.data);
  bool came = false, gone = false;
  int first = -1;
  for (int i = 0; i < change.num_info; ++i) {
    const XIHierarchyInfo &info = change.info[i];
    if (info.use != XISlaveKeyboard)
      continue;
    gone |= (info.flags & (XISlaveRemoved | XIDeviceDisabled)) != 0;
    if ((info.flags & (XISlaveAdded | XIDeviceEnabled)) != 0 && !came) {
      came = true;
      first = info.deviceid;
    }
  }
  const uint64_t ms = sinceStart(c, change.time);
  XFreeEventData(c.display, &cookie);
  if (gone && stationRunKeyboardGone(c.run, ms))
    c.stale = true;
  if (!came)
    return;
  stationRunKeyboardCame(c.run, deviceName(c.display, c.xiOpcode, first), ms);
  sayLogFileState(c.run.log, c.logSaid);
  c.stale = true;
}
