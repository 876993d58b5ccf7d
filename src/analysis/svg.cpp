// The SVG plot of |S21| and |S11| in dB against frequency, both methods, band edges marked.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/outputs.h"

namespace quendrix::analysis {

namespace {

// Page and plot area, in SVG user units (pixels).
constexpr double WIDTH = 960, HEIGHT = 600;
constexpr double LEFT = 80, RIGHT = 770, TOP = 70, BOTTOM = 520;

std::string num(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", x);
  return buf;
}

std::string label(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", x);
  return buf;
}

std::string escaped(const std::string& s) {
  std::string e;
  for (const char ch : s) {
    switch (ch) {
      case '&': e += "&amp;"; break;
      case '<': e += "&lt;"; break;
      case '>': e += "&gt;"; break;
      case '"': e += "&quot;"; break;
      default: e += ch;
    }
  }
  return e;
}

// A round tick step (1, 2 or 5 times a power of ten) giving about `count` intervals over span.
double tickStep(double span, int count) {
  const double raw = span / count;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * p >= raw) return m * p;
  }
  return 10.0 * p;
}

struct Axes {
  double fmin, fmax, dbmin, dbmax;
  double x(double f) const { return LEFT + (f - fmin) / (fmax - fmin) * (RIGHT - LEFT); }
  double y(double db) const {
    const double c = std::clamp(db, dbmin, dbmax);
    return BOTTOM - (c - dbmin) / (dbmax - dbmin) * (BOTTOM - TOP);
  }
};

std::string text(double x, double y, const std::string& s, const char* anchor, int size,
                 const std::string& extra = "") {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" text-anchor=\"" + anchor + "\" font-size=\"" +
         std::to_string(size) + "\"" + extra + ">" + escaped(s) + "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2, const std::string& style) {
  return "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" + num(y2) + "\" " + style +
         "/>\n";
}

const char* const COLOURS[] = {"#1f4e9c", "#c0392b"};  // Matthaei, Cristal

}  // namespace

