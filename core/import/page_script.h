// Values cut out of the JavaScript of a web page's scripts, without running it.
//
// The calendar pages of today carry their data in assignments such as
// `window.calendarComponentStates[1] = { days: [ ... ], ... };`. The object is JavaScript
// (unquoted keys, single-quoted strings, comments), but some of its members hold strict JSON.
// These functions find such an assignment, the member of the object by its name, and the
// member's value, by matching brackets: brackets inside strings ('...', "...", `...`, with
// backslash escapes) and comments are passed over, and a bracket must close the kind that is
// open. They never read outside the text and always end.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

// Why a value could not be cut out, and the byte (from 0) where that shows.
struct ScriptProblem {
  std::size_t offset = 0;
  std::string text;
};

// A value's bytes [begin, end) in the text, or the problem that stopped the cut.
struct ScriptCut {
  std::size_t begin = 0, end = 0;
  std::optional<ScriptProblem> problem;
  std::string_view of(std::string_view text) const { return text.substr(begin, end - begin); }
};

// The bracketed value ([...], {...} or (...)) whose opening bracket is at `open`.
ScriptCut cut_bracketed(std::string_view text, std::size_t open);

// The positions of the "{" of every assignment `target = {` in the text (white space around
// "=" allowed; a comparison "==" is not an assignment), in text order.
std::vector<std::size_t> object_assignments(std::string_view text, std::string_view target);

// The value of the member `name` (written as a plain or quoted key) that belongs to the object
// whose "{" is at `open` itself, not to an object inside it. The value runs to the "," or "}"
// that ends the member. No member of that name: a problem at the object's end.
ScriptCut member_value(std::string_view text, std::size_t open, std::string_view name);

// The text of a JavaScript string literal ('...' or "..."), escapes resolved (\uXXXX as UTF-8);
// nothing when `literal` is not one whole string literal.
std::optional<std::string> string_literal(std::string_view literal);

}  // namespace mervane
