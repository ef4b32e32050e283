// What the report does differently on Windows and on Linux; each
// platform's file is picked by the build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Makes the console show the UTF-8 the report prints, byte for byte.
void prepareConsole();

// True when this process is alone on its console (started from Explorer),
// which closes when it ends.
bool ownsConsole();
// Says "Press any key to close" and waits for one.
void waitForKey();
// The program's own folder, with a separator at its end.
bool programFolder(char *folder, size_t size);

bool isPathSeparator(char c);

// Seconds on a clock that never steps back.
double monotonicSeconds();

// Ctrl+C, once armed, ends a watch the usual way instead of the process.
void armInterrupt();
bool interrupted();

// True when out is a terminal that takes ANSI cursor and colour sequences
// (switched on where the console needs that); its size in cells.
bool startAnsiTerminal(FILE *out);
void terminalSize(FILE *out, int &columns, int &rows);

// The file's size now, as another process may have changed it; -1 if
// unknown.
long long fileSize(FILE *file);

// A regular file opened for reading, without ever blocking on what else
// may be at the path (a FIFO); null, with regular false for anything but
// a regular file.
FILE *openRegularFile(const char *path, bool &regular);
// Both streams read one file.
bool sameOpenFile(FILE *a, FILE *b);

// Wakes a watch when something changes in a folder. When the system will
// not watch it, waiting falls back to a short sleep.
struct FolderWatch {
  intptr_t handle;
  bool active;
};
void watchFolder(FolderWatch &watch, const char *folder);
// Returns on a change, on Ctrl+C, or after at most milliseconds.
void waitForChange(FolderWatch &watch, int milliseconds);
void endFolderWatch(FolderWatch &watch);

// A file that did not exist before, or null.
FILE *createNewFile(const char *path);
// Puts from in the place of to, replacing it.
bool replaceFile(const char *from, const char *to);
// What is at a path, without following a link: a file or a link may be
// replaced by another file renamed into its place.
enum PathKind { PathMissing, PathFile, PathLink, PathOther };
PathKind pathKind(const char *path);
// Both names are one existing file.
bool sameFile(const char *a, const char *b);
