// mervane-icon FILE SIZE: writes the program's icon as a PNG of SIZE x SIZE pixels. The build runs
// it so that the installed icon is the one the program draws for its windows.
#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "gui/widgets/pictures.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mervane-icon FILE SIZE\n");
    return 2;
  }
  const int size = std::atoi(argv[2]);
  if (size < 16 || size > 1024 ||
      !mervane::gui::program_icon(size).save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "mervane-icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
