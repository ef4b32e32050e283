// Prints the fingerprint of each board named, a preset or a file, so the
// report's tests write a board run's opening line as a checker would.
#include <cstdio>
#include <string>

#include "keymodel/board.h"

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    Board board;
    std::string error;
    if (!loadBoard(argv[i], board, error))
      return std::fprintf(stderr, "%s\n", error.c_str()), 2;
    std::printf("%s\n", boardFingerprint(board).c_str());
  }
  return 0;
}
