// clang 14 with libstdc++ 12: <source_location> is guarded by __builtin_source_location, which
// this clang does not have, so the header declares nothing. The fuzz build then force-includes
// this file, which gives the same interface from the older location builtins (they take the
// position of the call that uses the default argument, as the real one does). It is used only
// when fuzz/CMakeLists.txt finds that <source_location> does not work.
#pragma once

#include <source_location>

#if !defined(__cpp_lib_source_location)
#include <cstdint>

namespace std {

struct source_location {
  static constexpr source_location current(const char* file = __builtin_FILE(),
                                           const char* function = __builtin_FUNCTION(),
                                           std::uint_least32_t line = __builtin_LINE(),
                                           std::uint_least32_t column = __builtin_COLUMN()) noexcept {
    source_location where;
    where.file_ = file;
    where.function_ = function;
    where.line_ = line;
    where.column_ = column;
    return where;
  }
  constexpr source_location() noexcept = default;
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return column_; }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }

 private:
  const char* file_ = "";
  const char* function_ = "";
  std::uint_least32_t line_ = 0;
  std::uint_least32_t column_ = 0;
};

}  // namespace std
#endif
