// Display pictures: the short codes through which numbers, dates and times become text, in the
// output files and on the windows, and through which typed text becomes a value again.
//
// Codes (letter case of the leading letter and of the b mark is ignored):
//   numbers  n [sign] [fill] width [.decimals] [")" after "(" sign] [b]
//            sign "-": leading minus for negatives; "(": negatives in parentheses; none: the
//            sign is not shown. fill "0": zeros in front; "_": blanks in front; none: blanks in
//            front and the whole part grouped by three with ",". width 1-255 counts every
//            character (sign, point and decimals too); decimals 0 to width - 2. b: zero shows as
//            blanks. Examples: "N02", "n_12.5", "n-_14.2", "n(8.2)", "N-8.2B", "N12".
//   dates    d2 mm/dd/yyyy ("03/07/2009"); d3 "Mar 07, 2009". Date 0 gives the empty text.
//   times    t1 24-hour "hh:mm"; t3 12-hour "h:mmAM"/"h:mmPM" with a blank in front of a
//            one-digit hour (" 8:30PM", "12:05AM"). Time 0 gives the empty text; a serial
//            outside one day shows its time of day (24:00 is "00:00").
//   texts    s width (1-65535): the text cut or padded with blanks to width characters.
//
// Numbers are rounded half away from zero on their shortest decimal text (the one that reads
// back as the same double), so 1.005 with two decimals gives 1.01 and 2.5 with none gives 3. A
// value that needs more characters than the width is shown in full, wider than the picture:
// no digit is ever dropped. Values that are not finite show as "nan", "inf" or "-inf". A zero
// (after rounding) never shows a sign.
//
// Typed values are read back by the same picture. Blanks around the text are ignored and an
// empty text is 0 (no date, no time). Every rule is strict: a text that does not give exactly
// one value the picture can show is rejected with a reason for the user, never changed into
// another value. Numbers take a leading "-" or "+", parentheses for "(" pictures, and ","
// groups of three; decimals beyond the picture's are rejected unless they are zeros; a negative
// number needs a sign mark; the value must fit the width as the picture would show it.
// Dates take mm/dd/yyyy or m/d/yyyy with a four-digit year 0001-9999 ("d3" also takes
// "Mar 7, 2009"); times take hh:mm or h:mm, 00:00 to 23:59 ("t3" also with an AM or PM mark).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mervane {

enum class PictureKind { Number, Date, Time, Text };

// A picture code taken apart.
struct Picture {
  PictureKind kind = PictureKind::Number;
  char sign = 0;  // numbers: 0 (not shown), '-' or '('
  char fill = 0;  // numbers: 0 (blanks and groups), '0' or '_'
  int width = 0;  // numbers and texts
  int decimals = 0;
  bool blank_zero = false;
  int style = 0;  // dates: 2 or 3; times: 1 or 3
};

// The picture of a code; nothing when the code is not one of the forms above.
[[nodiscard]] std::optional<Picture> read_picture(std::string_view code);

// A number, date serial or time serial shown by a picture. A text picture shows the plain
// number cut or padded to its width. A code that is no picture gives the plain number: the
// shortest text that reads back as the same double ("12.5", "-3", "1e+20").
std::string format_value(const Picture& picture, double value);
std::string format_value(std::string_view picture, double value);

// A text shown by a text picture: cut or padded with blanks to the width. Any other picture,
// or a code that is no picture, gives the text clipped.
std::string format_text(std::string_view picture, std::string_view text);

// The outcome of reading typed text: the value, or the reason it was rejected.
template <class T>
struct [[nodiscard]] Parsed {
  std::optional<T> value;
  std::string reason;  // empty when accepted; otherwise one sentence for the user
  explicit operator bool() const { return value.has_value(); }
};

// A typed number, date (as its serial) or time (as its serial) read by its picture. A text
// picture or a code that is no picture is rejected with a reason naming the code.
Parsed<double> parse_value(const Picture& picture, std::string_view typed);
Parsed<double> parse_value(std::string_view picture, std::string_view typed);

// A typed text for a text picture: trailing blanks are dropped; a longer text than the width
// is rejected. Other pictures are rejected as for parse_value.
Parsed<std::string> parse_text(std::string_view picture, std::string_view typed);

// A date on the command line: mm/dd/yyyy (m/d/yyyy) or yyyy-mm-dd (yyyy-m-d). An empty text is
// rejected.
Parsed<std::int32_t> parse_cli_date(std::string_view typed);

// A date serial as mm/dd/yyyy for listings; the empty text for 0.
std::string date_text(std::int32_t serial);

}  // namespace mervane
