// The F-field reader on arbitrary bytes. The first byte chooses the decimals d (usually small,
// now and then up to a million, as a layout may ask), the rest is the field.
//
// Properties:
//  - the reader accepts exactly the fields of the F grammar, checked by a plain reference that
//    strips the blanks and matches the grammar character by character;
//  - an accepted number has the bits std::strtof gives for the same digits and the exponent
//    (with the scaling by ten to the minus d when there is no point), so the conversion is
//    correctly rounded whatever the length of the digits; an infinity and a NaN are recognised;
//    exponents of 10000 or more (after the scaling) are only required not to crash;
//  - a leading minus sign negates the value exactly, a leading plus sign changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz_common.h"
#include "textio/fields.h"

namespace {

using namespace quendrix_fuzz;
using quendrix::FieldStatus;
using quendrix::readReal;

struct Expected {
  enum Kind { BAD, VALUE, NOT_A_NUMBER, UNCHECKED } kind;
  float value = 0;
};

Expected reference(std::string_view f, int d) {
  const float inf = std::numeric_limits<float>::infinity();
  std::size_t i = 0;
  const std::size_t n = f.size();
  while (i < n && f[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (f[i] == '+' || f[i] == '-')) {
    negative = f[i] == '-';
    ++i;
    while (i < n && f[i] == ' ') ++i;
  }
  if (i == n) return {Expected::VALUE, negative ? -0.0f : 0.0f};

  const char first = asciiLower(f[i]);
  if (first == 'i' || first == 'n') {
    std::string word;
    std::size_t j = i;
    while (j < n && isAsciiLetter(f[j])) word += asciiLower(f[j++]);
    const bool nan = word == "nan";
    if (!nan && word != "inf" && word != "infinity") return {Expected::BAD};
    if (nan && j < n && f[j] == '(') {
      ++j;
      while (j < n && (isAsciiLetter(f[j]) || isAsciiDigit(f[j]))) ++j;
      if (j == n || f[j] != ')') return {Expected::BAD};
      ++j;
    }
    while (j < n && f[j] == ' ') ++j;
    if (j != n) return {Expected::BAD};
    if (nan) return {Expected::NOT_A_NUMBER};
    return {Expected::VALUE, negative ? -inf : inf};
  }

  // A number: the same text without its blanks.
  std::string t;
  for (std::size_t k = i; k < n; ++k)
    if (f[k] != ' ') t += f[k];
  std::size_t k = 0;
  std::string mantissa;
  bool point = false;
  bool digit = false;
  for (; k < t.size() && (isAsciiDigit(t[k]) || t[k] == '.'); ++k) {
    if (t[k] == '.') {
      if (point) return {Expected::BAD};
      point = true;
    } else {
      digit = true;
    }
    mantissa += t[k];
  }
  long long exponent = 0;
  bool huge = false;
  if (k < t.size()) {
    if (!digit) return {Expected::BAD};
    const char e = asciiLower(t[k]);
    if (e == 'e' || e == 'd' || e == 'q') {
      ++k;
    } else if (e != '+' && e != '-') {
      return {Expected::BAD};
    }
    bool expNegative = false;
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) expNegative = t[k++] == '-';
    if (k == t.size()) return {Expected::BAD};
    for (; k < t.size(); ++k) {
      if (!isAsciiDigit(t[k])) return {Expected::BAD};
      exponent = exponent * 10 + (t[k] - '0');
      if (exponent >= 100000) {  // far outside the range checked: only its size matters
        huge = true;
        exponent = 100000;
      }
    }
    if (expNegative) exponent = -exponent;
  }
  if (!digit) return {Expected::VALUE, negative ? -0.0f : 0.0f};  // a point alone
  if (!point) exponent -= d;
  if (huge || exponent <= -10000 || exponent >= 10000) return {Expected::UNCHECKED};
  const std::string text = (negative ? "-" : "") + mantissa + "e" + std::to_string(exponent);
  return {Expected::VALUE, std::strtof(text.c_str(), nullptr)};
}

std::string describe(std::string_view field, int d, FieldStatus st, float v) {
  char buf[96];
  std::snprintf(buf, sizeof buf, " with d=%d: status %s, value %.9g (bits %08x)", d,
                st == FieldStatus::OK ? "OK" : "BAD", static_cast<double>(v), bitsOf(v));
  return "readReal(" + shown(field) + ")" + buf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const std::uint8_t b = in.byte();
  const int d = b < 224 ? b % 32 : (b - 223) * 31250;  // 0..31, or 31250..1000000
  const std::string_view field = in.rest();

  float value = floatOf(0x7fa5a5a5u);
  const FieldStatus st = readReal(field, d, value);
  const Expected want = reference(field, d);
  switch (want.kind) {
    case Expected::BAD:
      FUZZ_CHECK(st == FieldStatus::BAD, describe(field, d, st, value) + ", expected BAD");
      break;
    case Expected::VALUE: {
      char buf[64];
      std::snprintf(buf, sizeof buf, ", expected %.9g (bits %08x)", static_cast<double>(want.value),
                    bitsOf(want.value));
      FUZZ_CHECK(st == FieldStatus::OK && bitsOf(value) == bitsOf(want.value), describe(field, d, st, value) + buf);
      break;
    }
    case Expected::NOT_A_NUMBER:
      FUZZ_CHECK(st == FieldStatus::OK && std::isnan(value), describe(field, d, st, value) + ", expected NaN");
      break;
    case Expected::UNCHECKED:
      return 0;
  }

  // Signs in front of a field that has none.
  const std::size_t lead = field.find_first_not_of(' ');
  if (lead != std::string_view::npos && (field[lead] == '+' || field[lead] == '-')) return 0;
  const std::string minus = "-" + std::string(field);
  const std::string plus = "+" + std::string(field);
  float neg = 0, pos = 0;
  const FieldStatus negSt = readReal(minus, d, neg);
  const FieldStatus posSt = readReal(plus, d, pos);
  FUZZ_CHECK(negSt == st, describe(minus, d, negSt, neg) + " differs in status from " + describe(field, d, st, value));
  FUZZ_CHECK(posSt == st, describe(plus, d, posSt, pos) + " differs in status from " + describe(field, d, st, value));
  if (st != FieldStatus::OK) return 0;
  if (std::isnan(value)) {
    FUZZ_CHECK(std::isnan(neg) && std::isnan(pos), "a signed NaN field does not read as NaN: " + shown(field));
  } else {
    FUZZ_CHECK(bitsOf(neg) == (bitsOf(value) ^ 0x80000000u),
               describe(minus, d, negSt, neg) + " is not the negation of " + describe(field, d, st, value));
    FUZZ_CHECK(bitsOf(pos) == bitsOf(value),
               describe(plus, d, posSt, pos) + " differs from " + describe(field, d, st, value));
  }
  return 0;
}
