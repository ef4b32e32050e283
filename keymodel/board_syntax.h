// A board file's JSON, read strictly and mapped back to the file: a field
// given twice is an error rather than the last one silently winning, a
// syntax error says where and adds a hint for the slips people make most
// (a missing or extra comma, single quotes, a bare 0x1E), and each key
// can be named by the line it starts on.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct BoardText {
  nlohmann::json root;
  // The line each element of the top level's "keys" list starts on.
  std::vector<int> keyLines;
};

// False with problem "PLACE: PROBLEM" (displayable) when text is not JSON
// a board can be read from.
bool readBoardJson(const std::string &text, BoardText &out,
                   std::string &problem);
