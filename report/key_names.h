// The names the log gives keys, for both layouts at once: the log is read
// before its layout is known, so every line is looked up in one table that
// says which layouts have the name and how many of their keys share it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keymodel/layout.h"

// Index into the per-layout arrays: 0 US, 1 JP.
constexpr int kLayoutCount = 2;
inline int layoutIndex(KeyboardLayout layout) {
  return layout == LayoutJP ? 1 : 0;
}

constexpr int kMaxNames = 160;
constexpr int kNameBytes = 24; // "NumPad " and a 16-byte label, NUL

struct KeyName {
  char log[kNameBytes];       // as the log writes it, code page 932, trimmed
  char utf8[kNameBytes];      // as every output shows it
  uint8_t keys[kLayoutCount]; // keys of that layout with this name
  bool jpOnly; // decides the layout when the log has no closing line
};

struct NameTable {
  KeyName names[kMaxNames];
  int count;
  // Distinct names of each layout's grid in grid order.
  int order[kLayoutCount][kMaxNames];
  int orderCount[kLayoutCount];
  // Scan code to name, per layout; -1 for no key.
  int byCode[kLayoutCount][256];
  // Open addressing over the log bytes and, where they differ, the UTF-8
  // bytes (a log saved again by an editor); -1 empty.
  int16_t slots[512];
  int f4;      // the close gesture's names
  int alts[2]; // LAlt, RAlt
};

void buildNameTable(NameTable &table);

// The name a line's bytes (already trimmed, code page 932 or UTF-8) stand
// for, or -1.
int findName(const NameTable &table, const char *bytes, size_t length);

// The name as its key's cell in a drawn keyboard shows it: a keypad key
// already stands in the keypad block, so its UTF-8 name without "NumPad ".
const char *cellText(const KeyName &name);

// A label's bytes without its blanks, as [begin, begin + length).
void trimBlanks(const char *&begin, size_t &length);
