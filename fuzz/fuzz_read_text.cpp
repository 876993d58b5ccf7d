// The A-field reader. The first byte gives the field width w, the second the length of the
// target text before the read (0: an empty target, which takes the field's width), the rest is
// the record; the field is its first w characters, as the layout reader cuts it.
//
// Properties: the target keeps its length (or takes w), and holds the field's characters as they
// stand (blanks, commas, tabs and any other byte), padded with blanks to w columns; a target
// shorter than the field keeps the rightmost columns, a longer one is padded on the right.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_common.h"
#include "textio/fields.h"

using namespace quendrix_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const std::uint8_t wb = in.byte();
  const std::size_t w = wb < 240 ? wb % 48 : static_cast<std::size_t>(wb - 239) * 300;  // up to 4800
  const std::size_t initial = in.byte() % 48;
  const std::string_view record = in.rest();
  const std::string_view field = record.substr(0, w);

  std::string target(initial, '#');
  quendrix::readText(field, static_cast<int>(w), target);

  const std::size_t len = initial == 0 ? w : initial;
  const std::string context = "readText(" + shown(field) + ", w=" + std::to_string(w) + ") into a target of " +
                              std::to_string(initial) + " characters";
  FUZZ_CHECK(target.size() == len, context + " gives " + std::to_string(target.size()) + " characters");
  // Column c (0-based) of the w-column field: a character of the field, or a blank beyond it.
  auto column = [&](std::size_t c) { return c < field.size() ? field[c] : ' '; };
  for (std::size_t i = 0; i < len; ++i) {
    const char want = len <= w ? column(w - len + i) : (i < w ? column(i) : ' ');
    FUZZ_CHECK(target[i] == want, context + " gives " + shown(target) + ", wrong at column " + std::to_string(i + 1));
  }
  return 0;
}