std::string svgPlot(const Study& s) {
  // The level axis: from 0 dB down to the deepest value in 10 dB steps, at most to the floor.
  double deepest = 0;
  for (const auto& r : s.responses) {
    for (const ResponsePoint& p : r) {
      deepest = std::min({deepest, reportedDb(p.s.s21Db), reportedDb(magnitudeDb(p.s.s11))});
    }
  }
  const double dbmin = std::min(-10.0, std::max(PLOT_FLOOR_DB, 10.0 * std::floor(deepest / 10.0)));
  const Axes ax{s.frequencies.front(), s.frequencies.back(), dbmin, 5.0};

  std::string g;
  g += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  g += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + label(WIDTH) + "\" height=\"" + label(HEIGHT) +
       "\" viewBox=\"0 0 " + label(WIDTH) + " " + label(HEIGHT) + "\" font-family=\"sans-serif\">\n";
  g += "<title>Quendrix filter response</title>\n";
  g += "<rect x=\"0\" y=\"0\" width=\"" + label(WIDTH) + "\" height=\"" + label(HEIGHT) + "\" fill=\"white\"/>\n";
  g += text(WIDTH / 2, 26, "Frequency response: |S21| and |S11| by Matthaei's and Cristal's designs", "middle", 16,
            " font-weight=\"bold\"");
  g += text(WIDTH / 2, 46, designSummary(s), "middle", 11);

  // Grid, ticks and tick labels.
  g += "<g id=\"grid\" stroke=\"#dddddd\" stroke-width=\"1\">\n";
  const double fstep = tickStep(ax.fmax - ax.fmin, 10);
  std::string fticks, dbticks;
  for (double f = std::ceil(ax.fmin / fstep) * fstep; f <= ax.fmax + 1e-9 * fstep; f += fstep) {
    g += line(ax.x(f), TOP, ax.x(f), BOTTOM, "");
    fticks += line(ax.x(f), BOTTOM, ax.x(f), BOTTOM + 5, "stroke=\"black\"");
    fticks += text(ax.x(f), BOTTOM + 20, label(std::fabs(f) < 1e-9 * fstep ? 0.0 : f), "middle", 12);
  }
  for (double db = 0; db >= ax.dbmin - 1e-9; db -= 10) {
    g += line(LEFT, ax.y(db), RIGHT, ax.y(db), "");
    dbticks += line(LEFT - 5, ax.y(db), LEFT, ax.y(db), "stroke=\"black\"");
    dbticks += text(LEFT - 9, ax.y(db) + 4, label(db), "end", 12);
  }
  g += "</g>\n";
  g += "<g id=\"ticks\">\n" + fticks + dbticks + "</g>\n";
  g += "<rect x=\"" + num(LEFT) + "\" y=\"" + num(TOP) + "\" width=\"" + num(RIGHT - LEFT) + "\" height=\"" +
       num(BOTTOM - TOP) + "\" fill=\"none\" stroke=\"black\"/>\n";
  g += text((LEFT + RIGHT) / 2, BOTTOM + 46, "Frequency (MHz)", "middle", 14);
  g += text(24, (TOP + BOTTOM) / 2, "Magnitude (dB)", "middle", 14,
            " transform=\"rotate(-90 24 " + num((TOP + BOTTOM) / 2) + ")\"");

  // Band edges.
  g += "<g id=\"band-edges\">\n";
  const struct {
    double f;
    const char* name;
    const char* anchor;
    double dx;
  } edges[] = {{s.fs.flow, "flow", "end", -4}, {s.fs.fhigh, "fhigh", "start", 4}};
  for (const auto& e : edges) {
    if (e.f < ax.fmin || e.f > ax.fmax) continue;
    g += line(ax.x(e.f), TOP, ax.x(e.f), BOTTOM, "stroke=\"#555555\" stroke-dasharray=\"6 4\"");
    g += text(ax.x(e.f) + e.dx, TOP + 14, std::string(e.name) + " " + label(e.f) + " MHz", e.anchor, 11);
  }
  g += "</g>\n";

  // The curves: S21 solid, S11 dashed, one colour a method.
  g += "<g id=\"curves\" fill=\"none\" stroke-width=\"1.6\">\n";
  for (std::size_t m = 0; m < s.circuits.size(); ++m) {
    const std::string method = methodName(s.circuits[m].method);
    for (const bool s21 : {true, false}) {
      std::string pts;
      for (const ResponsePoint& p : s.responses[m]) {
        const double db = s21 ? reportedDb(p.s.s21Db) : reportedDb(magnitudeDb(p.s.s11));
        if (!pts.empty()) pts += ' ';
        pts += num(ax.x(p.f)) + "," + num(ax.y(db));
      }
      g += "<polyline id=\"" + method + (s21 ? "-S21" : "-S11") + "\" stroke=\"" + COLOURS[m % 2] + "\"" +
           (s21 ? "" : " stroke-dasharray=\"5 3\"") + " points=\"" + pts + "\"/>\n";
    }
  }
  g += "</g>\n";

  // Legend.
  g += "<g id=\"legend\" font-size=\"12\">\n";
  double ly = TOP + 10;
  for (std::size_t m = 0; m < s.circuits.size(); ++m) {
    const std::string method = methodName(s.circuits[m].method);
    for (const bool s21 : {true, false}) {
      g += line(RIGHT + 20, ly, RIGHT + 50, ly,
                std::string("stroke=\"") + COLOURS[m % 2] + "\" stroke-width=\"1.6\"" +
                    (s21 ? "" : " stroke-dasharray=\"5 3\""));
      g += text(RIGHT + 56, ly + 4, method + (s21 ? " |S21|" : " |S11|"), "start", 12);
      ly += 20;
    }
  }
  g += line(RIGHT + 20, ly, RIGHT + 50, ly, "stroke=\"#555555\" stroke-dasharray=\"6 4\"");
  g += text(RIGHT + 56, ly + 4, "band edges", "start", 12);
  ly += 20;
  g += text(RIGHT + 20, ly + 4, "below " + label(ax.dbmin) + " dB: drawn at " + label(ax.dbmin), "start", 10);
  g += "</g>\n";
  g += "</svg>\n";
  return g;
}

}  // namespace quendrix::analysis
