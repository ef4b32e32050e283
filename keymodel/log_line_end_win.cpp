// Windows' text mode writes "\n" as CR LF, so the log's lines end in "\n".
#include "keymodel/transition_log.h"

const char kLogLineEnd[] = "\n";
