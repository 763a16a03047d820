#include "cli/json_writer.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "core/util/charset.h"

namespace mervane::cli {

JsonWriter::~JsonWriter() {
  if (counts_.empty()) out_ << '\n';
}

void JsonWriter::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (counts_.empty()) return;
  if (counts_.back()++ > 0) out_ << ',';
  out_ << '\n' << std::string(2 * counts_.size(), ' ');
}

void JsonWriter::close(char c) {
  const bool empty = counts_.back() == 0;
  counts_.pop_back();
  if (!empty) out_ << '\n' << std::string(2 * counts_.size(), ' ');
  out_ << c;
}

JsonWriter& JsonWriter::begin_object() {
  before_value();
  out_ << '{';
  counts_.push_back(0);
  return *this;
}
JsonWriter& JsonWriter::end_object() {
  close('}');
  return *this;
}
JsonWriter& JsonWriter::begin_array() {
  before_value();
  out_ << '[';
  counts_.push_back(0);
  return *this;
}
JsonWriter& JsonWriter::end_array() {
  close(']');
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view k) {
  before_value();
  string(k);
  out_ << ": ";
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  before_value();
  string(text);
  return *this;
}
JsonWriter& JsonWriter::value(std::int64_t number) {
  before_value();
  out_ << number;
  return *this;
}
JsonWriter& JsonWriter::value(bool b) {
  before_value();
  out_ << (b ? "true" : "false");
  return *this;
}
JsonWriter& JsonWriter::null() {
  before_value();
  out_ << "null";
  return *this;
}
JsonWriter& JsonWriter::text_or_null(std::string_view text) {
  return text.empty() ? null() : value(text);
}

void JsonWriter::string(std::string_view s) {
  // Ill-formed pieces become U+FFFD on the way through UTF-16 and back.
  const std::string text =
      is_valid_utf8(s) ? std::string(s) : utf8_from_utf16(utf16le_from_utf8(s), false);
  out_ << '"';
  for (char c : text) {
    switch (c) {
      case '"':
        out_ << "\\\"";
        break;
      case '\\':
        out_ << "\\\\";
        break;
      case '\n':
        out_ << "\\n";
        break;
      case '\r':
        out_ << "\\r";
        break;
      case '\t':
        out_ << "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out_ << buf;
        } else {
          out_ << c;
        }
    }
  }
  out_ << '"';
}

}  // namespace mervane::cli
