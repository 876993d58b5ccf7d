// Electrical synthesis per design: prototype values (pev), Matthaei's stub filter (matia2)
// and Cristal's (crstl3), each alone and the three in a row as the electrical step calls
// them. The design is the worked one: Tchebyscheff 0.1 dB, f0 = 3000 MHz, bw = 900 MHz
// (theta1 = 1.3351769 rad), ya = 0.02 S, d = h = 1, for n = 5 and for n = 40 (the most
// sections a design may have).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "synthesis/synthesis.h"

namespace quendrix {
namespace {

constexpr int kTchebyscheff = 1;
constexpr float kRipple = 0.1f;
constexpr float kTheta1 = 1.3351769f;
constexpr float kYa = 0.02f;
constexpr float kD = 1.0f;

[[noreturn]] void fail(const char* what, int n, int k, double value) {
  std::fprintf(stderr, "bench_synthesis: n = %d: %s (element %d = %g)\n", n, what, k, value);
  std::exit(EXIT_FAILURE);
}

// One design, run once before timing: every admittance finite and positive, and for n = 5
// the impedances of row 1 of the worked example (13.68, 12.67, 38.66 and 60.21 ohms).
void checkDesign(int n) {
  ProtoArray g;
  PoleArray ysm, ylm, ysc, ylc;
  pev(g, n, kRipple, kTchebyscheff);
  matia2(n, kTheta1, kD, g, kYa, ysm, ylm);
  crstl3(n, kTheta1, kD, g, kYa, ysc, ylc);
  for (int k = 1; k <= n + 1; ++k) {
    if (!(std::isfinite(g(k)) && g(k) > 0)) fail("prototype value not finite and positive", n, k, g(k));
  }
  for (int k = 1; k <= n; ++k) {
    if (!(std::isfinite(ysm(k)) && ysm(k) > 0)) fail("Matthaei stub admittance", n, k, ysm(k));
    if (!(std::isfinite(ysc(k)) && ysc(k) > 0)) fail("Cristal stub admittance", n, k, ysc(k));
  }
  for (int k = 1; k <= n - 1; ++k) {
    if (!(std::isfinite(ylm(k)) && ylm(k) > 0)) fail("Matthaei line admittance", n, k, ylm(k));
    if (!(std::isfinite(ylc(k)) && ylc(k) > 0)) fail("Cristal line admittance", n, k, ylc(k));
  }
  if (n == 5) {
    const auto near = [](float y, double ohms) { return std::fabs(1.0 / y - ohms) < 0.005; };
    if (!near(ysm(1), 13.68)) fail("Matthaei stub 1 is not 13.68 ohms", n, 1, 1.0 / ysm(1));
    if (!near(ysc(1), 12.67)) fail("Cristal stub 1 is not 12.67 ohms", n, 1, 1.0 / ysc(1));
    if (!near(ylm(1), 38.66)) fail("Matthaei line 1 is not 38.66 ohms", n, 1, 1.0 / ylm(1));
    if (!near(ylc(1), 60.21)) fail("Cristal line 1 is not 60.21 ohms", n, 1, 1.0 / ylc(1));
  }
}

// The routines take every argument by reference and live in another translation unit, so
// the inputs cannot be folded; the outputs are published to the optimiser after each call.
template <typename T>
void publish(T& x) {
  T* p = &x;
  benchmark::DoNotOptimize(p);
  benchmark::ClobberMemory();
}

void BM_pev(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  checkDesign(n);
  float lar = kRipple;
  int ltype = kTchebyscheff;
  ProtoArray g;
  for (auto _ : state) {
    pev(g, n, lar, ltype);
    publish(g);
  }
}

void BM_matia2(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  checkDesign(n);
  float theta1 = kTheta1, d = kD, ya = kYa;
  ProtoArray g;
  pev(g, n, kRipple, kTchebyscheff);
  PoleArray ynm, ynmm;
  for (auto _ : state) {
    matia2(n, theta1, d, g, ya, ynm, ynmm);
    publish(ynm);
    publish(ynmm);
  }
}

void BM_crstl3(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  checkDesign(n);
  float theta1 = kTheta1, h = kD, ya = kYa;
  ProtoArray g;
  pev(g, n, kRipple, kTchebyscheff);
  PoleArray ys, yl;
  for (auto _ : state) {
    crstl3(n, theta1, h, g, ya, ys, yl);
    publish(ys);
    publish(yl);
  }
}

// The three in the order of the electrical step: pev, matia2, crstl3.
void BM_electrical_synthesis(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  checkDesign(n);
  float lar = kRipple, theta1 = kTheta1, d = kD, ya = kYa;
  int ltype = kTchebyscheff;
  ProtoArray g;
  PoleArray ysm, ylm, ysc, ylc;
  for (auto _ : state) {
    pev(g, n, lar, ltype);
    matia2(n, theta1, d, g, ya, ysm, ylm);
    crstl3(n, theta1, d, g, ya, ysc, ylc);
    publish(ysm);
    publish(ylm);
    publish(ysc);
    publish(ylc);
  }
}

BENCHMARK(BM_pev)->ArgName("n")->Arg(5)->Arg(40);
BENCHMARK(BM_matia2)->ArgName("n")->Arg(5)->Arg(40);
BENCHMARK(BM_crstl3)->ArgName("n")->Arg(5)->Arg(40);
BENCHMARK(BM_electrical_synthesis)->ArgName("n")->Arg(5)->Arg(40);

}  // namespace
}  // namespace quendrix

BENCHMARK_MAIN();
