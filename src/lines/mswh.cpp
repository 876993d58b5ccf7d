// Microstrip width synthesis.
//
// The estimate is Wheeler's closed-form synthesis of a strip of zero thickness without
// cover; a stepping search then corrects it with the full analysis of msimp and mszo
// (thickness, cover and dispersion) until the impedance at f agrees with zod to 0.01 %.
// Lengths in inches, f in GHz.
#include <cmath>

#include "lines/common.h"
#include "lines/lines.h"
#include "lines/microstrip_terms.h"

namespace quendrix {

namespace {

// The analysis of candidate widths on one substrate at one frequency: the terms that do not
// depend on the width are computed once, for the whole search.
struct Analysis {
  lines::StaticTerms statics;
  lines::DispersionTerms dispersion;

  // The analysis of a candidate width, exactly as msimp and then mszo give it.
  MicrostripAnalysis operator()(float er, float h1, float t, float w) const {
    MicrostripAnalysis a;
    a.statics = lines::msimpWith(statics, er, h1, t, w);
    a.dispersed = lines::mszoWith(dispersion, a.statics.ef, er, h1, w, a.statics.zo);
    return a;
  }
};

}  // namespace

MicrostripWidth mswh(float er, float f, float h1, float h2, float t, float zod) {
  MicrostripWidth r;

  // Wheeler's estimate, from er, h1 and zod only.
  const float tp1 = (zod / 42.4f) * std::sqrt(er + 1.0f);
  const float tp2 = (7.0f + 4.0f / er) / 11.0f;
  const float tp3 = (1.0f + 1.0f / er) / 0.81f;
  float w = 8.0f * h1 * std::sqrt((std::exp(tp1) - 1.0f) * tp2 + tp3) / (std::exp(tp1) - 1.0f);
  // Too narrow to build, or no number at all: nothing is analysed.
  if (w < 0.000025f || !std::isfinite(w)) {
    r.w = w;
    return r;
  }

  const Analysis analyse{lines::staticTerms(er, h1, h2, t), lines::dispersionTerms(er, f, h1)};
  r.last = analyse(er, h1, t, w);
  float z = r.last->dispersed.zof;
  // First step: back by 3 % when the strip is too wide, forward by the whole width (doubling
  // it) when too narrow, none when the estimate is exact. Its sign never changes afterwards.
  float winc = 0.0f;
  if (zod > z) {
    winc = -0.03f * w;
  } else if (z > zod) {
    winc = w;
  }

  for (int steps = 0;; ++steps) {
    // A width or impedance that is not a number, or a search that does not settle, ends as
    // an unrealizable width; w is the last width tried, and r.last its analysis.
    if (!std::isfinite(w) || !std::isfinite(z)) break;
    if (std::abs((zod - z) / zod) < 0.0001f) {
      r.w = w;
      r.realizable = true;
      return r;
    }
    if (steps == lines::maxSearchSteps) break;
    // test >= 0: the last step has not yet carried the impedance past zod.
    float test = z - zod;
    if (winc < 0.0f) test = -test;
    if (test < 0.0f) {
      winc = 0.5f * winc;
      w = w - winc;
    } else {
      w = w + winc;
    }
    r.last = analyse(er, h1, t, w);
    z = r.last->dispersed.zof;
  }
  r.w = w;
  return r;
}

}  // namespace quendrix
