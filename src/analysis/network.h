// Two-port network arithmetic of lossless TEM transmission lines: ABCD (chain) matrices of a line
// and of a short-circuited shunt stub, their cascade, and the scattering parameters between real
// terminations. Standard transmission-line theory; double precision throughout.
#pragma once

#include <complex>

namespace quendrix::analysis {

using Complex = std::complex<double>;

// An ABCD matrix held as m·sign·10^log10Scale: long cascades near a transmission zero grow by
// many decades, so the product is renormalised after every factor and its scale kept apart.
struct Abcd {
  Complex a{1.0}, b{0.0}, c{0.0}, d{1.0};
  double log10Scale = 0.0;
  double sign = 1.0;
};

// A line of impedance z (ohms) and electrical length theta (radians) in series:
// [cos θ, j z sin θ; j sin θ / z, cos θ].
Abcd lineAbcd(double z, double theta);

// A short-circuited stub of impedance z and electrical length theta across the line: the shunt
// admittance 1/(j z tan θ), i.e. [1, 0; -j cot θ / z, 1]. Held as (1/sin θ)·[sin θ, 0;
// -j cos θ / z, sin θ] so that a stub near θ = 0 or π is no overflow. theta must not be a
// multiple of π exactly (there the stub is a short and the network passes nothing).
Abcd shortedStubAbcd(double z, double theta);

// The cascade m·n (n follows m toward port 2).
Abcd cascade(const Abcd& m, const Abcd& n);

// Scattering parameters of a reciprocal two-port between a source of resistance z1 at port 1 and
// a load of resistance z2 at port 2, each port referenced to its own termination. S21 (= S12) is
// also kept as its magnitude in dB and its angle, exact even where its value underflows.
struct SParameters {
  Complex s11, s21, s12, s22;
  double s21Db = 0;     // 20 log10 |S21|; -infinity where the network passes nothing
  double s21Angle = 0;  // arg S21, radians
};
SParameters sParameters(const Abcd& m, double z1, double z2);

// The network that passes nothing and reflects everything at both ports (all stubs shorted at
// f = 0): S11 = S22 = -1, S21 = S12 = 0.
SParameters shortedNetwork();

}  // namespace quendrix::analysis
