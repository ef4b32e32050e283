// The key labels as UTF-8, for front ends whose text drawing speaks UTF-8
// rather than code page 932. The log keeps the labels' own bytes.
#pragma once

#include <cstddef>

// Converts a label (NUL-terminated, code page 932) into out, NUL-terminated,
// blanks kept. A label's longest UTF-8 form is 12 bytes, so kLabelUtf8Bytes
// always suffices; a byte the tables never hold becomes "?".
constexpr size_t kLabelUtf8Bytes = 32;
void labelToUtf8(const char *label, char (&out)[kLabelUtf8Bytes]);
