// On Windows the log is opened without following a reparse point, with a
// share mode that lets others read it but neither write, delete nor rename
// it while it is open: a second copy cannot empty it, and the name keeps
// naming it. It is emptied only once it is known to be a plain file of
// ours, then handed to the runtime in text mode, which turns "\n" into
// CR LF as an fopen(name, "w") would. A file kept across runs (the
// station's results) is opened the same way, in binary, and appended to.
#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include "keymodel/log_file.h"

namespace {

bool refuse(LogFile &log, HANDLE file, LogState state, int error) {
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  log = {nullptr, state, error};
  return false;
}

int errnoOf(DWORD error) {
  switch (error) {
  case ERROR_ACCESS_DENIED:
    return EACCES;
  case ERROR_PATH_NOT_FOUND:
    return ENOENT;
  case ERROR_DISK_FULL:
    return ENOSPC;
  default:
    return EIO;
  }
}

bool isPlainFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileType(file) == FILE_TYPE_DISK &&
         GetFileInformationByHandle(file, &info) &&
         (info.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// The file at name as a plain file this process alone writes, or false
// with log saying why.
bool openOwned(LogFile &log, const char *name, DWORD access, HANDLE &file) {
  file = CreateFileA(name, access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                     nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return refuse(log, file,
                  error == ERROR_SHARING_VIOLATION ? LogInUse : LogNotCreated,
                  errnoOf(error));
  }
  if (!isPlainFile(file))
    return refuse(log, file, LogNotRegular, 0);
  return true;
}

bool adopt(LogFile &log, HANDLE file, int flags, const char *mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
  if (fd < 0)
    return refuse(log, file, LogNotCreated, EMFILE);
  FILE *stream = _fdopen(fd, mode);
  if (stream == nullptr) {
    _close(fd);
    log = {nullptr, LogNotCreated, EMFILE};
    return false;
  }
  log = {stream, LogWriting, 0};
  return true;
}

} // namespace

bool openLogFile(LogFile &log, const char *name) {
  HANDLE file;
  if (!openOwned(log, name, GENERIC_WRITE, file))
    return false;
  if (!SetEndOfFile(file))
    return refuse(log, file, LogNotCreated, errnoOf(GetLastError()));
  return adopt(log, file, _O_TEXT, "w");
}

bool openAppendFile(LogFile &log, const char *name, AppendStart &start) {
  HANDLE file;
  if (!openOwned(log, name, GENERIC_READ | GENERIC_WRITE, file))
    return false;
  LARGE_INTEGER size, last;
  char byte = '\n';
  DWORD read = 0;
  if (!GetFileSizeEx(file, &size))
    return refuse(log, file, LogNotCreated, errnoOf(GetLastError()));
  last.QuadPart = size.QuadPart - 1;
  if (size.QuadPart > 0 &&
      (!SetFilePointerEx(file, last, nullptr, FILE_BEGIN) ||
       !ReadFile(file, &byte, 1, &read, nullptr) || read != 1))
    return refuse(log, file, LogNotCreated, errnoOf(GetLastError()));
  start = {size.QuadPart == 0, byte != '\n'};
  // The runtime's append mode goes to the end before every write.
  return adopt(log, file, _O_BINARY | _O_APPEND, "ab");
}

// Nobody may delete or rename the file while our handle is open.
bool logFileStillNamed(const LogFile &, const char *) { return true; }

bool flushToDisk(FILE *file) {
  return FlushFileBuffers(
             reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
}
