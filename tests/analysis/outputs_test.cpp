// The table, the Touchstone files and the plot, read back with readers of their own.
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "analysis/outputs.h"
#include "analysis_support.h"
#include "file_readers.h"

namespace quendrix::analysis::testing {
namespace {

double radians(double deg) { return deg * std::numbers::pi / 180.0; }

// S from a dB, degree pair.
Complex fromDb(double db, double deg) { return std::polar(std::pow(10.0, db / 20.0), radians(deg)); }

// Renormalises a two-port given by S-parameters with both ports at z0 to a load zl at port 2
// (port 1 stays at z0): through the ABCD matrix, standard network theory, independently of the
// program's arithmetic.
Complex s21AtLoad(Complex s11, Complex s21, Complex s12, Complex s22, double z0, double zl) {
  const Complex den = 2.0 * s21;
  const Complex a = ((1.0 + s11) * (1.0 - s22) + s12 * s21) / den;
  const Complex b = z0 * ((1.0 + s11) * (1.0 + s22) - s12 * s21) / den;
  const Complex c = ((1.0 - s11) * (1.0 - s22) - s12 * s21) / (den * z0);
  const Complex d = ((1.0 - s11) * (1.0 + s22) + s12 * s21) / den;
  return 2.0 * std::sqrt(z0 * zl) / (a * zl + b + c * z0 * zl + d * z0);
}

// The file is Touchstone 1.1 with the declared option line, one data line a sweep frequency, and
// values that are the analysis with both ports at z0, to the digits written (8 decimals of dB,
// 6 of a degree). Port 2 of an even-N design is then re-terminated in zload by a reader's own
// arithmetic: across the band it gives back the table's S21, which the table states between z0
// and zload. (Out of band S11 nears -1 and the re-termination, through 1 + S11, magnifies the
// last digits written: there it is checked only to 0.01 dB.)
TEST(Touchstone, ReadsBackAsTheNetworkReferencedToZ0) {
  for (const char* n : {"5", "4"}) {
    const Study s = studyOf({"--n", n, "--from", "2000", "--to", "4000", "--points", "81"});
    for (std::size_t m = 0; m < s.circuits.size(); ++m) {
      const Circuit& c = s.circuits[m];
      SCOPED_TRACE(::testing::Message() << "n = " << n << " " << methodName(c.method));
      const Touchstone t = readTouchstone(touchstoneFile(s, m));
      ASSERT_EQ(t.error, "");
      EXPECT_EQ(t.option, (std::vector<std::string>{"MHz", "S", "DB", "R", "50"}));
      ASSERT_EQ(t.points.size(), s.frequencies.size());

      const bool differs = std::string(n) == "4";
      bool saysLoad = false;
      for (const std::string& comment : t.comments) saysLoad |= comment.find("zload = 67.769 ohms") != std::string::npos;
      EXPECT_EQ(saysLoad, differs);

      for (std::size_t i = 0; i < t.points.size(); ++i) {
        const TouchstonePoint& p = t.points[i];
        EXPECT_NEAR(p.f, s.frequencies[i], 1e-6);
        const SParameters a = analyse(c, p.f, 50.0, 50.0);
        EXPECT_NEAR(p.v[0], reportedDb(magnitudeDb(a.s11)), 1e-7);
        EXPECT_NEAR(p.v[2], a.s21Db, 1e-7);
        EXPECT_NEAR(std::remainder(p.v[3] - angleDegrees(a.s21Angle), 360.0), 0.0, 1e-5);
        EXPECT_NEAR(p.v[6], reportedDb(magnitudeDb(a.s22)), 1e-7);

        const Complex s21 = s21AtLoad(fromDb(p.v[0], p.v[1]), fromDb(p.v[2], p.v[3]), fromDb(p.v[4], p.v[5]),
                                      fromDb(p.v[6], p.v[7]), 50.0, c.zLoad);
        const ResponsePoint& row = s.responses[m][i];
        const bool inBand = p.f >= s.fs.flow && p.f <= s.fs.fhigh;
        EXPECT_NEAR(magnitudeDb(s21), row.s.s21Db, inBand ? 1e-5 : 1e-2) << p.f;
        EXPECT_NEAR(std::remainder(angleDegrees(s21) - angleDegrees(row.s.s21Angle), 360.0), 0.0, inBand ? 1e-4 : 0.1)
            << p.f;
      }
    }
  }
}

// The table: two comment lines, then one line a sweep frequency with f and five columns a
// method, agreeing with the analysis to the decimals printed.
TEST(Table, OneLineAFrequencyWithBothMethods) {
  const Study s = studyOf({"--points", "41"});
  std::size_t comments = 0;
  const auto rows = readTable(responseTable(s), comments);
  EXPECT_EQ(comments, 2u);
  ASSERT_EQ(rows.size(), 41u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 11u);
    EXPECT_NEAR(rows[i][0], s.frequencies[i], 5e-5);
    for (std::size_t m = 0; m < 2; ++m) {
      const ResponsePoint& p = s.responses[m][i];
      const double* col = &rows[i][1 + 5 * m];
      EXPECT_NEAR(col[0], reportedDb(p.s.s21Db), 5e-5);
      EXPECT_NEAR(col[2], reportedDb(magnitudeDb(p.s.s11)), 5e-5);
      EXPECT_NEAR(col[4], p.delay, 5e-6);
    }
  }
  // The sweep's ends: the default is one period of the response, 0 to 2 f0.
  EXPECT_EQ(rows.front()[0], 0.0);
  EXPECT_EQ(rows.back()[0], 6000.0);
  EXPECT_EQ(rows.front()[1], DB_FLOOR);  // S21 = 0 at f = 0
}

#ifdef QUENDRIX_HAVE_EXPAT
const XmlElement* byId(const XmlDocument& d, const std::string& id) {
  for (const XmlElement& e : d.elements) {
    auto it = e.attributes.find("id");
    if (it != e.attributes.end() && it->second == id) return &e;
  }
  return nullptr;
}

bool hasText(const XmlDocument& d, const std::string& text) {
  for (const XmlElement& e : d.elements)
    if (e.name == "text" && e.text.find(text) != std::string::npos) return true;
  return false;
}

// The plot is well-formed SVG with both methods' |S21| and |S11|, one point a sweep frequency,
// all inside the plot frame (values below the floor drawn at it), labelled axes, and the band
// edges drawn exactly where the curves pass flow and fhigh. At f0 the S21 curves sit on the 0 dB
// grid line.
TEST(Svg, PlotIsWellFormedWithCurvesAxesAndBandEdges) {
  const Study s = studyOf({"--points", "401"});
  const XmlDocument d = parseXml(svgPlot(s));
  ASSERT_TRUE(d.wellFormed) << d.error;
  ASSERT_FALSE(d.elements.empty());
  EXPECT_EQ(d.elements.front().name, "svg");
  EXPECT_EQ(d.elements.front().attributes.at("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_TRUE(d.elements.front().attributes.count("viewBox"));
  EXPECT_TRUE(hasText(d, "Frequency (MHz)"));
  EXPECT_TRUE(hasText(d, "Magnitude (dB)"));
  for (const char* legend : {"Matthaei |S21|", "Matthaei |S11|", "Cristal |S21|", "Cristal |S11|", "band edges"})
    EXPECT_TRUE(hasText(d, legend)) << legend;

  const XmlElement* frame = nullptr;
  for (const XmlElement& e : d.elements)
    if (e.name == "rect" && e.attributes.count("stroke")) frame = &e;
  ASSERT_NE(frame, nullptr);
  const double left = std::stod(frame->attributes.at("x")), top = std::stod(frame->attributes.at("y"));
  const double right = left + std::stod(frame->attributes.at("width"));
  const double bottom = top + std::stod(frame->attributes.at("height"));

  // Sweep index of flow, f0 and fhigh (2550, 3000, 3450 MHz on a 15 MHz grid).
  const std::size_t iLow = 170, iF0 = 200, iHigh = 230;
  ASSERT_EQ(s.frequencies[iLow], 2550.0);
  ASSERT_EQ(s.frequencies[iHigh], 3450.0);
  std::vector<std::pair<double, double>> s21;
  for (const char* id : {"Matthaei-S21", "Matthaei-S11", "Cristal-S21", "Cristal-S11"}) {
    const XmlElement* curve = byId(d, id);
    ASSERT_NE(curve, nullptr) << id;
    const auto xy = polylinePoints(curve->attributes.at("points"));
    ASSERT_EQ(xy.size(), s.frequencies.size()) << id;
    for (const auto& [x, y] : xy) {
      EXPECT_GE(x, left - 0.01);
      EXPECT_LE(x, right + 0.01);
      EXPECT_GE(y, top - 0.01);
      EXPECT_LE(y, bottom + 0.01);
    }
    if (std::string(id) == "Matthaei-S21") s21 = xy;
  }
  EXPECT_NEAR(s21.front().second, bottom, 0.01) << "the zero at f = 0 is drawn at the floor";

  std::vector<double> edges;
  const XmlElement* group = byId(d, "band-edges");
  ASSERT_NE(group, nullptr);
  for (const XmlElement& e : d.elements)
    if (e.name == "line" && e.attributes.count("stroke-dasharray") && &e > group && e.attributes.at("stroke") == "#555555" &&
        e.attributes.at("y1") != e.attributes.at("y2"))
      edges.push_back(std::stod(e.attributes.at("x1")));
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_NEAR(edges[0], s21[iLow].first, 0.011);
  EXPECT_NEAR(edges[1], s21[iHigh].first, 0.011);
  EXPECT_TRUE(hasText(d, "flow 2550 MHz"));
  EXPECT_TRUE(hasText(d, "fhigh 3450 MHz"));

  // The 0 dB grid line passes through the S21 curve at f0, where this odd design is matched.
  bool zeroLine = false;
  for (const XmlElement& e : d.elements) {
    if (e.name != "line" || e.attributes.count("stroke")) continue;  // grid lines take the group's stroke
    if (e.attributes.at("y1") == e.attributes.at("y2") && std::fabs(std::stod(e.attributes.at("y1")) - s21[iF0].second) < 1.0)
      zeroLine = true;
  }
  EXPECT_TRUE(zeroLine);
}
#endif

}  // namespace
}  // namespace quendrix::analysis::testing
