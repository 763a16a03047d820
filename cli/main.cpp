#include "cli/app.h"

int main(int argc, char** argv) {
  return mervane::cli::run(argc, argv);
}
