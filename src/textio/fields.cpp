#include "textio/fields.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

namespace quendrix {

namespace {

using u128 = unsigned __int128;

std::string stars(int w) { return std::string(static_cast<std::size_t>(w < 0 ? 0 : w), '*'); }

std::string rightAlign(const std::string& text, int w) {
  if (static_cast<int>(text.size()) > w) return stars(w);
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

std::string u64ToString(std::uint64_t v) {
  char buf[24];
  int pos = sizeof buf;
  do {
    buf[--pos] = static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  } while (v != 0);
  return std::string(buf + pos, sizeof buf - static_cast<std::size_t>(pos));
}

std::string u128ToString(u128 v) {
  if (v <= UINT64_MAX) return u64ToString(static_cast<std::uint64_t>(v));
  char buf[48];
  int pos = sizeof buf;
  while (v != 0) {
    buf[--pos] = static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  }
  return std::string(buf + pos, sizeof buf - static_cast<std::size_t>(pos));
}

// Rounds the exact decimal value of a finite, non-negative float to d decimals, halves away
// from zero, and gives the integer digits (empty for zero) and the d decimals.
// The rounding looks only at the first dropped digit: any exact value whose dropped part is
// half a unit or more rounds up.
void roundExact(float ax, int d, std::string& ip, std::string& fp) {
  ip.clear();
  fp.assign(static_cast<std::size_t>(d), '0');
  if (ax == 0.0f) return;
  int exp2 = 0;
  const float fr = std::frexp(ax, &exp2);
  const auto mant = static_cast<std::uint32_t>(std::ldexp(fr, 24));  // ax = mant * 2^(exp2-24)
  const int e = exp2 - 24;
  if (e >= 0) {
    // An integer: its digits are exact, the decimals are zero.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", static_cast<double>(ax));
    ip = buf;
    return;
  }
  const int s = -e;
  if (d + 1 <= 11) {
    // The common fields: mant·10^(d+1) < 2^24·10^11 < 2^64, so 64 bits hold the same exact
    // quotient as the 128-bit branch below, at a fraction of its cost.
    std::uint64_t p10 = 1;
    for (int i = 0; i < d + 1; ++i) p10 *= 10;
    std::uint64_t q = s >= 64 ? 0 : (static_cast<std::uint64_t>(mant) * p10) >> s;  // floor(ax * 10^(d+1))
    const int dropped = static_cast<int>(q % 10);
    q /= 10;
    if (dropped >= 5) ++q;
    const std::uint64_t scale = p10 / 10;
    const std::uint64_t ipart = q / scale;
    const std::uint64_t fpart = q % scale;
    if (ipart != 0) ip = u64ToString(ipart);
    if (d > 0) {
      std::string f = u64ToString(fpart);
      fp = std::string(static_cast<std::size_t>(d) - f.size(), '0') + f;
    }
    return;
  }
  if (d + 1 <= 27) {
    u128 p10 = 1;
    for (int i = 0; i < d + 1; ++i) p10 *= 10;
    u128 q = s >= 128 ? 0 : (static_cast<u128>(mant) * p10) >> s;  // floor(ax * 10^(d+1))
    const int dropped = static_cast<int>(q % 10);
    q /= 10;
    if (dropped >= 5) ++q;
    const u128 scale = p10 / 10;
    const u128 ipart = q / scale;
    const u128 fpart = q % scale;
    if (ipart != 0) ip = u128ToString(ipart);
    if (d > 0) {
      std::string f = u128ToString(fpart);
      fp = std::string(static_cast<std::size_t>(d) - f.size(), '0') + f;
    }
    return;
  }
  // Very many decimals: take the full exact expansion (a float has at most 149 fractional
  // digits) and round the digit string.
  std::vector<char> buf(static_cast<std::size_t>(d) + 220);
  std::snprintf(buf.data(), buf.size(), "%.*f", d + 1 < 160 ? 160 : d + 1, static_cast<double>(ax));
  std::string digits(buf.data());
  const std::size_t point = digits.find('.');
  std::string intDigits = digits.substr(0, point);
  std::string frac = digits.substr(point + 1);
  frac.resize(static_cast<std::size_t>(d) + 1, '0');
  std::string all = intDigits + frac.substr(0, static_cast<std::size_t>(d));
  if (frac[static_cast<std::size_t>(d)] >= '5') {
    int i = static_cast<int>(all.size()) - 1;
    while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') all[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) all.insert(all.begin(), '1');
    else ++all[static_cast<std::size_t>(i)];
  }
  const std::size_t nint = all.size() - static_cast<std::size_t>(d);
  ip = all.substr(0, nint);
  fp = all.substr(nint);
  const std::size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? std::string() : ip.substr(nz);
}

bool isBlank(char c) { return c == ' '; }

}  // namespace

// ---------------------------------------------------------------------------- writers

std::string formatReal(float x, int w, int d) {
  if (!std::isfinite(x) && w < 3) return stars(w);
  if (std::isnan(x)) return rightAlign("NaN", w);
  if (std::isinf(x)) {
    if (x > 0) return rightAlign(w >= 8 ? "Infinity" : "Inf", w);
    if (w == 3) return stars(w);
    return rightAlign(w >= 9 ? "-Infinity" : "-Inf", w);
  }
  const bool negative = std::signbit(x);
  std::string ip, fp;
  roundExact(std::fabs(x), d, ip, fp);
  // A lone zero before the point only where the field has a column to spare for it.
  // The text is built by appending single characters and whole strings only: GCC 12 at -O3
  // sees a false overlap in assigning a literal to a string here (-Wrestrict).
  const std::size_t bare = (negative ? 1 : 0) + ip.size() + 1 + fp.size();
  std::string text;
  text.reserve(bare + 1);
  if (negative) text.push_back('-');
  if (!ip.empty()) {
    text.append(ip);
  } else if (static_cast<int>(bare) < w) {
    text.push_back('0');
  }
  text.push_back('.');
  text.append(fp);
  return rightAlign(text, w);
}

std::string formatInt(std::int32_t x, int w) { return rightAlign(std::to_string(x), w); }

std::string formatText(std::string_view s, int w) {
  const auto uw = static_cast<std::size_t>(w < 0 ? 0 : w);
  if (s.size() >= uw) return std::string(s.substr(0, uw));
  return std::string(uw - s.size(), ' ') + std::string(s);
}

// ---------------------------------------------------------------------------- readers

FieldStatus readReal(std::string_view field, int d, float& out) {
  std::size_t i = 0;
  const std::size_t n = field.size();
  auto skipBlanks = [&] {
    while (i < n && isBlank(field[i])) ++i;
  };
  skipBlanks();
  bool negative = false;
  if (i < n && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
    skipBlanks();
  }
  if (i == n) {  // empty, all blank, or a sign alone
    out = negative ? -0.0f : 0.0f;
    return FieldStatus::OK;
  }

  // Infinity and not-a-number.
  const char c0 = field[i];
  if (c0 == 'i' || c0 == 'I' || c0 == 'n' || c0 == 'N') {
    std::size_t j = i;
    std::string word;
    while (j < n && std::isalpha(static_cast<unsigned char>(field[j]))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(field[j])));
      ++j;
    }
    float value = 0.0f;
    if (word == "inf" || word == "infinity") {
      value = negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    } else if (word == "nan") {
      value = std::numeric_limits<float>::quiet_NaN();
      if (j < n && field[j] == '(') {
        ++j;
        while (j < n && std::isalnum(static_cast<unsigned char>(field[j]))) ++j;
        if (j == n || field[j] != ')') return FieldStatus::BAD;
        ++j;
      }
    } else {
      return FieldStatus::BAD;
    }
    while (j < n && isBlank(field[j])) ++j;
    if (j != n) return FieldStatus::BAD;
    out = value;
    return FieldStatus::OK;
  }

