// The computer's name on Windows, as System Properties shows it (in the
// ANSI code page; anything outside ASCII is made safe afterwards).
#include <windows.h>

#include "keymodel/station_name.h"

bool systemHostName(std::string &host) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size))
    return false;
  host.assign(name, size);
  return !host.empty();
}
