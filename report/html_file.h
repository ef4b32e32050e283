// The HTML report's file, apart from the report's own options.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "report/verdict.h"

// keyboard-report.html in the log's folder.
std::string defaultHtmlPath(const char *log);

// chosen: the user named the path with --html. False, with an errno-style
// code in error, when no complete HTML is at the path.
bool writeHtml(const std::string &path, bool chosen, const Report &report,
               int &error);

// The same for any page: write puts it into the file it is given and says
// whether every write reached it.
bool writeHtmlFile(const std::string &path, bool chosen,
                   const std::function<bool(FILE *)> &write, int &error);
