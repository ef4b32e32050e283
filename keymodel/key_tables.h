// The checker's whole vocabulary of keys: five constant tables of scan code
// and label, walked by the transition log and by the key grid.
#pragma once

#include <cstdint>

#include "keymodel/layout.h"

#pragma pack(push, 1)
struct KeyEntry {
  uint8_t code;   // DIK_ scan code; indexes the 256-byte keyboard state
  char label[17]; // code page 932, NUL-filled; blanks in it align columns
};
#pragma pack(pop)
static_assert(sizeof(KeyEntry) == 18, "KeyEntry is an 18-byte packed record");

// A gap in the grid. No keyboard reports this code.
constexpr uint8_t kFillerCode = 0xFF;

constexpr int kTopRowCols = 13;
constexpr int kNavRows = 6, kNavCols = 3;
constexpr int kPadRows = 6, kPadCols = 4;
constexpr int kMainRows = 5, kMainCols = 15;

using MainBlock = KeyEntry[kMainRows][kMainCols];

extern const KeyEntry TopRowKeys[kTopRowCols];
extern const KeyEntry NavKeys[kNavRows][kNavCols];
extern const KeyEntry NumPadKeys[kPadRows][kPadCols];
extern const MainBlock MainKeysJP;
extern const MainBlock MainKeysUS;

// Only LayoutJP selects the Japanese block; unset means US.
const MainBlock &mainBlockFor(KeyboardLayout layout);

// The keypad's labels are shown bare but named with this in front.
constexpr char kNumPadPrefix[] = "NumPad ";

// Calls visit(entry, prefix) for every entry of the layout's four tables,
// fillers included, in the one order the log reports keys in: function
// row, main block, navigation block, keypad (with kNumPadPrefix).
template <typename Visit> void forEachKey(KeyboardLayout layout, Visit visit) {
  for (const KeyEntry &entry : TopRowKeys)
    visit(entry, "");
  for (const auto &row : mainBlockFor(layout))
    for (const KeyEntry &entry : row)
      visit(entry, "");
  for (const auto &row : NavKeys)
    for (const KeyEntry &entry : row)
      visit(entry, "");
  for (const auto &row : NumPadKeys)
    for (const KeyEntry &entry : row)
      visit(entry, kNumPadPrefix);
}
