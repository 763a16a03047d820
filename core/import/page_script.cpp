#include "core/import/page_script.h"

#include <cstring>

#include "core/util/charset.h"

namespace mervane {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool is_ident(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$';
}

bool is_quote(char c) {
  return c == '"' || c == '\'' || c == '`';
}

char closing_of(char open) {
  return open == '[' ? ']' : open == '{' ? '}' : ')';
}

ScriptCut problem(std::size_t offset, std::string text) {
  ScriptCut c;
  c.problem = ScriptProblem{offset, std::move(text)};
  return c;
}

std::string quoted(char c) {
  return std::string("\"") + c + "\"";
}

// Past the string literal whose quote is at `at`; npos when the text ends inside it. Most of a
// page's JSON is strings: the next quote is found with memchr, and it ends the string unless
// an odd run of backslashes escapes it.
std::size_t past_string(std::string_view t, std::size_t at) {
  const char q = t[at];
  for (std::size_t i = at + 1; i < t.size();) {
    const void* hit = std::memchr(t.data() + i, q, t.size() - i);
    if (!hit) return npos;
    const std::size_t quote = static_cast<std::size_t>(static_cast<const char*>(hit) - t.data());
    std::size_t run = quote;
    while (run > at + 1 && t[run - 1] == '\\') --run;
    if ((quote - run) % 2 == 0) return quote + 1;
    i = quote + 1;
  }
  return npos;
}

// Past the comment starting at `at`; `at` itself when none starts there, npos when a block
// comment never ends. JSON has neither, so its "/" only ever stand inside strings.
std::size_t past_comment(std::string_view t, std::size_t at) {
  if (t[at] != '/' || at + 1 >= t.size()) return at;
  if (t[at + 1] == '/') {
    const std::size_t nl = t.find('\n', at + 2);
    return nl == npos ? t.size() : nl + 1;
  }
  if (t[at + 1] == '*') {
    const std::size_t close = t.find("*/", at + 2);
    return close == npos ? npos : close + 2;
  }
  return at;
}

// Past white space and comments from `at`; npos inside a comment that never ends.
std::size_t skip_blank(std::string_view t, std::size_t at) {
  while (at < t.size()) {
    if (is_space(t[at])) {
      ++at;
      continue;
    }
    const std::size_t past = past_comment(t, at);
    if (past == at) break;
    at = past;
  }
  return at;
}

ScriptCut unended_string(std::size_t at) {
  return problem(at, "the string that starts here never ends");
}

ScriptCut unended_comment(std::size_t at) {
  return problem(at, "the comment that starts here never ends");
}

}  // namespace

ScriptCut cut_bracketed(std::string_view t, std::size_t open) {
  if (open >= t.size() || (t[open] != '[' && t[open] != '{' && t[open] != '('))
    return problem(open, "a bracket was expected here");
  std::vector<std::size_t> opened;  // positions of the brackets still open
  std::size_t i = open;
  while (i < t.size()) {
    const char c = t[i];
    switch (c) {
      case '"':
      case '\'':
      case '`': {
        const std::size_t past = past_string(t, i);
        if (past == npos) return unended_string(i);
        i = past;
        continue;
      }
      case '/': {
        const std::size_t past = past_comment(t, i);
        if (past == npos) return unended_comment(i);
        if (past != i) {
          i = past;
          continue;
        }
        break;
      }
      case '[':
      case '{':
      case '(':
        opened.push_back(i);
        break;
      case ']':
      case '}':
      case ')': {
        const char want = closing_of(t[opened.back()]);
        if (c != want)
          return problem(i, quoted(c) + " where " + quoted(want) + " should close the " +
                                quoted(t[opened.back()]) + " at byte " +
                                std::to_string(opened.back()));
        opened.pop_back();
        if (opened.empty()) {
          ScriptCut cut;
          cut.begin = open;
          cut.end = i + 1;
          return cut;
        }
        break;
      }
      default:
        break;
    }
    ++i;
  }
  return problem(t.size(), "the text ends before the " + quoted(t[open]) + " at byte " +
                               std::to_string(open) + " is closed");
}

std::vector<std::size_t> object_assignments(std::string_view t, std::string_view target) {
  std::vector<std::size_t> out;
  if (target.empty()) return out;
  for (std::size_t at = t.find(target); at != npos; at = t.find(target, at + 1)) {
    if (at > 0 && (is_ident(t[at - 1]) || t[at - 1] == '.')) continue;
    std::size_t i = at + target.size();
    while (i < t.size() && is_space(t[i])) ++i;
    if (i >= t.size() || t[i] != '=' || (i + 1 < t.size() && t[i + 1] == '=')) continue;
    ++i;
    while (i < t.size() && is_space(t[i])) ++i;
    if (i < t.size() && t[i] == '{') out.push_back(i);
  }
  return out;
}

