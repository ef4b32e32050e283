// The JSON library reads the file; this adds what it leaves out: which
// field came twice, a line for each key, and a hint after a syntax error.
// The map is found by a second walk over text the library has already
// accepted, so it only has to know where strings and brackets are.
#include "keymodel/board_syntax.h"

#include <set>

#include "keymodel/text_rules.h"

using nlohmann::json;

namespace {

std::string lineAndColumn(const std::string &text, size_t byte) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i + 1 < byte && i < text.size(); ++i)
    text[i] == '\n' ? (++line, column = 1) : ++column;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

int lineOf(const std::string &text, size_t at) {
  int line = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i)
    line += text[i] == '\n';
  return line;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char significantBefore(const std::string &text, size_t at) {
  while (at > 0 && isBlank(text[at - 1]))
    --at;
  return at > 0 ? text[at - 1] : '\0';
}

// What a person most likely got wrong where the parser stopped; "" when
// it is none of the usual slips. at is the last byte the parser read.
std::string hintFor(const std::string &text, size_t at,
                    const std::string &why) {
  const char c = at < text.size() ? text[at] : '\0';
  if (c == '\'')
    return "JSON takes double quotes (\"), not single ones";
  if ((c == 'x' || c == 'X') && at > 0 && text[at - 1] == '0')
    return "a scan code in hexadecimal is written as a string: \"0x1E\"";
  if ((c == '}' || c == ']') && significantBefore(text, at) == ',')
    return "a comma after the last item: remove it";
  if (why.find("; expected '}'") != std::string::npos ||
      why.find("; expected ']'") != std::string::npos)
    return "a comma is missing before this";
  return "";
}

std::string syntaxProblem(const std::string &text, const json::parse_error &e) {
  // "[json.exception.parse_error.101] parse error at line 1, column 14:
  // WHY": the place is said our way, the why kept.
  const std::string what = e.what();
  const size_t column = what.find("column ");
  const size_t cut = what.find(": ", column == std::string::npos ? 0 : column);
  const std::string why =
      cut == std::string::npos ? what : what.substr(cut + 2);
  const size_t at = e.byte > 0 ? e.byte - 1 : 0;
  const std::string hint = hintFor(text, at, why);
  return lineAndColumn(text, e.byte) + ": not JSON" +
         (hint.empty() ? " (" + displayText(why) + ")" : ": " + hint);
}

// "number overflow parsing '1e999'": the number, found in the text.
std::string overflowProblem(const std::string &text, const json::exception &e) {
  const std::string what = e.what();
  const size_t open = what.find('\''), close = what.rfind('\'');
  const std::string number =
      open < close ? what.substr(open + 1, close - open - 1) : std::string();
  const size_t at = number.empty() ? std::string::npos : text.find(number);
  return (at == std::string::npos ? std::string("a number")
                                  : lineAndColumn(text, at + 1)) +
         ": " + displayText(number.empty() ? what : number) +
         " is too large a number";
}

// The start of every object key's string, in the order the parser meets
// them, and the start of each element of the top level's "keys" list.
void mapText(const std::string &text, std::vector<size_t> &fieldStarts,
             std::vector<size_t> &keyStarts) {
  std::string stack, lastField;
  bool itemNext = false, inKeys = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (isBlank(c))
      continue;
    if (inKeys && stack.size() == 2 && itemNext && c != ']')
      keyStarts.push_back(i);
    itemNext = false;
    if (c == '"') {
      const size_t start = i;
      for (++i; i < text.size() && text[i] != '"'; ++i)
        i += text[i] == '\\';
      size_t next = i + 1;
      while (next < text.size() && isBlank(text[next]))
        ++next;
      if (!stack.empty() && stack.back() == '{' && next < text.size() &&
          text[next] == ':') {
        fieldStarts.push_back(start);
        lastField = text.substr(start + 1, i - start - 1);
      }
    } else if (c == '{' || c == '[') {
      stack += c;
      inKeys = inKeys || (c == '[' && stack == "{[" && lastField == "keys");
      itemNext = c == '[';
    } else if (c == '}' || c == ']') {
      inKeys = inKeys && stack.size() > 2;
      stack.pop_back();
    } else if (c == ',') {
      itemNext = !stack.empty() && stack.back() == '[';
    }
  }
}

} // namespace

bool readBoardJson(const std::string &text, BoardText &out,
                   std::string &problem) {
  // Each object's fields so far, and the number of fields met: the first
  // field given twice is found by its number in the text's map.
  std::vector<std::set<std::string>> objects;
  long fields = 0, twice = -1;
  std::string twiceName;
  const json::parser_callback_t watch = [&](int, json::parse_event_t event,
                                            json &parsed) {
    if (event == json::parse_event_t::object_start)
      objects.emplace_back();
    else if (event == json::parse_event_t::object_end && !objects.empty())
      objects.pop_back();
    else if (event == json::parse_event_t::key && !objects.empty() &&
             !objects.back().insert(parsed.get<std::string>()).second &&
             twice < 0)
      twice = fields, twiceName = parsed.get<std::string>();
    fields += event == json::parse_event_t::key;
    return true;
  };
  try {
    out.root = json::parse(text, watch);
  } catch (const json::parse_error &e) {
    problem = syntaxProblem(text, e);
    return false;
  } catch (const json::exception &e) {
    problem = overflowProblem(text, e);
    return false;
  }
  std::vector<size_t> fieldStarts, keyStarts;
  mapText(text, fieldStarts, keyStarts);
  if (twice >= 0) {
    const size_t at = static_cast<size_t>(twice) < fieldStarts.size()
                          ? fieldStarts[static_cast<size_t>(twice)]
                          : 0;
    problem = "line " + std::to_string(lineOf(text, at)) + ": field \"" +
              displayText(twiceName) + "\" given twice";
    return false;
  }
  out.keyLines.clear();
  for (size_t start : keyStarts)
    out.keyLines.push_back(lineOf(text, start));
  return true;
}
