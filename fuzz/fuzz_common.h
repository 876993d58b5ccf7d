// Small helpers shared by the fuzz targets: taking bytes from the input and reporting a broken
// property with the bytes that broke it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace quendrix_fuzz {

// Takes bytes from the front of the input; past its end every byte reads as 0.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | byte();
    return v;
  }
  // The bytes up to (not including) the next occurrence of stop, which is consumed; or all
  // the rest when stop does not occur.
  std::string_view until(std::uint8_t stop) {
    const std::size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != stop) ++pos_;
    const std::string_view s(reinterpret_cast<const char*>(data_) + start, pos_ - start);
    if (pos_ < size_) ++pos_;
    return s;
  }
  std::string_view take(std::size_t n) {
    const std::size_t k = n < size_ - pos_ ? n : size_ - pos_;
    const std::string_view s(reinterpret_cast<const char*>(data_) + pos_, k);
    pos_ += k;
    return s;
  }
  std::string_view rest() { return take(size_ - pos_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Printable form of arbitrary bytes, for failure messages.
inline std::string shown(std::string_view s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    }
  }
  return out + "\"";
}

inline std::uint32_t bitsOf(float f) {
  std::uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

inline float floatOf(std::uint32_t b) {
  float f = 0;
  std::memcpy(&f, &b, sizeof f);
  return f;
}

// A broken property: says which, then aborts so that libFuzzer keeps the input.
[[noreturn]] inline void broken(const std::string& what) {
  std::fprintf(stderr, "\nPROPERTY BROKEN: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// The message is built only when the property is broken.
#define FUZZ_CHECK(cond, what)                       \
  do {                                               \
    if (!(cond)) ::quendrix_fuzz::broken(what);      \
  } while (0)

inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace quendrix_fuzz
