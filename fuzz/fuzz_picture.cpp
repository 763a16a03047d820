// Arbitrary picture codes, values and typed texts through the value formatter and the readers.
// Input: a picture code, a newline, then the typed text; the first eight bytes after the
// newline also serve as the double to format.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/util/picture.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

// What a picture shows, where the picture can hold it, must read back as the same text.
void check_shown_reads_back(const mervane::Picture& p, double value) {
  const std::string shown = mervane::format_value(p, value);
  bool must_read = false;
  switch (p.kind) {
    case mervane::PictureKind::Number:
      must_read = std::isfinite(value) && std::ssize(shown) <= p.width;
      break;
    case mervane::PictureKind::Time:
      must_read = true;
      break;
    case mervane::PictureKind::Date:
      // Years 0001 to 9999 read back; others show more digits or a sign.
      must_read = shown.empty() || (shown.size() == (p.style == 2 ? 10u : 12u) &&
                                    shown.substr(shown.size() - 4) != "0000");
      break;
    case mervane::PictureKind::Text:
      return;
  }
  if (!must_read) return;
  const auto back = mervane::parse_value(p, shown);
  check(static_cast<bool>(back));
  check(mervane::format_value(p, *back.value) == shown);
}

// An accepted typed value must show as text that reads back as the same value.
void check_typed(const mervane::Picture& p, std::string_view typed) {
  const auto r = mervane::parse_value(p, typed);
  check(r ? r.reason.empty() : !r.reason.empty());
  if (!r) return;
  const std::string shown = mervane::format_value(p, *r.value);
  if (p.kind == mervane::PictureKind::Number) check(std::ssize(shown) <= p.width);
  const auto back = mervane::parse_value(p, shown);
  check(back && *back.value == *r.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nl = input.find('\n');
  const std::string_view code = input.substr(0, nl);
  const std::string_view typed = nl == std::string_view::npos ? "" : input.substr(nl + 1);
  double value = 0;
  std::memcpy(&value, typed.data(), std::min(typed.size(), sizeof value));

  (void)mervane::format_value(code, value);
  (void)mervane::format_text(code, typed);
  (void)mervane::parse_text(code, typed);
  (void)mervane::parse_value(code, typed);
  if (const auto p = mervane::read_picture(code)) {
    check_shown_reads_back(*p, value);
    check_shown_reads_back(*p, std::trunc(value));  // whole numbers and plain serials too
    if (p->kind != mervane::PictureKind::Text) check_typed(*p, typed);
  }
  if (const auto d = mervane::parse_cli_date(typed))
    check(mervane::parse_cli_date(mervane::date_text(*d.value)).value == d.value);
  return 0;
}
