// Readers of what quendrix-response writes, independent of the writers: a Touchstone 1.1 reader,
// the table's number lines, and an XML reader (expat) of the SVG plot.
#pragma once

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifdef QUENDRIX_HAVE_EXPAT
#include <expat.h>
#endif

namespace quendrix::analysis::testing {

struct TouchstonePoint {
  double f;
  double v[8];  // S11, S21, S12, S22 as dB, degree pairs
};

struct Touchstone {
  std::vector<std::string> comments;  // the "!" lines, without the "!"
  std::vector<std::string> option;    // the words of the "#" line
  std::vector<TouchstonePoint> points;
  std::string error;                  // empty when the file reads as Touchstone 1.1 2-port data
};

inline Touchstone readTouchstone(const std::string& text) {
  Touchstone t;
  std::istringstream in(text);
  std::string line;
  int options = 0;
  while (std::getline(in, line)) {
    const std::size_t bang = line.find('!');
    if (bang != std::string::npos) {
      t.comments.push_back(line.substr(bang + 1));
      line = line.substr(0, bang);
    }
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "#") {
      ++options;
      for (std::string w; words >> w;) t.option.push_back(w);
      continue;
    }
    if (options == 0) t.error = "data before the option line";
    TouchstonePoint p{};
    std::istringstream numbers(line);
    numbers >> p.f;
    for (double& x : p.v) numbers >> x;
    std::string rest;
    if (numbers.fail() || (numbers >> rest)) t.error = "not 9 numbers: " + line;
    if (!t.points.empty() && !(p.f > t.points.back().f)) t.error = "frequencies not increasing";
    t.points.push_back(p);
  }
  if (options != 1) t.error = "not exactly one option line";
  return t;
}

// The number lines of the table (lines starting with # are comments).
inline std::vector<std::vector<double>> readTable(const std::string& text, std::size_t& comments) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(text);
  comments = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("#", 0) == 0) {
      ++comments;
      continue;
    }
    std::istringstream words(line);
    std::vector<double> row;
    for (double x; words >> x;) row.push_back(x);
    rows.push_back(row);
  }
  return rows;
}

// An element of the SVG: its name, attributes and text, in document order.
struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;
};
struct XmlDocument {
  bool wellFormed = false;
  std::string error;
  std::vector<XmlElement> elements;
};

#ifdef QUENDRIX_HAVE_EXPAT
inline XmlDocument parseXml(const std::string& text) {
  struct State {
    XmlDocument doc;
    std::vector<std::size_t> open;
  } state;
  XML_Parser p = XML_ParserCreate("UTF-8");
  XML_SetUserData(p, &state);
  XML_SetElementHandler(
      p,
      [](void* data, const XML_Char* name, const XML_Char** attrs) {
        auto* s = static_cast<State*>(data);
        XmlElement e{name, {}, {}};
        for (int i = 0; attrs[i] != nullptr; i += 2) e.attributes[attrs[i]] = attrs[i + 1];
        s->open.push_back(s->doc.elements.size());
        s->doc.elements.push_back(e);
      },
      [](void* data, const XML_Char*) { static_cast<State*>(data)->open.pop_back(); });
  XML_SetCharacterDataHandler(p, [](void* data, const XML_Char* s, int len) {
    auto* st = static_cast<State*>(data);
    if (!st->open.empty()) st->doc.elements[st->open.back()].text.append(s, static_cast<std::size_t>(len));
  });
  state.doc.wellFormed = XML_Parse(p, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
  if (!state.doc.wellFormed) state.doc.error = XML_ErrorString(XML_GetErrorCode(p));
  XML_ParserFree(p);
  return state.doc;
}
#endif

// The x,y pairs of a polyline's points attribute.
inline std::vector<std::pair<double, double>> polylinePoints(const std::string& points) {
  std::vector<std::pair<double, double>> xy;
  std::istringstream in(points);
  for (std::string pair; in >> pair;) {
    const std::size_t comma = pair.find(',');
    xy.emplace_back(std::stod(pair.substr(0, comma)), std::stod(pair.substr(comma + 1)));
  }
  return xy;
}

}  // namespace quendrix::analysis::testing
