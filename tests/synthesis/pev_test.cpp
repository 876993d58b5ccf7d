#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "design_data.h"

namespace quendrix::testing {
namespace {

struct PrototypeCase {
  int n;
  float ripple;
  int response;
  std::vector<double> g;  // g(1)..g(n+1), quoted to 4 decimals
};

// Classical tables of lowpass prototype element values (as in Matthaei, Young and Jones).
const PrototypeCase kPrototypeCases[] = {
    {2, 0.1f, kTchebyscheff, {0.8431, 0.6220, 1.3554}},
    {3, 0.1f, kTchebyscheff, {1.0316, 1.1474, 1.0316, 1.0000}},
    {4, 0.1f, kTchebyscheff, {1.1088, 1.3062, 1.7704, 0.8181, 1.3554}},
    {5, 0.1f, kTchebyscheff, {1.1468, 1.3712, 1.9750, 1.3712, 1.1468, 1.0000}},
    {1, 0.0f, kButterworth, {2.0000, 1.0000}},
    {2, 0.0f, kButterworth, {1.4142, 1.4142, 1.0000}},
    {3, 0.0f, kButterworth, {1.0000, 2.0000, 1.0000, 1.0000}},
    {4, 0.0f, kButterworth, {0.7654, 1.8478, 1.8478, 0.7654, 1.0000}},
    {5, 0.0f, kButterworth, {0.6180, 1.6180, 2.0000, 1.6180, 0.6180, 1.0000}},
};

TEST(Pev, ReproducesTabulatedElementValues) {
  for (const auto& c : kPrototypeCases) {
    SCOPED_TRACE(::testing::Message() << "n=" << c.n << " response=" << c.response);
    const ProtoArray g = prototype(c.n, c.ripple, c.response);
    ASSERT_EQ(c.g.size(), static_cast<size_t>(c.n + 1));
    for (int k = 1; k <= c.n + 1; ++k) {
      EXPECT_NEAR(g(k), c.g[k - 1], quoted(4)) << "g(" << k << ")";
    }
  }
}

TEST(Pev, TchebyscheffSingleSectionIsTwoOverGamma) {
  // n = 1: g(1) = 2/gamma with gamma = sinh(beta/2), beta = ln(coth(ripple/17.37)),
  // and the load element g(1)/g(1) is exactly 1.
  for (const float ripple : {0.01f, 0.1f, 0.5f, 3.0f}) {
    SCOPED_TRACE(ripple);
    const ProtoArray g = prototype(1, ripple, kTchebyscheff);
    const double beta = std::log(1.0 / std::tanh(ripple / 17.37));
    EXPECT_NEAR(g(1), 2.0 / std::sinh(beta / 2.0), 1e-5 * g(1));
    EXPECT_EQ(g(2), 1.0f);
  }
}

TEST(Pev, ButterworthIgnoresRipple) {
  for (int n = 1; n <= MAX_POLES; ++n) {
    const ProtoArray reference = prototype(n, 0.0f, kButterworth);
    for (const float ripple : {0.1f, -2.0f, NAN}) {
      const ProtoArray g = prototype(n, ripple, kButterworth);
      for (int k = 1; k <= n + 1; ++k) {
        ASSERT_EQ(g(k), reference(k)) << "n=" << n << " ripple=" << ripple << " k=" << k;
      }
    }
  }
}

TEST(Pev, AnyResponseCodeButTwoIsTchebyscheff) {
  const ProtoArray reference = prototype(5, 0.1f, kTchebyscheff);
  for (const int ltype : {0, 3, -1}) {
    const ProtoArray g = prototype(5, 0.1f, ltype);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(g(k), reference(k)) << "ltype=" << ltype;
  }
}

TEST(Pev, TchebyscheffLoadElementIsOneForOddAndAboveOneForEven) {
  // The classical even-order load element depends only on the ripple:
  // g(n+1) = coth^2(beta/4), 1.3554 for 0.1 dB. A fault anywhere in the recurrence
  // for g(2)..g(n) shows here, since g(n+1) = g(1)/g(n).
  for (const float ripple : {0.01f, 0.1f, 0.5f}) {
    const double beta = std::log(1.0 / std::tanh(ripple / 17.37));
    const double evenLoad = std::pow(1.0 / std::tanh(beta / 4.0), 2.0);
    for (int n = 2; n <= MAX_POLES; ++n) {
      SCOPED_TRACE(::testing::Message() << "ripple=" << ripple << " n=" << n);
      const ProtoArray g = prototype(n, ripple, kTchebyscheff);
      const double expected = (n % 2 == 1) ? 1.0 : evenLoad;
      EXPECT_NEAR(g(n + 1), expected, 1e-4 * expected);
    }
  }
}

TEST(Pev, WritesOnlyGOneToNPlusOne) {
  const float sentinel = -777.0f;
  for (const int response : {kTchebyscheff, kButterworth}) {
    for (int n = 1; n < MAX_POLES; ++n) {
      ProtoArray g;
      for (int k = 1; k <= MAX_POLES + 1; ++k) g(k) = sentinel;
      pev(g, n, 0.1f, response);
      for (int k = 1; k <= n + 1; ++k) {
        EXPECT_TRUE(std::isfinite(g(k)) && g(k) > 0.0f) << "n=" << n << " k=" << k;
      }
      for (int k = n + 2; k <= MAX_POLES + 1; ++k) {
        EXPECT_EQ(g(k), sentinel) << "n=" << n << " k=" << k;
      }
    }
  }
}

}  // namespace
}  // namespace quendrix::testing
