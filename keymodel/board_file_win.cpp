// The name comes as UTF-8 (the checker takes it from the wide command
// line), so it is opened with the wide call: a folder named outside the
// system's code page still opens. A name that is not UTF-8 is taken in
// the system's code page, as the report's own arguments come.
#include "keymodel/board_file.h"

#include <windows.h>

#include "keymodel/text_rules.h"

namespace {

bool fail(const char *path, const std::string &problem, std::string &error) {
  error = displayText(path) + ": " + problem;
  return false;
}

std::wstring widePath(const char *path) {
  for (UINT page : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int n = MultiByteToWideChar(page, flags, path, -1, nullptr, 0);
    if (n <= 0)
      continue;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(page, flags, path, -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
  }
  return std::wstring();
}

std::string systemMessage(DWORD code) {
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), text,
                 sizeof text, nullptr);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' ||
                              message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "cannot open the file" : message;
}

} // namespace

bool readBoardFile(const char *path, std::string &text, std::string &error) {
  const std::wstring wide = widePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    return fail(path,
                code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                    ? "neither a preset board nor a file"
                    : systemMessage(code),
                error);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return fail(path, "a folder, not a board file", error);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return fail(path, systemMessage(GetLastError()), error);
  std::string problem;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK)
    problem = "not a regular file";
  else if (!GetFileSizeEx(file, &size) || size.QuadPart > kMaxBoardFileBytes)
    problem = "larger than 1 MiB, not a board";
  text.assign(problem.empty() ? static_cast<size_t>(size.QuadPart) : 0, '\0');
  DWORD got = 0;
  if (problem.empty() && !text.empty() &&
      (!ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got,
                 nullptr) ||
       got != text.size()))
    problem = "cannot read the file";
  CloseHandle(file);
  return problem.empty() || fail(path, problem, error);
}
