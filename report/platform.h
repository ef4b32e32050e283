// The two things the report does differently on Windows; each platform's
// file is picked by the build.
#pragma once

// Makes the console show the UTF-8 the report prints, byte for byte.
void prepareConsole();

bool isPathSeparator(char c);
