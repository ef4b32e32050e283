// The names a classic log gives keys, for both layouts at once: the log is
// read before its layout is known, so every line is looked up in one table
// that turns a code page 932 name into the UTF-8 label the boards use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keymodel/layout.h"

constexpr int kMaxNames = 160;
constexpr int kNameBytes = 24; // "NumPad " and a 16-byte label, NUL

struct KeyName {
  char log[kNameBytes];  // as the log writes it, code page 932, trimmed
  char utf8[kNameBytes]; // as every output shows it
};

struct NameTable {
  KeyName names[kMaxNames];
  int count;
  // Open addressing over the log bytes and, where they differ, the UTF-8
  // bytes (a log saved again by an editor); -1 empty.
  int16_t slots[512];
};

void buildNameTable(NameTable &table);

// The name a line's bytes (already trimmed, code page 932 or UTF-8) stand
// for, or -1.
int findName(const NameTable &table, const char *bytes, size_t length);

// A label's bytes without its blanks, as [begin, begin + length).
void trimBlanks(const char *&begin, size_t &length);