  // Mantissa: digits with at most one point, blanks ignored.
  std::string digits;  // significant digits, leading zeros dropped
  long long scale = 0;  // decimal exponent contributed by the position of the point
  bool seenPoint = false;
  bool anyDigit = false;
  bool sticky = false;
  for (; i < n; ++i) {
    const char c = field[i];
    if (isBlank(c)) continue;
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (seenPoint) --scale;
        continue;
      }
      // Beyond 800 significant digits a digit only counts as a power of ten and as a sticky
      // bit, which keeps the rounding of a value just above a halfway point right.
      if (digits.size() < 800) {
        digits += c;
        if (seenPoint) --scale;
      } else {
        if (!seenPoint) ++scale;
        if (c != '0') sticky = true;
      }
      continue;
    }
    if (c == '.') {
      if (seenPoint) return FieldStatus::BAD;
      seenPoint = true;
      continue;
    }
    break;
  }

  // Exponent: a letter E, D or Q, or directly a sign; then an optional sign and digits.
  long long exponent = 0;
  if (i < n) {
    const char c = field[i];
    const bool letter = c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q';
    if (!letter && c != '+' && c != '-') return FieldStatus::BAD;
    if (!anyDigit) return FieldStatus::BAD;  // an exponent needs a mantissa before it
    if (letter) ++i;
    while (i < n && isBlank(field[i])) ++i;
    bool expNegative = false;
    if (i < n && (field[i] == '+' || field[i] == '-')) {
      expNegative = field[i] == '-';
      ++i;
    }
    bool expDigit = false;
    for (; i < n; ++i) {
      const char e = field[i];
      if (isBlank(e)) continue;
      if (e < '0' || e > '9') return FieldStatus::BAD;
      expDigit = true;
      if (exponent < 1000000) exponent = exponent * 10 + (e - '0');  // saturates far out of range
    }
    if (!expDigit) return FieldStatus::BAD;
    if (expNegative) exponent = -exponent;
  }

  if (sticky) {
    digits += '1';
    --scale;
  }
  // A field without a point is scaled by ten to the power minus d.
  if (!seenPoint) scale -= d;

  float value = 0.0f;
  if (!digits.empty()) {
    const long long e10 = exponent + scale;                          // value = digits * 10^e10
    const long long lead = e10 + static_cast<long long>(digits.size()) - 1;  // exponent of the first digit
    if (lead > 39) {
      value = std::numeric_limits<float>::infinity();
    } else if (lead < -47) {
      value = 0.0f;
    } else {
      std::string text = digits + "e" + std::to_string(e10);
      const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
      if (res.ec == std::errc::result_out_of_range) {
        value = lead > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
      } else if (res.ec != std::errc()) {
        return FieldStatus::BAD;
      }
    }
  }
  out = negative ? -value : value;
  return FieldStatus::OK;
}

