// A Windows console shows the OEM code page unless told otherwise, and its
// text mode would turn each LF into CR LF, so --json would differ in bytes
// from the native program's. A watch wakes on the folder's change
// notification, and Ctrl+C arrives on a thread of its own, so it signals an
// event the wait includes.
#include "report/platform.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

HANDLE gInterruptEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD kind) {
  if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT)
    return FALSE;
  SetEvent(gInterruptEvent);
  return TRUE;
}

HANDLE consoleOf(FILE *out) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
}

bool identity(const char *path, BY_HANDLE_FILE_INFORMATION &info) {
  const HANDLE file = CreateFileA(
      path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return known;
}

} // namespace

void prepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool ownsConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void waitForKey() {
  std::fputs("Press any key to close\n", stdout);
  std::fflush(stdout);
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input); // keys typed while it ran do not count
  INPUT_RECORD record;
  DWORD got = 0;
  while (ReadConsoleInputA(input, &record, 1, &got) && got == 1 &&
         !(record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)) {
  }
}

bool programFolder(char *folder, size_t size) {
  const DWORD length =
      GetModuleFileNameA(nullptr, folder, static_cast<DWORD>(size));
  if (length == 0 || length >= size)
    return false;
  char *cut = folder + length;
  while (cut > folder && !isPathSeparator(cut[-1]))
    --cut;
  *cut = '\0';
  return true;
}

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

double monotonicSeconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void armInterrupt() {
  gInterruptEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

bool interrupted() {
  return gInterruptEvent != nullptr &&
         WaitForSingleObject(gInterruptEvent, 0) == WAIT_OBJECT_0;
}

bool startAnsiTerminal(FILE *out) {
  const HANDLE console = consoleOf(out);
  DWORD mode = 0;
  // Consoles before Windows 10 refuse the flag: they get the line mode.
  if (!GetConsoleMode(console, &mode) ||
      !SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
    return false;
  // Some take the flag and still print the sequences as text (Wine's):
  // one cell to the right must move the cursor by one cell.
  CONSOLE_SCREEN_BUFFER_INFO before, after;
  DWORD written = 0;
  const bool moved =
      GetConsoleScreenBufferInfo(console, &before) &&
      WriteConsoleA(console, "\x1b[1C", 4, &written, nullptr) &&
      GetConsoleScreenBufferInfo(console, &after) &&
      after.dwCursorPosition.X == before.dwCursorPosition.X + 1 &&
      after.dwCursorPosition.Y == before.dwCursorPosition.Y;
  if (!moved) {
    SetConsoleCursorPosition(console, before.dwCursorPosition);
    WriteConsoleA(console, "    ", 4, &written, nullptr);
    SetConsoleCursorPosition(console, before.dwCursorPosition);
    SetConsoleMode(console, mode);
  }
  return moved;
}

void terminalSize(FILE *out, int &columns, int &rows) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  const bool known = GetConsoleScreenBufferInfo(consoleOf(out), &info);
  columns = known ? info.srWindow.Right - info.srWindow.Left + 1 : 80;
  rows = known ? info.srWindow.Bottom - info.srWindow.Top + 1 : 24;
}

long long fileSize(FILE *file) {
  struct _stati64 status;
  return _fstati64(_fileno(file), &status) == 0 ? status.st_size : -1;
}

// Opening a pipe's name does not wait for a writer on Windows, so the
// file is opened first and its kind looked at after.
FILE *openRegularFile(const char *path, bool &regular) {
  regular = true;
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr)
    return nullptr;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  BY_HANDLE_FILE_INFORMATION info;
  regular = GetFileType(handle) == FILE_TYPE_DISK &&
            GetFileInformationByHandle(handle, &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (!regular) {
    std::fclose(file);
    errno = EINVAL;
    return nullptr;
  }
  return file;
}

bool sameOpenFile(FILE *a, FILE *b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return GetFileInformationByHandle(
             reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(a))), &ia) &&
         GetFileInformationByHandle(
             reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(b))), &ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

void watchFolder(FolderWatch &watch, const char *folder) {
  const HANDLE change = FindFirstChangeNotificationA(
      folder, FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
          FILE_NOTIFY_CHANGE_LAST_WRITE);
  watch.handle = reinterpret_cast<intptr_t>(change);
  watch.active = change != INVALID_HANDLE_VALUE;
}

void waitForChange(FolderWatch &watch, int milliseconds) {
  const HANDLE change = reinterpret_cast<HANDLE>(watch.handle);
  const HANDLE handles[] = {gInterruptEvent, change};
  const DWORD count = watch.active ? 2 : 1;
  const DWORD woke = WaitForMultipleObjects(count, handles, FALSE,
                                            watch.active ? milliseconds : 50);
  // Armed again before the file is read, so no later change is missed.
  if (woke == WAIT_OBJECT_0 + 1)
    FindNextChangeNotification(change);
}

void endFolderWatch(FolderWatch &watch) {
  if (watch.active)
    FindCloseChangeNotification(reinterpret_cast<HANDLE>(watch.handle));
}

FILE *createNewFile(const char *path) {
  const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                       _S_IREAD | _S_IWRITE);
  return fd < 0 ? nullptr : _fdopen(fd, "wb");
}

bool replaceFile(const char *from, const char *to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

PathKind pathKind(const char *path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? PathMissing : PathOther;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return PathLink;
  return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)
             ? PathOther
             : PathFile;
}

bool sameFile(const char *a, const char *b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return identity(a, ia) && identity(b, ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}
