// Text that comes from files people write, board files and logs, ends up
// on terminals, in message boxes and in the log itself. These rules keep
// it harmless there: nothing that moves a cursor or retitles a terminal
// gets through, and a label a person cannot see cannot be on a board.
#pragma once

#include <string>

// The text with its control characters (C0, DEL and C1, U+0080-U+009F)
// written as \xNN (C1 as \xC2\xNN, its UTF-8 bytes), everything else as
// it is; for any message that quotes a file or a name.
std::string displayText(const std::string &text);

// A C0 or C1 control character, or DEL, anywhere in UTF-8 text.
bool hasControlCharacters(const std::string &utf8);

// Only blanks and characters that draw nothing (no-break and wide
// spaces, zero-width characters, a byte-order mark): a keycap with such a
// label would look empty. text must be valid UTF-8.
bool looksBlank(const std::string &utf8);

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing past U+10FFFF.
bool isUtf8(const std::string &text);
