// DirectInput names a Japanese keyboard's keys by their legends, not by
// their scan codes, so those few codes are turned back into the scan codes
// the layout is asked about. The layout's character for the key without
// Shift is what the keycap shows; a dead key's accent counts, as
// keyboards print it.
#include "app/board_legends.h"

#include <windows.h>

#include "keymodel/text_rules.h"

namespace {

// The DirectInput codes of a Japanese keyboard that are not its scan codes.
constexpr struct {
  uint8_t dik, scan;
} kJapaneseCodes[] = {{0x90, 0x0D}, {0x91, 0x1A}, {0x1A, 0x1B}, {0x92, 0x28},
                      {0x94, 0x29}, {0x1B, 0x2B}, {0x2B, 0x73}};

bool isJapaneseBoard(const Board &board) {
  return board.keyOfCode[0x90] >= 0 || board.keyOfCode[0x91] >= 0 ||
         board.keyOfCode[0x94] >= 0;
}

UINT scanCodeOf(uint8_t code, bool japanese) {
  for (const auto &jp : kJapaneseCodes)
    if (japanese && jp.dik == code)
      return jp.scan;
  // Codes from 0x80 are the extended keys: navigation, keypad, modifiers,
  // none of which prints a character of the layout's own.
  return code < 0x80 ? code : 0;
}

std::string printed(UINT scan, HKL layout) {
  const UINT vk = MapVirtualKeyExW(scan, MAPVK_VSC_TO_VK, layout);
  // The low word is the character, a capital for a letter; the top bit
  // marks a dead key, whose accent is printed all the same.
  const wchar_t wide[2] = {
      static_cast<wchar_t>(MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout) &
                           0xFFFF),
      0};
  if (vk == 0 || wide[0] <= 0x20)
    return "";
  char utf8[8];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8,
                                        nullptr, nullptr);
  const std::string text(utf8, bytes > 0 ? size_t(bytes) : 0);
  return hasControlCharacters(text) || looksBlank(text) ? "" : text;
}

} // namespace

void readLegends(const Board &board, std::vector<std::string> &legends) {
  legends.assign(board.keys.size(), "");
  const HKL layout = GetKeyboardLayout(0);
  const bool japanese = isJapaneseBoard(board);
  for (size_t i = 0; i < board.keys.size(); ++i) {
    const UINT scan = scanCodeOf(board.keys[i].code, japanese);
    // The keypad's keys print digits only with Num Lock: their own labels.
    if (scan != 0 && !(scan >= 0x47 && scan <= 0x53) && scan != 0x37)
      legends[i] = printed(scan, layout);
  }
}
