// What both windows say about their log: once on stderr why it is not
// being written, and at the end whether it stopped short. The classic
// checker and board mode keep their logs in structs of their own.
#pragma once

#include "keymodel/log_file.h"

// Says why once, when the log is not writing and said is still false.
void sayLogFileState(const LogFile &log, bool &said);
// A write failed or the file went from its name: the log is short.
bool logFileStoppedShort(const LogFile &log);
