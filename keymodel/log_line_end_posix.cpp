// Text mode changes nothing here, so the log spells its CR LF out: a log
// written on Linux is byte for byte the one Windows writes.
#include "keymodel/transition_log.h"

const char kLogLineEnd[] = "\r\n";
