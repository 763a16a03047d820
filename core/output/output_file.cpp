#include "core/output/output_file.h"

namespace mervane {

bool OutputFile::create() {
  failed_ = false;
  const Status st = w_.create(target_);
  if (st.is_ok()) return true;
  stop(*r_, "Create", name_, st);
  return false;
}

void OutputFile::add(std::string_view line) {
  if (!w_.is_open()) return;
  const Status st = w_.add(line);
  if (st.is_ok() || failed_) return;
  failed_ = true;
  stop(*r_, "Add", name_, st);
}

void OutputFile::close() {
  if (!w_.is_open()) return;
  if (failed_) {
    // The failed line was reported already; the target keeps its previous contents.
    w_.discard();
    return;
  }
  stop_if_failed(*r_, "Close", name_, w_.close());
}

}  // namespace mervane
