// JSON for scripts: objects and arrays written as they are opened and closed, two blanks of
// indent per level, keys in the order written. Texts are UTF-8; a byte that is not (a file name
// of another character set) is written as U+FFFD, so the output is always valid JSON.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace mervane::cli {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  // Ends the last line once every object and array is closed.
  ~JsonWriter();

  JsonWriter& begin_object();
  JsonWriter& end_object();
  JsonWriter& begin_array();
  JsonWriter& end_array();
  // The key of the next value in an object.
  JsonWriter& key(std::string_view k);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(std::int64_t number);
  JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
  JsonWriter& value(bool b);
  JsonWriter& null();
  // A text, or null when it is empty.
  JsonWriter& text_or_null(std::string_view text);

 private:
  void before_value();
  void close(char c);
  void string(std::string_view s);

  std::ostream& out_;
  std::vector<int> counts_;  // values written in each open object or array
  bool after_key_ = false;
};

}  // namespace mervane::cli
