// The field writers: Fw.d on a float taken from the input bits, Iw on an integer, Aw on a text.
// Input: 4 bytes of float bits, w (1..30), d (0..w), 4 bytes of integer, the A width (0..30),
// then the text.
//
// Properties:
//  - every field is exactly w columns;
//  - Fw.d equals a reference built from the exact decimal expansion of the float (printed with
//    enough digits to be exact) rounded to d decimals by digit-string arithmetic, halves away
//    from zero; non-finite values follow the NaN/Inf/Infinity rules;
//  - reading a finite Fw.d field back gives the float nearest to the decimal written, keeps the
//    sign (a negative value that rounds to zero reads back as -0), and gives the very same bits
//    whenever the field keeps at least 9 significant digits; a NaN or infinity reads back as one;
//  - Iw is the decimal text right-aligned, or w asterisks when it does not fit, and reads back;
//  - Aw is the text's first w characters, or the text right-aligned behind blanks.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_common.h"
#include "textio/fields.h"

namespace {

using namespace quendrix_fuzz;
using quendrix::FieldStatus;

std::string rightAligned(const std::string& text, int w) {
  if (static_cast<int>(text.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

struct Rounded {
  std::string ip;   // integer digits, no leading zeros (empty for zero)
  std::string fp;   // exactly d decimals
  int exponent = 0; // decimal exponent of the first significant digit of |x| (x != 0)
};

// |x| rounded to d decimals, halves away from zero, from its exact decimal expansion.
Rounded roundedExactly(float x, int d) {
  char buf[256];
  // A float has at most 149 fractional binary digits, so 160 decimals print it exactly.
  std::snprintf(buf, sizeof buf, "%.160f", std::fabs(static_cast<double>(x)));
  const std::string all(buf);
  const std::size_t point = all.find('.');
  std::string ip = all.substr(0, point);
  const std::string frac = all.substr(point + 1);
  Rounded r;
  const std::size_t nz = ip.find_first_not_of('0');
  ip = nz == std::string::npos ? std::string() : ip.substr(nz);
  if (!ip.empty()) {
    r.exponent = static_cast<int>(ip.size()) - 1;
  } else {
    const std::size_t f = frac.find_first_not_of('0');
    r.exponent = f == std::string::npos ? 0 : -static_cast<int>(f) - 1;
  }
  std::string digits = ip + frac.substr(0, static_cast<std::size_t>(d));
  if (frac[static_cast<std::size_t>(d)] >= '5') {  // exact digits: 5 or more is half or more
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) digits.insert(digits.begin(), '1');
    else ++digits[i - 1];
  }
  r.ip = digits.substr(0, digits.size() - static_cast<std::size_t>(d));
  r.fp = digits.substr(digits.size() - static_cast<std::size_t>(d));
  const std::size_t lead = r.ip.find_first_not_of('0');
  r.ip = lead == std::string::npos ? std::string() : r.ip.substr(lead);
  return r;
}

std::string expectedReal(float x, int w, int d) {
  if (!std::isfinite(x) && w < 3) return std::string(static_cast<std::size_t>(w), '*');
  if (std::isnan(x)) return rightAligned("NaN", w);
  if (std::isinf(x)) {
    if (x > 0) return rightAligned(w >= 8 ? "Infinity" : "Inf", w);
    if (w == 3) return "***";
    return rightAligned(w >= 9 ? "-Infinity" : "-Inf", w);
  }
  const Rounded r = roundedExactly(x, d);
  const std::string sign = std::signbit(x) ? "-" : "";
  std::string text = sign + r.ip + "." + r.fp;
  if (r.ip.empty() && static_cast<int>(text.size()) < w) text = sign + "0." + r.fp;
  return rightAligned(text, w);
}

std::string realContext(float x, int w, int d) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "formatReal(%.9g [bits %08x], w=%d, d=%d)", static_cast<double>(x), bitsOf(x), w, d);
  return buf;
}

void checkReal(float x, int w, int d) {
  const std::string got = quendrix::formatReal(x, w, d);
  const std::string ctx = realContext(x, w, d);
  FUZZ_CHECK(static_cast<int>(got.size()) == w, ctx + " gives " + shown(got) + ", not w columns");
  const std::string want = expectedReal(x, w, d);
  FUZZ_CHECK(got == want, ctx + " gives " + shown(got) + ", expected " + shown(want));
  if (got.find_first_not_of('*') == std::string::npos) return;  // did not fit

  float back = 0;
  const FieldStatus st = quendrix::readReal(got, d, back);
  FUZZ_CHECK(st == FieldStatus::OK, ctx + ": its field " + shown(got) + " does not read back");
  if (std::isnan(x)) {
    FUZZ_CHECK(std::isnan(back), ctx + ": NaN does not read back as NaN");
    return;
  }
  if (std::isinf(x)) {
    FUZZ_CHECK(bitsOf(back) == bitsOf(x), ctx + ": an infinity does not read back as itself");
    return;
  }
  const std::string decimal = got.substr(got.find_first_not_of(' '));
  // A field too narrow for any digit ("." or "-.") stands for a zero of its sign.
  const bool anyDigit = decimal.find_first_of("0123456789") != std::string::npos;
  const float nearest = anyDigit ? std::strtof(decimal.c_str(), nullptr) : (decimal[0] == '-' ? -0.0f : 0.0f);
  char buf[64];
  std::snprintf(buf, sizeof buf, " reads back as %.9g (bits %08x)", static_cast<double>(back), bitsOf(back));
  FUZZ_CHECK(bitsOf(back) == bitsOf(nearest), ctx + buf + ", not as the float nearest to " + shown(decimal));
  FUZZ_CHECK(std::signbit(back) == std::signbit(x), ctx + buf + ": the sign is lost");
  const Rounded r = roundedExactly(x, d);
  if (x != 0 && r.exponent + d + 1 >= 9)
    FUZZ_CHECK(bitsOf(back) == bitsOf(x), ctx + buf + ", though it keeps 9 significant digits");
}

void checkInt(std::int32_t i, int w) {
  const std::string got = quendrix::formatInt(i, w);
  const std::string want = rightAligned(std::to_string(i), w);
  const std::string ctx = "formatInt(" + std::to_string(i) + ", w=" + std::to_string(w) + ")";
  FUZZ_CHECK(static_cast<int>(got.size()) == w, ctx + " gives " + shown(got) + ", not w columns");
  FUZZ_CHECK(got == want, ctx + " gives " + shown(got) + ", expected " + shown(want));
  if (got.find_first_not_of('*') == std::string::npos) return;
  std::int32_t back = 0;
  FUZZ_CHECK(quendrix::readInt(got, back) == FieldStatus::OK && back == i, ctx + ": its field does not read back");
}

void checkText(std::string_view s, int w) {
  const std::string got = quendrix::formatText(s, w);
  const auto uw = static_cast<std::size_t>(w);
  const std::string want =
      s.size() >= uw ? std::string(s.substr(0, uw)) : std::string(uw - s.size(), ' ') + std::string(s);
  const std::string ctx = "formatText(" + shown(s) + ", w=" + std::to_string(w) + ")";
  FUZZ_CHECK(got.size() == uw, ctx + " gives " + shown(got) + ", not w columns");
  FUZZ_CHECK(got == want, ctx + " gives " + shown(got) + ", expected " + shown(want));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const float x = floatOf(in.u32());
  const int w = 1 + in.byte() % 30;
  const int d = in.byte() % (w + 1);
  const auto i = static_cast<std::int32_t>(in.u32());
  const int tw = in.byte() % 31;
  const std::string_view text = in.rest();

  checkReal(x, w, d);
  checkInt(i, w);
  checkText(text, tw);
  return 0;
}
