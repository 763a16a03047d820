#include "core/runtime/output_file.h"

namespace mervane {

bool OutputFile::create() {
  failed_ = stop_if_failed(r_, "Create", name_, w_.create(file_));
  return !failed_;
}

void OutputFile::add(std::string_view line) {
  if (failed_) return;
  if (stop_if_failed(r_, add_op_, name_, w_.add(line))) {
    failed_ = true;
    w_.discard();
  }
}

void OutputFile::close() {
  if (failed_) return;
  failed_ = stop_if_failed(r_, add_op_, name_, w_.close());
}

void OutputFile::discard() {
  w_.discard();
  failed_ = true;
}

}  // namespace mervane
