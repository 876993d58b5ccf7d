// Width syntheses, time per call: mswh (microstrip, Wheeler's estimate refined by a search that
// analyses every candidate with msimp and mszo) and slwb (stripline, Cohn's or Wheeler's
// estimate refined by a search over slzo), one benchmark for each row of their reference
// tables. A benchmark's name carries its row, for example
//   mswh/er:2.2/f_GHz:10/h1:0.031/h2:10/t:0.0014/zod:50
//   slwb/b:0.062/er:2.2/t:0/zo:50
// Before timing, each row is run once and its result compared with the table; a row that does
// not give its width stops the program with a message.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lines/lines.h"

namespace quendrix {
namespace {

struct MswhRow {
  const char* label;
  float er, f, h1, h2, t, zod;
  double w, eff;  // width in inches and effective permittivity, as the table gives them
};

// er, f (GHz), h1, h2, t, zod -> w, eff.
const MswhRow kMswhRows[] = {
    {"er:2.2/f_GHz:10/h1:0.031/h2:10/t:0.0014/zod:50", 2.2f, 10, 0.031f, 10, 0.0014f, 50, 0.0941, 1.903},
    {"er:2.2/f_GHz:10/h1:0.031/h2:10/t:0.0014/zod:100", 2.2f, 10, 0.031f, 10, 0.0014f, 100, 0.0257, 1.762},
    {"er:2.2/f_GHz:10/h1:0.031/h2:10/t:0.0014/zod:20", 2.2f, 10, 0.031f, 10, 0.0014f, 20, 0.321, 2.061},
    {"er:9.8/f_GHz:10/h1:0.025/h2:10/t:0.0002/zod:50", 9.8f, 10, 0.025f, 10, 0.0002f, 50, 0.0243, 6.894},
    {"er:10.2/f_GHz:5/h1:0.05/h2:10/t:0.0007/zod:30", 10.2f, 5, 0.05f, 10, 0.0007f, 30, 0.117, 7.964},
    {"er:2.2/f_GHz:0/h1:0.031/h2:10/t:0/zod:50", 2.2f, 0, 0.031f, 10, 0, 50, 0.0956, 1.881},
    {"er:1.0/f_GHz:10/h1:0.031/h2:10/t:0/zod:50", 1.0f, 10, 0.031f, 10, 0, 50, 0.152, 1.000},
};

struct SlwbRow {
  const char* label;
  float b, er, t, zo;
  double w;       // width in inches, as the table gives it
  double zoTol;   // how close the impedance reached must be to the one wanted, ohms
};

// b, er, t, wanted zo -> w.
const SlwbRow kSlwbRows[] = {
    {"b:0.062/er:2.2/t:0/zo:50", 0.062f, 2.2f, 0, 50, 0.05146, 0.05},
    {"b:0.062/er:2.2/t:0/zo:250", 0.062f, 2.2f, 0, 250, 0.000327, 0.25},
    {"b:0.062/er:2.2/t:0.0014/zo:50", 0.062f, 2.2f, 0.0014f, 50, 0.04770, 0.05},
    {"b:0.062/er:2.2/t:0.0014/zo:150", 0.062f, 2.2f, 0.0014f, 150, 0.001862, 0.15},
    {"b:0.125/er:10.2/t:0.0007/zo:20", 0.125f, 10.2f, 0.0007f, 20, 0.1265, 0.02},
    {"b:0.062/er:2.2/t:0/zo:10", 0.062f, 2.2f, 0, 10, 0.367, 0.01},
    {"b:0.062/er:2.2/t:0/zo:5", 0.062f, 2.2f, 0, 5, 0.760, 0.005},
};

// The widths of the tables are quoted to three or four significant figures, and a search may
// stop anywhere inside its tolerance: 0.5 % is ample and still catches a wrong width.
bool nearWidth(double got, double want) { return std::fabs(got - want) <= 0.005 * want; }

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "bench_lines: %s\n", what.c_str());
  std::exit(EXIT_FAILURE);
}

void checkMswh(const MswhRow& r) {
  const MicrostripWidth m = mswh(r.er, r.f, r.h1, r.h2, r.t, r.zod);
  const std::string row = std::string("mswh/") + r.label + ": ";
  if (!m.realizable || !m.last) fail(row + "unrealizable");
  const float w = m.w;
  const MicrostripDispersed d = m.last->dispersed;
  if (!nearWidth(w, r.w)) fail(row + "width " + std::to_string(w) + ", table " + std::to_string(r.w));
  if (std::fabs(d.eff - r.eff) > 0.0006) fail(row + "eff " + std::to_string(d.eff));
  if (std::fabs((r.zod - d.zof) / r.zod) >= 0.0001f) fail(row + "zof " + std::to_string(d.zof));
}

void checkSlwb(const SlwbRow& r) {
  const StriplineWidth s = slwb(r.b, r.er, r.t, r.zo);
  const float w = s.w, zo = s.zo;
  const std::string row = std::string("slwb/") + r.label + ": ";
  if (!s.realizable) fail(row + "unrealizable");
  if (!nearWidth(w, r.w)) fail(row + "width " + std::to_string(w) + ", table " + std::to_string(r.w));
  if (std::fabs(zo - r.zo) > r.zoTol) fail(row + "impedance reached " + std::to_string(zo));
}

void benchMswh(benchmark::State& state, const MswhRow& r) {
  checkMswh(r);
  float er = r.er, f = r.f, h1 = r.h1, h2 = r.h2, t = r.t, zod = r.zod;
  for (auto _ : state) {
    MicrostripWidth m = mswh(er, f, h1, h2, t, zod);
    benchmark::DoNotOptimize(m);
  }
}

void benchSlwb(benchmark::State& state, const SlwbRow& r) {
  checkSlwb(r);
  float b = r.b, er = r.er, t = r.t;
  const float zo = r.zo;
  for (auto _ : state) {
    StriplineWidth s = slwb(b, er, t, zo);
    benchmark::DoNotOptimize(s);
  }
}

}  // namespace
}  // namespace quendrix

int main(int argc, char** argv) {
  for (const auto& r : quendrix::kMswhRows) {
    benchmark::RegisterBenchmark((std::string("mswh/") + r.label).c_str(), quendrix::benchMswh, r);
  }
  for (const auto& r : quendrix::kSlwbRows) {
    benchmark::RegisterBenchmark((std::string("slwb/") + r.label).c_str(), quendrix::benchSlwb, r);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