FieldStatus readInt(std::string_view field, std::int32_t& out) {
  std::size_t i = 0;
  const std::size_t n = field.size();
  while (i < n && isBlank(field[i])) ++i;
  if (i == n) {
    out = 0;
    return FieldStatus::OK;
  }
  bool negative = false;
  if (field[i] == '+' || field[i] == '-') {
    negative = field[i] == '-';
    ++i;
  }
  long long value = 0;
  bool anyDigit = false;
  for (; i < n; ++i) {
    const char c = field[i];
    if (isBlank(c)) continue;
    if (c < '0' || c > '9') return FieldStatus::BAD;
    anyDigit = true;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return FieldStatus::BAD;
  }
  if (!anyDigit) return FieldStatus::BAD;
  if (negative) value = -value;
  if (value > 2147483647LL) return FieldStatus::BAD;
  out = static_cast<std::int32_t>(value);
  return FieldStatus::OK;
}

void readText(std::string_view field, int w, std::string& target) {
  // The field holds w columns: the characters read, padded with blanks.
  std::string col(field);
  col.resize(static_cast<std::size_t>(w), ' ');
  const std::size_t len = target.empty() ? col.size() : target.size();
  if (col.size() >= len) {
    target = col.substr(col.size() - len);  // a wide field keeps its rightmost characters
  } else {
    target = col + std::string(len - col.size(), ' ');
  }
}

// ---------------------------------------------------------------------------- layouts

