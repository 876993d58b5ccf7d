// The I-field reader on arbitrary bytes (the whole input is the field).
//
// Properties:
//  - the reader agrees, in status and value, with a plain reference: the field without its
//    blanks is empty (0) or an optional sign and at least one digit whose value fits in 32 bits;
//  - an accepted value reads back unchanged from its own decimal text and from an I11 field.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_common.h"
#include "textio/fields.h"

namespace {

using namespace quendrix_fuzz;
using quendrix::FieldStatus;
using quendrix::formatInt;
using quendrix::readInt;

struct Expected {
  bool ok = false;
  std::int32_t value = 0;
};

Expected reference(std::string_view f) {
  std::string t;
  for (const char c : f)
    if (c != ' ') t += c;
  if (t.empty()) return {true, 0};
  std::size_t k = 0;
  bool negative = false;
  if (t[0] == '+' || t[0] == '-') {
    negative = t[0] == '-';
    k = 1;
  }
  if (k == t.size()) return {};  // a sign alone
  for (std::size_t j = k; j < t.size(); ++j)
    if (!isAsciiDigit(t[j])) return {};
  while (k + 1 < t.size() && t[k] == '0') ++k;  // leading zeros
  const std::string digits = t.substr(k);
  if (digits.size() > 10) return {};
  const long long magnitude = std::stoll(digits);
  const long long v = negative ? -magnitude : magnitude;
  if (v < -2147483648LL || v > 2147483647LL) return {};
  return {true, static_cast<std::int32_t>(v)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view field(reinterpret_cast<const char*>(data), size);
  std::int32_t value = 0x5a5a5a5a;
  const FieldStatus st = readInt(field, value);
  const Expected want = reference(field);
  FUZZ_CHECK((st == FieldStatus::OK) == want.ok,
             "readInt(" + shown(field) + ") gives " + (st == FieldStatus::OK ? "OK" : "BAD") + ", expected " +
                 (want.ok ? "OK" : "BAD"));
  if (!want.ok) return 0;
  FUZZ_CHECK(value == want.value, "readInt(" + shown(field) + ") gives " + std::to_string(value) + ", expected " +
                                      std::to_string(want.value));

  for (const std::string& text : {std::to_string(value), formatInt(value, 11)}) {
    std::int32_t back = 0;
    FUZZ_CHECK(readInt(text, back) == FieldStatus::OK && back == value,
               "readInt(" + shown(text) + ") does not give back " + std::to_string(value));
  }
  return 0;
}
