// The circuit of a designed filter, ideal or in a construction.
#include "analysis/circuit.h"

#include <cmath>
#include <numbers>

#include "dialogue/design.h"
#include "lines/lines.h"

namespace quendrix::analysis {

const char* methodName(Method m) { return m == Method::MATTHAEI ? "Matthaei" : "Cristal"; }

LineState lineState(const Element& e, double f) {
  constexpr double pi = std::numbers::pi;
  const double parallel = e.strips;
  switch (e.model) {
    case LineModel::IDEAL:
      return LineState{e.z, (pi / 2.0) * f / e.f0};
    case LineModel::TEM:
      return LineState{e.z / parallel, 2.0 * pi * e.length * std::sqrt(e.er) * f / v};
    case LineModel::MICROSTRIP: {
      // Kirschning-Jansen dispersion of eff and Jansen-Kirschning of the impedance at f (GHz).
      const float fGhz = 0.001f * static_cast<float>(f);
      const MicrostripDispersed d = mszo(e.ef, e.msEr, fGhz, e.h, e.w, e.zo);
      return LineState{d.zof / parallel, 2.0 * pi * e.length * std::sqrt(static_cast<double>(d.eff)) * f / v};
    }
  }
  return {};
}

namespace {

const PoleArray& stubsOf(const ElectricalDesign& ed, Method m, bool two) {
  if (m == Method::MATTHAEI) return two ? ed.ysm2 : ed.ysm;
  return two ? ed.ysc2 : ed.ysc;
}

const PoleArray& linesOf(const ElectricalDesign& ed, Method m) { return m == Method::MATTHAEI ? ed.ylm : ed.ylc; }

Circuit emptyCircuit(const FilterSpec& fs, const ElectricalDesign& ed, Method m) {
  Circuit c;
  c.method = m;
  c.f0 = fs.f0;
  c.zSource = fs.z0;
  c.zLoad = ed.zload;
  return c;
}

}  // namespace

Circuit idealCircuit(const FilterSpec& fs, const ElectricalDesign& ed, Method m) {
  Circuit c = emptyCircuit(fs, ed, m);
  const PoleArray& stubs = stubsOf(ed, m, false);
  const PoleArray& lines = linesOf(ed, m);
  for (std::int32_t k = 1; k <= fs.n; ++k) {
    Element stub;
    stub.stub = true;
    stub.k = k;
    stub.z = stubs(k);
    stub.f0 = fs.f0;
    c.elements.push_back(stub);
    if (k == fs.n) break;
    Element line;
    line.k = k;
    line.z = lines(k);
    line.f0 = fs.f0;
    c.elements.push_back(line);
  }
  return c;
}

Circuit physicalCircuit(const FilterSpec& fs, const ElectricalDesign& ed, const Construction& con, Method m,
                        StripFault& fault) {
  fault = StripFault{};
  Circuit c = emptyCircuit(fs, ed, m);
  const PoleArray& stubs = stubsOf(ed, m, true);
  const PoleArray& lines = linesOf(ed, m);
  const float qwave = quarterWave(fs.f0);
  const bool microstrip = con.msorsl != 2;

  // One strip for the wanted impedance, as the dimensional step synthesizes it.
  auto strip = [&](float wanted, bool stub, std::int32_t k) {
    Element e;
    e.stub = stub;
    e.k = k;
    e.strips = stub ? 2 : 1;
    float z = wanted;  // slwb hands back the impedance it reached
    std::int32_t isyne = 0;
    const float w = stripWidth(con, fs.f0, isyne, z);
    if (isyne != 0) {
      fault = StripFault{true, stub ? "stub " + std::to_string(k) : "line " + std::to_string(k) + "," + std::to_string(k + 1),
                         wanted};
      return false;
    }
    const float eff = stripPermittivity(con);
    e.length = stripLength(qwave, eff);
    if (microstrip) {
      const float h2 = 10.0f;  // the cover height the width synthesis uses, inches
      e.model = LineModel::MICROSTRIP;
      e.msEr = con.er;
      e.h = con.height;
      e.t = con.thick;
      e.w = w;
      const MicrostripStatic s = msimp(con.er, con.height, h2, con.thick, w);
      e.ef = s.ef;
      e.zo = s.zo;
    } else {
      e.model = LineModel::TEM;
      e.z = z;
      e.er = con.er;
    }
    c.elements.push_back(e);
    return true;
  };

  for (std::int32_t k = 1; k <= fs.n; ++k) {
    if (!strip(stubs(k), true, k)) return emptyCircuit(fs, ed, m);
    if (k == fs.n) break;
    if (!strip(lines(k), false, k)) return emptyCircuit(fs, ed, m);
  }
  return c;
}

}  // namespace quendrix::analysis
