// What quendrix-response writes: the response table, the Touchstone files and the SVG plot,
// each built whole in memory from a Study.
#pragma once

#include <string>

#include "analysis/study.h"

namespace quendrix::analysis {

// One line describing the design and its circuit, e.g. "Tchebyscheff 0.100 dB, N = 5, f0 = 3000
// MHz, band 2550 to 3450 MHz, z0 = 50 ohms, zload = 50.000 ohms, ideal TEM lines".
std::string designSummary(const Study& s);

// The table for standard output: two comment lines (#), then one line a frequency.
std::string responseTable(const Study& s);

// The Touchstone 1.1 file of method m (index into Study::circuits): both ports referenced to z0,
// frequencies in MHz, S-parameters in dB and degrees, S11 S21 S12 S22 on each line.
std::string touchstoneFile(const Study& s, std::size_t m);
// PREFIX-matthaei.s2p or PREFIX-cristal.s2p.
std::string touchstoneName(const std::string& prefix, Method m);

// The plot: |S21| and |S11| in dB against frequency for both methods, band edges marked.
std::string svgPlot(const Study& s);
// The lowest level the plot shows, dB: deeper values are drawn at it.
inline constexpr double PLOT_FLOOR_DB = -80.0;

}  // namespace quendrix::analysis
