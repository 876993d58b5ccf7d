// The circuit of a designed stub filter, per method: from port 1 to port 2, short-circuited shunt
// stub 1, connecting line 1,2, stub 2, ..., stub n, between a source resistance z0 and a load
// resistance zload. Either ideal commensurate TEM lines, a quarter wave long at f0, or the strips
// of a construction with their own widths and quarter-wave lengths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogue/records.h"

namespace quendrix::analysis {

enum class Method { MATTHAEI, CRISTAL };
inline constexpr Method METHODS[] = {Method::MATTHAEI, Method::CRISTAL};
// "Matthaei" or "Cristal".
const char* methodName(Method m);

// How an element's impedance and electrical length follow the frequency.
enum class LineModel {
  IDEAL,       // impedance z, electrical length (pi/2)·f/f0
  TEM,         // a strip of length L in a homogeneous dielectric er (stripline): no dispersion
  MICROSTRIP,  // a microstrip strip: zof(f) and eff(f) of the microstrip model at every f
};

struct Element {
  bool stub = false;  // a short-circuited shunt stub, or a connecting line in series
  std::int32_t k = 0; // stub k, or line k,k+1
  LineModel model = LineModel::IDEAL;
  double z = 0;       // IDEAL: the element's impedance; TEM: one strip's impedance, ohms
  std::int32_t strips = 1;  // strips in parallel: each stub position is built as two stubs
  double f0 = 0;      // IDEAL: the frequency at which the element is a quarter wave, MHz
  double length = 0;  // TEM, MICROSTRIP: strip length, inches
  double er = 1;      // TEM: dielectric constant
  // MICROSTRIP: the substrate, the strip, and its static analysis (msimp under a cover 10 inches up).
  float msEr = 1, h = 0, t = 0, w = 0, ef = 1, zo = 0;
};

struct Circuit {
  Method method = Method::MATTHAEI;
  double f0 = 0;       // centre frequency of the design, MHz
  double zSource = 0;  // z0, ohms
  double zLoad = 0;    // zload, ohms
  std::vector<Element> elements;
};

// Impedance (ohms) and electrical length (radians) of an element at f (MHz).
struct LineState {
  double z = 0, theta = 0;
};
LineState lineState(const Element& e, double f);

// The ideal circuit of a synthesized design (ed holding impedances in ohms): stub k of the
// single-stub impedance ysm(k) (ysc(k)), line k,k+1 of ylm(k) (ylc(k)).
Circuit idealCircuit(const FilterSpec& fs, const ElectricalDesign& ed, Method m);

// The physical circuit in the construction c: every strip synthesized as the dimensional step
// does it (each stub position as two stubs of ysm2(k) in parallel, the lines of ylm(k)), with its
// quarter-wave length at f0 from its own effective permittivity. The width syntheses write their
// unrealizable-width message on the console; the first strip that cannot be realized ends the
// synthesis and is named in fault ("stub 3", "line 2,3"), with an empty circuit returned.
struct StripFault {
  bool any = false;
  std::string strip;
  float z = 0;  // the impedance wanted, ohms
};
Circuit physicalCircuit(const FilterSpec& fs, const ElectricalDesign& ed, const Construction& c, Method m,
                        StripFault& fault);

}  // namespace quendrix::analysis