ScriptCut member_value(std::string_view t, std::size_t open, std::string_view name) {
  if (open >= t.size() || t[open] != '{') return problem(open, "an object was expected here");
  std::size_t i = open + 1;
  bool at_key = true;  // after the "{" or a ",": a member's key may follow
  while (true) {
    i = skip_blank(t, i);
    if (i == npos) return unended_comment(open);
    if (i >= t.size())
      return problem(t.size(), "the text ends before the \"{\" at byte " + std::to_string(open) +
                                   " is closed");
    const char c = t[i];
    if (c == '}') return problem(i, "the object has no member " + std::string(name));
    if (c == ',') {
      at_key = true;
      ++i;
      continue;
    }
    if (at_key && (is_ident(c) || c == '"' || c == '\'')) {
      at_key = false;
      std::string_view key;
      std::optional<std::string> unquoted;
      std::size_t past = i;
      if (is_ident(c)) {
        while (past < t.size() && is_ident(t[past])) ++past;
        key = t.substr(i, past - i);
      } else {
        past = past_string(t, i);
        if (past == npos) return unended_string(i);
        unquoted = string_literal(t.substr(i, past - i));
        if (unquoted) key = *unquoted;
      }
      const std::size_t colon = skip_blank(t, past);
      if (colon == npos) return unended_comment(past);
      i = past;
      if (colon >= t.size() || t[colon] != ':') continue;  // a shorthand member or a method
      i = colon + 1;
      if (key != name) continue;
      const std::size_t begin = skip_blank(t, i);
      if (begin == npos) return unended_comment(i);
      if (begin < t.size() && (t[begin] == '[' || t[begin] == '{' || t[begin] == '('))
        return cut_bracketed(t, begin);
      // Any other value runs to the "," or "}" that ends the member.
      std::size_t end = begin;
      while (end < t.size() && t[end] != ',' && t[end] != '}') {
        if (is_quote(t[end])) {
          const std::size_t s = past_string(t, end);
          if (s == npos) return unended_string(end);
          end = s;
        } else if (t[end] == '[' || t[end] == '{' || t[end] == '(') {
          const ScriptCut inner = cut_bracketed(t, end);
          if (inner.problem) return inner;
          end = inner.end;
        } else {
          ++end;
        }
      }
      ScriptCut cut;
      cut.begin = begin;
      cut.end = end;
      while (cut.end > cut.begin && is_space(t[cut.end - 1])) --cut.end;
      return cut;
    }
    at_key = false;
    if (is_quote(c)) {
      const std::size_t past = past_string(t, i);
      if (past == npos) return unended_string(i);
      i = past;
    } else if (c == '[' || c == '{' || c == '(') {
      const ScriptCut inner = cut_bracketed(t, i);
      if (inner.problem) return inner;
      i = inner.end;
    } else if (c == ']' || c == ')') {
      return problem(
          i, quoted(c) + " where \"}\" should close the \"{\" at byte " + std::to_string(open));
    } else {
      ++i;
    }
  }
}

std::optional<std::string> string_literal(std::string_view s) {
  if (s.size() < 2 || (s[0] != '"' && s[0] != '\'') || s.back() != s[0]) return std::nullopt;
  const char q = s[0];
  std::string out;
  out.reserve(s.size());
  const auto hex = [&](std::size_t at, std::size_t n) -> std::optional<char32_t> {
    if (at + n > s.size() - 1) return std::nullopt;
    char32_t v = 0;
    for (std::size_t k = at; k < at + n; ++k) {
      const char c = s[k];
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) return std::nullopt;
      v = v * 16 + static_cast<char32_t>(d);
    }
    return v;
  };
  for (std::size_t i = 1; i + 1 < s.size(); ++i) {
    const char c = s[i];
    if (c == q) return std::nullopt;  // the literal ends before the text does
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 2 >= s.size()) return std::nullopt;  // the backslash escapes the closing quote
    const char e = s[++i];
    switch (e) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'v':
        out += '\v';
        break;
      case '0':
        out += '\0';
        break;
      case '\n':
        break;  // a line continued
      case 'x':
      case 'u': {
        const std::size_t n = e == 'x' ? 2 : 4;
        std::optional<char32_t> cp = hex(i + 1, n);
        if (!cp) return std::nullopt;
        i += n;
        // A surrogate pair written as two escapes is one character.
        if (*cp >= 0xD800 && *cp <= 0xDBFF && i + 6 < s.size() && s[i + 1] == '\\' &&
            s[i + 2] == 'u') {
          const std::optional<char32_t> low = hex(i + 3, 4);
          if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
            cp = 0x10000 + ((*cp - 0xD800) << 10) + (*low - 0xDC00);
            i += 6;
          }
        }
        append_utf8(out, *cp >= 0xD800 && *cp <= 0xDFFF ? char32_t{0xFFFD} : *cp);
        break;
      }
      default:
        out += e;  // \\ \' \" \/ and any other character stand for themselves
    }
  }
  return out;
}

}  // namespace mervane
