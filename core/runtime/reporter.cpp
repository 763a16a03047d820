#include "core/runtime/reporter.h"

namespace mervane {

std::string stop_text(std::string_view op, std::string_view name, const Status& st) {
  std::string s(op);
  s += '(';
  s += name;
  s += ") - ";
  s += st.message();
  return s;
}

void stop(Reporter& r, std::string_view op, std::string_view name, const Status& st) {
  const std::string text = stop_text(op, name, st);
  if (r.stop_on(st, text) == Answer::Abort) throw Aborted(text);
}

bool stop_if_failed(Reporter& r, std::string_view op, std::string_view name, const Status& st) {
  if (st.is_ok()) return false;
  stop(r, op, name, st);
  return true;
}

}  // namespace mervane
