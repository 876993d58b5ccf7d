// Single fields of the text layer: writing a value into a field of w columns, reading a value
// from the characters of one field, and parsing a layout string into its items.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quendrix {

// ---- Writers: the result is always exactly w columns. ----
// Fw.d: halves rounded away from zero on the exact decimal value of the float.
std::string formatReal(float x, int w, int d);
// Iw: right-aligned digits, w asterisks when they do not fit.
std::string formatInt(std::int32_t x, int w);
// Aw: the first w characters, or the text right-aligned behind blanks.
std::string formatText(std::string_view s, int w);

// ---- Readers: the characters of one field (already cut at its width or at a comma). ----
enum class FieldStatus { OK, BAD };
// Fw.d: blanks inside the number ignored, exponent letter E, D or Q or a bare sign, inf and nan,
// an empty field, a point alone or a sign alone give 0. The decimal text is converted directly
// to the nearest float; a magnitude too large for a float becomes an infinity.
FieldStatus readReal(std::string_view field, int d, float& out);
// Iw: blanks among the digits ignored; an empty field gives 0.
FieldStatus readInt(std::string_view field, std::int32_t& out);
// Aw into a text of length len: the field is taken as it stands, padded with blanks.
void readText(std::string_view field, int w, std::string& target);

// ---- Layout strings ----
struct LayoutItem {
  enum Kind { LITERAL, BLANKS, INT, REAL, TEXT, SLASH };
  Kind kind;
  int w = 0;          // field width (BLANKS: number of blanks; TEXT: 0 means the text's length)
  int d = 0;          // decimals of a REAL field
  std::string text;   // the characters of a LITERAL
};
// Parses a parenthesised layout and expands its repeated groups. Returns false for a layout
// that is not well formed (or would expand to an unreasonable number of items or columns).
bool parseLayout(std::string_view layout, std::vector<LayoutItem>& items);

}  // namespace quendrix
