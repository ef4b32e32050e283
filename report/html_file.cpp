// The HTML report's file: beside the log unless named, and written so that
// a failure never leaves half a page, nor a page written through a link
// someone planted where the default goes.
#include "report/html_file.h"

#include <cerrno>
#include <cstdio>

#include "report/html_report.h"
#include "report/platform.h"

std::string defaultHtmlPath(const char *log) {
  std::string path = log;
  size_t cut = path.size();
  while (cut > 0 && !isPathSeparator(path[cut - 1]))
    --cut;
  return path.substr(0, cut) + "keyboard-report.html";
}

// A file or nothing at the path: the HTML goes to a new file beside it,
// renamed into place once whole, so a failure leaves what was there. The
// default path is never written through a link, which the new file
// replaces, nor onto a folder or a device. A path the user chose that is
// a link or a device is written in place, where the user sent it, and
// never removed.
bool writeHtmlFile(const std::string &path, bool chosen,
                   const std::function<bool(FILE *)> &write, int &error) {
  std::string temporary;
  FILE *out = nullptr;
  const PathKind kind = pathKind(path.c_str());
  if (!chosen && kind == PathOther) {
    error = EEXIST;
    return false;
  }
  const bool replace =
      kind == PathMissing || kind == PathFile || (!chosen && kind == PathLink);
  for (int i = 0; replace && out == nullptr && i < 100; ++i) {
    temporary = path + ".part" + std::to_string(i);
    out = createNewFile(temporary.c_str());
    if (out == nullptr && errno != EEXIST)
      break;
  }
  if (!replace)
    out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = errno;
    return false;
  }
  bool written = write(out);
  error = errno;
  written = std::fclose(out) == 0 && written;
  error = written ? 0 : error != 0 ? error : errno;
  if (replace && written && !replaceFile(temporary.c_str(), path.c_str()))
    written = false, error = errno;
  if (replace && !written)
    std::remove(temporary.c_str());
  return written;
}

bool writeHtml(const std::string &path, bool chosen, const Report &report,
               int &error) {
  return writeHtmlFile(
      path, chosen, [&](FILE *out) { return writeHtmlReport(out, report); },
      error);
}
