// The presets' JSON texts, compiled in from keymodel/boards/ by the build
// (cmake/embed_boards.cmake), so each board is written once, as a file.
#pragma once

struct BoardPreset {
  const char *name; // the file's name without ".json"
  const char *text; // the file's bytes
};

extern const BoardPreset kBoardPresets[];
extern const int kBoardPresetCount;
