// Fixed-width text values.
//
// Every text field of the program has a declared width and is padded with blanks on the right;
// trailing blanks carry no meaning. Text<N> keeps at most N characters: assigning a longer text
// cuts it at N, and trailing blanks (character 32 only; tabs stay) are dropped at once, so the
// stored value is always the clipped one. Two values compare as if both were padded with blanks
// to the same length. Characters are single bytes (the 8-bit character set of the files the
// program reads and writes); widths count bytes.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mervane {

// The text without its trailing blanks.
constexpr std::string_view clip(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

// Compares two texts as if both were padded with blanks to the same length.
constexpr std::strong_ordering compare_padded(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() > b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
    const auto cb = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
    if (ca != cb) return ca < cb ? std::strong_ordering::less : std::strong_ordering::greater;
  }
  return std::strong_ordering::equal;
}

constexpr bool equal_padded(std::string_view a, std::string_view b) {
  return clip(a) == clip(b);
}

template <std::size_t N>
class Text {
  static_assert(N > 0 && N <= 65535, "text widths are 1 to 65535");

 public:
  static constexpr std::size_t width = N;

  constexpr Text() = default;
  constexpr Text(std::string_view s) { assign(s); }  // NOLINT: implicit, as an assignment
  constexpr Text(const char* s) : Text(std::string_view(s)) {}
  Text(const std::string& s) : Text(std::string_view(s)) {}

  constexpr Text& operator=(std::string_view s) { return assign(s); }
  constexpr Text& operator=(const char* s) { return assign(std::string_view(s)); }
  Text& operator=(const std::string& s) { return assign(std::string_view(s)); }

  // Cuts at N characters, then drops the trailing blanks.
  constexpr Text& assign(std::string_view s) {
    s = clip(s.substr(0, s.size() < N ? s.size() : N));
    len_ = static_cast<std::uint16_t>(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) data_[i] = s[i];
    return *this;
  }

  // The clipped value.
  constexpr std::string_view view() const { return {data_.data(), len_}; }
  std::string str() const { return std::string(view()); }
  // The value padded with blanks to exactly N characters.
  std::string padded() const {
    std::string s(view());
    s.resize(N, ' ');
    return s;
  }
  constexpr operator std::string_view() const { return view(); }  // NOLINT

  // Clipped length; 0 for a blank value.
  constexpr std::size_t length() const { return len_; }
  constexpr bool blank() const { return len_ == 0; }
  constexpr void clear() { len_ = 0; }

  // Character at a 1-based position of the padded value: a blank beyond the clipped length.
  constexpr char at(std::size_t pos) const {
    return pos >= 1 && pos <= len_ ? data_[pos - 1] : ' ';
  }

  friend constexpr bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }
  friend constexpr bool operator==(const Text& a, std::string_view b) {
    return a.view() == clip(b);
  }
  friend constexpr std::strong_ordering operator<=>(const Text& a, const Text& b) {
    return compare_padded(a.view(), b.view());
  }
  friend constexpr std::strong_ordering operator<=>(const Text& a, std::string_view b) {
    return compare_padded(a.view(), b);
  }
  // Exact matches for literals, which would otherwise convert to either of the above.
  friend constexpr bool operator==(const Text& a, const char* b) {
    return a.view() == clip(std::string_view(b));
  }
  friend constexpr std::strong_ordering operator<=>(const Text& a, const char* b) {
    return compare_padded(a.view(), std::string_view(b));
  }
  friend bool operator==(const Text& a, const std::string& b) { return a.view() == clip(b); }

 private:
  std::array<char, N> data_{};
  std::uint16_t len_ = 0;
};

}  // namespace mervane
