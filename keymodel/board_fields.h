// The rules for each field of a board file, one function a field, each
// failing with a message that names the place. Shared by the board's
// reader alone; split from it so that the rules can be read as a list.
#pragma once

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>

#include "keymodel/board.h"

// Where the message goes: "SOURCE: PLACE: PROBLEM", one line.
struct BoardCheck {
  std::string source; // the file's name, escaped for display
  std::string &error;
  bool fail(const std::string &place, const std::string &problem);
};

// Only the fields named may appear; a misspelt one would be silently lost.
bool onlyFields(BoardCheck &check, const std::string &place,
                const nlohmann::json &object,
                std::initializer_list<const char *> fields);

// A name, title or label: a string, not empty, at most maxBytes, without
// control characters, and not only characters that draw nothing.
bool getText(BoardCheck &check, const std::string &place,
             const nlohmann::json &object, const char *field, size_t maxBytes,
             std::string &out);

// A key: its code, label and place, with every rule of each; place names
// the key in messages (its index, label and line).
bool readBoardKey(BoardCheck &check, const std::string &place,
                  const nlohmann::json &key, BoardKey &out);

// "keys[3] "Tab" (line 7)": the key's index, its label when it has a
// readable one, and its line when known.
std::string keyPlace(size_t index, const nlohmann::json &key, int line);
