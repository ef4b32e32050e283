// Names are built from the checker's own key tables, so the report can
// never disagree with the log about a label; their UTF-8 forms are the key
// model's, which the Linux checker draws.
#include "report/key_names.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "keymodel/key_tables.h"
#include "keymodel/label_utf8.h"

namespace {

constexpr int kSlotCount = sizeof(NameTable::slots) / sizeof(int16_t);

unsigned hashBytes(const char *bytes, size_t length) {
  unsigned h = 2166136261u;
  for (size_t i = 0; i < length; ++i)
    h = (h ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
  return h;
}

bool names(const KeyName &key, const char *bytes, size_t length) {
  return (std::strlen(key.log) == length &&
          std::memcmp(key.log, bytes, length) == 0) ||
         (std::strlen(key.utf8) == length &&
          std::memcmp(key.utf8, bytes, length) == 0);
}

// The slot that holds the name with these bytes, or the empty one where
// it would go.
unsigned slotFor(const NameTable &table, const char *bytes, size_t length) {
  unsigned slot = hashBytes(bytes, length) % kSlotCount;
  while (table.slots[slot] >= 0 &&
         !names(table.names[table.slots[slot]], bytes, length))
    slot = (slot + 1) % kSlotCount;
  return slot;
}

int addName(NameTable &table, const char *name) {
  const size_t length = std::strlen(name);
  const unsigned slot = slotFor(table, name, length);
  if (table.slots[slot] >= 0)
    return table.slots[slot];
  const int index = table.count++;
  KeyName &entry = table.names[index];
  std::memset(&entry, 0, sizeof entry);
  std::memcpy(entry.log, name, length);
  char utf8[kLabelUtf8Bytes];
  labelToUtf8(name, utf8);
  // The longest name's UTF-8 form takes 12 bytes; the entry was zeroed.
  std::memcpy(entry.utf8, utf8,
              std::min(std::strlen(utf8), sizeof entry.utf8 - 1));
  table.slots[slot] = static_cast<int16_t>(index);
  if (std::strcmp(entry.utf8, name) != 0)
    table.slots[slotFor(table, entry.utf8, std::strlen(entry.utf8))] =
        static_cast<int16_t>(index);
  return index;
}

void addKey(NameTable &table, const KeyEntry &key, const char *prefix) {
  if (key.code == kFillerCode)
    return;
  const char *label = key.label;
  size_t length = std::strlen(label);
  trimBlanks(label, length);
  char name[kNameBytes] = {};
  std::strcpy(name, prefix);
  std::memcpy(name + std::strlen(prefix), label, length);
  addName(table, name);
}

} // namespace

void trimBlanks(const char *&begin, size_t &length) {
  while (length > 0 && *begin == ' ')
    ++begin, --length;
  while (length > 0 && begin[length - 1] == ' ')
    --length;
}

void buildNameTable(NameTable &table) {
  table.count = 0;
  std::memset(table.slots, 0xFF, sizeof table.slots);
  for (KeyboardLayout layout : {LayoutUS, LayoutJP})
    forEachKey(layout, [&](const KeyEntry &key, const char *prefix) {
      addKey(table, key, prefix);
    });
}

int findName(const NameTable &table, const char *bytes, size_t length) {
  if (length == 0 || length >= kNameBytes)
    return -1;
  return table.slots[slotFor(table, bytes, length)];
}
