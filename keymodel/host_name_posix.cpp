// The host's name on Linux, as uname and the shell prompt show it.
#include <unistd.h>

#include "keymodel/station_name.h"

bool systemHostName(std::string &host) {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0)
    return false;
  host = name;
  return !host.empty();
}