namespace {

constexpr std::size_t MAX_ITEMS = 100000;
constexpr std::size_t MAX_COLUMNS = 1000000;

struct LayoutParser {
  std::string_view s;
  std::size_t i = 0;
  std::size_t produced = 0;
  std::size_t columns = 0;  // the widest record the layout can write

  void skipSpace() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  }
  bool number(int& v) {
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    long long x = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      x = x * 10 + (s[i] - '0');
      if (x > 1000000) return false;
      ++i;
    }
    v = static_cast<int>(x);
    return true;
  }
  bool push(std::vector<LayoutItem>& out, LayoutItem item) {
    if (++produced > MAX_ITEMS) return false;
    columns += static_cast<std::size_t>(item.w) + item.text.size();
    if (columns > MAX_COLUMNS) return false;
    out.push_back(std::move(item));
    return true;
  }
  // Parses items up to the closing parenthesis of the current group (consumed).
  bool group(std::vector<LayoutItem>& out, int depth) {
    if (depth > 20) return false;
    bool needSeparator = false;
    for (;;) {
      skipSpace();
      if (i >= s.size()) return false;
      const char c = s[i];
      if (c == ')') {
        ++i;
        return true;
      }
      if (c == ',') {
        ++i;
        needSeparator = false;
        continue;
      }
      if (c == '/') {  // slashes need no commas around them
        ++i;
        if (!push(out, {LayoutItem::SLASH, 0, 0, {}})) return false;
        needSeparator = false;
        continue;
      }
      if (needSeparator) return false;
      if (c == '\'') {
        ++i;
        std::string text;
        for (;;) {
          if (i >= s.size()) return false;
          if (s[i] == '\'') {
            if (i + 1 < s.size() && s[i + 1] == '\'') {  // a doubled apostrophe stands for one
              text += '\'';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          text += s[i++];
        }
        if (!push(out, {LayoutItem::LITERAL, 0, 0, std::move(text)})) return false;
        needSeparator = true;
        continue;
      }
      int count = 1;
      const bool hasCount = number(count);
      skipSpace();
      if (i >= s.size()) return false;
      const char k = s[i];
      if (k == '(') {
        ++i;
        std::vector<LayoutItem> inner;
        if (!group(inner, depth + 1)) return false;
        for (int r = 0; r < count; ++r)
          for (const LayoutItem& item : inner)
            if (!push(out, item)) return false;
      } else if (k == 'X' || k == 'x') {
        ++i;
        if (!hasCount) return false;
        if (!push(out, {LayoutItem::BLANKS, count, 0, {}})) return false;
      } else if (k == 'H' || k == 'h') {
        ++i;
        if (!hasCount || count < 1 || i + static_cast<std::size_t>(count) > s.size()) return false;
        if (!push(out, {LayoutItem::LITERAL, 0, 0, std::string(s.substr(i, static_cast<std::size_t>(count)))}))
          return false;
        i += static_cast<std::size_t>(count);
      } else if (k == 'I' || k == 'i' || k == 'F' || k == 'f' || k == 'A' || k == 'a') {
        ++i;
        LayoutItem item{LayoutItem::INT, 0, 0, {}};
        if (k == 'A' || k == 'a') {
          item.kind = LayoutItem::TEXT;
          number(item.w);  // A alone takes the text's own length
        } else {
          item.kind = (k == 'I' || k == 'i') ? LayoutItem::INT : LayoutItem::REAL;
          if (!number(item.w) || item.w < 1) return false;
          if (item.kind == LayoutItem::REAL) {
            if (i >= s.size() || s[i] != '.') return false;
            ++i;
            if (!number(item.d)) return false;
          }
        }
        for (int r = 0; r < count; ++r)
          if (!push(out, item)) return false;
      } else {
        return false;
      }
      needSeparator = true;
    }
  }
};

}  // namespace

bool parseLayout(std::string_view layout, std::vector<LayoutItem>& items) {
  items.clear();
  LayoutParser p{layout};
  p.skipSpace();
  if (p.i >= layout.size() || layout[p.i] != '(') return false;
  ++p.i;
  if (!p.group(items, 0)) return false;
  p.skipSpace();
  return p.i == layout.size();
}

}  // namespace quendrix
