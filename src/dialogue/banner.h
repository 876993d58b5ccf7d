// The maker's notice printed under the banner and in the header of both reports.
#pragma once

#include <string_view>

namespace quendrix {

inline constexpr std::string_view MAKERS_NOTICE = "(14X,' Quendrix filter design software, release 1.0')";

}  // namespace quendrix
