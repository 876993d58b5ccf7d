// Section counts and the 1-based arrays of the electrical design.
#pragma once

#include <cstdlib>

namespace quendrix {

// The largest number of sections (poles) a design may have.
inline constexpr int MAX_POLES = 40;

// A fixed array indexed from 1, so that x(k) in the code is x(k) of the design equations.
// An index outside 1..N is a programming fault and aborts at once rather than corrupting memory.
template <int N>
struct Array1 {
  float v[N] = {};
  float& operator()(int k) {
    if (k < 1 || k > N) std::abort();
    return v[k - 1];
  }
  const float& operator()(int k) const {
    if (k < 1 || k > N) std::abort();
    return v[k - 1];
  }
};

using PoleArray = Array1<MAX_POLES>;       // stub values 1..n, line values 1..n-1
using ProtoArray = Array1<MAX_POLES + 1>;  // prototype values g(1)..g(n+1)

}  // namespace quendrix
