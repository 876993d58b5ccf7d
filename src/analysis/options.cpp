// Options of quendrix-response: parsing, defaults and checks.
#include "analysis/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "dialogue/design.h"

namespace quendrix::analysis {

Defaults builtInDefaults() {
  Defaults d;
  d.f0def = 3000.0f;
  d.bwdef = 900.0f;
  d.itorbdef = 1;
  d.rippledef = 0.1f;
  d.f1def = 3600.0f;
  d.a1def = 40.0f;
  d.ndef = 5;
  d.z0def = 50.0f;
  d.msorsldef = 1;
  d.heightms = 0.031f;
  d.erms = 2.2f;
  d.thickms = 0.0014f;
  d.heightsl = 0.062f;
  d.ersl = 2.2f;
  d.thicksl = 0.0014f;
  d.fnedef = text20("ELECTRICAL.TXT");
  d.fnddef = text20("DIMENSIONAL.TXT");
  return d;
}

bool helpRequested(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

std::string helpText() {
  return R"(Usage: quendrix-response [OPTION...]

The frequency response of a Quendrix wideband bandpass filter of quarter-wave short-circuited
stubs and connecting lines, designed by Matthaei's and by Cristal's equations, computed exactly
from its circuit (ABCD matrices of lossless TEM lines). A table goes to standard output; the
Touchstone files and the plot are written on request.

Electrical data (built-in defaults in brackets; a Quendrix.DEF in the working folder replaces
them with its own values):
  --f0 MHZ             centre frequency [3000]
  --bw MHZ             passband bandwidth, below 2*f0 [900]
  --response NAME      tchebyscheff or butterworth [tchebyscheff]
  --ripple DB          Tchebyscheff passband ripple, above 0 [0.1]
  --n N                number of sections, 2 to 40 [5]
  --skirt MHZ          skirt frequency outside the passband [3600]
  --attenuation DB     attenuation wanted at the skirt frequency, above the ripple [40]
                       (either of these two derives N from them instead of --n)
  --z0 OHMS            system impedance [50]

Construction (without one the lines are ideal, each a quarter wave long at f0):
  --microstrip         microstrip: each strip with its synthesized width, its quarter-wave
                       length at f0, and the frequency-dependent impedance and effective
                       permittivity of the microstrip model (dispersion)
  --stripline          stripline: synthesized widths, dispersion-free
  --h INCHES           dielectric thickness H, or stripline ground-plane spacing B
                       [microstrip 0.031, stripline 0.062]
  --er ER              relative dielectric constant, 1 or more [2.2]
  --t INCHES           strip thickness, 0 or more and below --h [0.0014]

Sweep:
  --from MHZ           first frequency, 0 or more [0]
  --to MHZ             last frequency, above --from and at most 1000000 [2*f0]
  --points N           number of equally spaced frequencies, 2 to 100001 [401]

Output:
  --touchstone PREFIX  write PREFIX-matthaei.s2p and PREFIX-cristal.s2p (Touchstone 1.1)
  --svg FILE           write a plot of |S21| and |S11| in dB against frequency, both methods
  --help               show this text

Every option takes its value as --name VALUE or as --name=VALUE.

The table has one line a frequency: f (MHz), then for Matthaei and then for Cristal: S21 (dB),
S21 (deg), S11 (dB), S11 (deg) and the group delay of S21 (ns). Lines beginning with # are
comments. Port 1 is terminated in z0 and port 2 in the load the design requires,
zload = g(n+1)*z0; S11 is referenced to z0 and S21 to both terminations.

The Touchstone files describe the same networks with both ports referenced to z0, as their
option line "# MHz S DB R <z0>" declares; when zload differs from z0 a "!" line says so, and a
reader terminating port 2 in zload sees the table's response.

The group delay is -d(arg S21)/d(omega), by a centred difference over f +- f0/10000 (0 at
f = 0, where S21 is exactly 0). Magnitudes below -300 dB are shown as -300 dB.

A bad option or value ends the program with one line naming it on standard error and exit
status 2, before any file is written.

A file named by --touchstone or --svg replaces an earlier one only when the whole run has
succeeded, the table included; a symbolic link is followed, a device or FIFO is written as it
is, and a folder, a socket or a file without write permission is refused.
)";
}

namespace {

struct Given {
  std::string text;  // the value as typed
};

// The options of the command line, by name, the last one winning.
struct Parsed {
  std::map<std::string, Given> values;
  bool microstrip = false, stripline = false;
  bool has(const std::string& name) const { return values.count(name) != 0; }
};

const char* const VALUED[] = {"--f0",    "--bw", "--response", "--ripple", "--n",      "--skirt",      "--attenuation",
                              "--z0",    "--h",  "--er",       "--t",      "--from",   "--to",         "--points",
                              "--touchstone", "--svg"};

bool isValued(const std::string& name) {
  return std::any_of(std::begin(VALUED), std::end(VALUED), [&](const char* v) { return name == v; });
}

Parsed scan(const std::vector<std::string>& args) {
  Parsed p;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0 || arg.size() == 2) throw OptionError{arg, "unexpected argument"};
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (name == "--microstrip" || name == "--stripline") {
      if (eq != std::string::npos) throw OptionError{name, "takes no value"};
      (name == "--microstrip" ? p.microstrip : p.stripline) = true;
      continue;
    }
    if (!isValued(name)) throw OptionError{name, "unknown option (see --help)"};
    if (eq != std::string::npos) {
      p.values[name] = Given{arg.substr(eq + 1)};
    } else {
      if (i + 1 >= args.size()) throw OptionError{name, "needs a value"};
      p.values[name] = Given{args[++i]};
    }
  }
  if (p.microstrip && p.stripline) throw OptionError{"--stripline", "cannot be combined with --microstrip"};
  return p;
}

std::string shown(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", x);
  return buf;
}

// A finite real, as typed (an optional sign, digits, point, exponent).
double realValue(const std::string& name, const std::string& text) {
  std::string_view s = text;
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double x = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(x))
    throw OptionError{name, "'" + text + "' is not a finite number"};
  return x;
}

// A real that the design holds in single precision.
float floatValue(const std::string& name, const std::string& text) {
  const double x = realValue(name, text);
  const float f = static_cast<float>(x);
  if (!std::isfinite(f)) throw OptionError{name, "'" + text + "' is out of range"};
  return f;
}

int wholeValue(const std::string& name, const std::string& text) {
  std::string_view s = text;
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  int x = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size())
    throw OptionError{name, "'" + text + "' is not a whole number"};
  return x;
}

// The value of a real option: typed, or the default. `from` names where a default came from.
struct Value {
  float x;
  std::string said;  // the value as the messages show it
};

Value floatOption(const Parsed& p, const std::string& name, float fallback, const std::string& from) {
  if (p.has(name)) {
    const std::string& t = p.values.at(name).text;
    return Value{floatValue(name, t), t};
  }
  // A default passes the same test as a typed value.
  if (!std::isfinite(fallback)) throw OptionError{name, shown(fallback) + " (" + from + ") is not a finite number"};
  return Value{fallback, shown(fallback) + " (" + from + ")"};
}

std::string lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace

Request parseRequest(const std::vector<std::string>& args, const Defaults& d) {
  const Parsed p = scan(args);
  const std::string dflt = "default";
  Request r;
  FilterSpec& fs = r.fs;

  // Centre frequency and band.
  const Value f0 = floatOption(p, "--f0", d.f0def, dflt);
  if (!(f0.x > 0)) throw OptionError{"--f0", f0.said + " must be greater than 0"};
  const Value bw = floatOption(p, "--bw", d.bwdef, dflt);
  if (!(bw.x > 0) || !(static_cast<double>(bw.x) < 2.0 * f0.x))
    throw OptionError{"--bw", bw.said + " must be greater than 0 and less than 2*f0 (" + shown(2.0 * f0.x) + ")"};
  fs.f0 = f0.x;
  fs.bw = bw.x;
  const BandValues band = bandValues(fs.f0, fs.bw);
  if (!(band.flow > 0)) throw OptionError{"--bw", bw.said + " leaves no band above 0 MHz"};
  fs.flow = band.flow;
  fs.fhigh = band.fhigh;
  fs.theta1 = band.theta1;

  // Response and ripple.
  fs.itorb = d.itorbdef;
  if (p.has("--response")) {
    const std::string name = lower(p.values.at("--response").text);
    if (name == "tchebyscheff") {
      fs.itorb = 1;
    } else if (name == "butterworth") {
      fs.itorb = 2;
    } else {
      throw OptionError{"--response", "'" + p.values.at("--response").text + "' is neither tchebyscheff nor butterworth"};
    }
  }
  fs.torb = text20(fs.itorb == 2 ? "Butterworth" : "Tchebyscheff");
  const Value ripple = floatOption(p, "--ripple", d.rippledef, dflt);
  if ((fs.itorb != 2 || p.has("--ripple")) && !(ripple.x > 0))
    throw OptionError{"--ripple", ripple.said + " must be greater than 0"};
  fs.ripple = ripple.x;  // a Butterworth design carries it into the order formula only

  // Number of sections: entered, or derived from the skirt.
  const bool derived = p.has("--skirt") || p.has("--attenuation");
  if (derived) {
    if (p.has("--n")) throw OptionError{"--n", "cannot be combined with --skirt or --attenuation"};
    const Value f1 = floatOption(p, "--skirt", d.f1def, dflt);
    if (!(f1.x > 0) || !(f1.x < fs.flow || f1.x > fs.fhigh))
      throw OptionError{"--skirt", f1.said + " must be a frequency above 0 outside the passband " + shown(fs.flow) +
                                       " to " + shown(fs.fhigh) + " MHz"};
    const Value a1 = floatOption(p, "--attenuation", d.a1def, dflt);
    if (!(a1.x > 0) || !(a1.x > fs.ripple))
      throw OptionError{"--attenuation", a1.said + " must be greater than 0 and than the ripple (" + shown(fs.ripple) + " dB)"};
    fs.ifunc = 2;
    fs.f1 = f1.x;
    fs.a1 = a1.x;
    const std::string culprit = p.has("--attenuation") ? "--attenuation" : "--skirt";
    // nsectn fails outright, or (an attenuation whose power ratio overflows single precision)
    // falls back on 2 sections that do not reach it; a2 is otherwise at least a1, less the
    // order formula's allowance of 0.001 section.
    if (sectionsFromSkirt(fs) != 0 || !(fs.a2 >= 0.99f * fs.a1))
      throw OptionError{culprit, "no number of sections reaches " + shown(fs.a1) + " dB at " + shown(fs.f1) + " MHz"};
    if (fs.n > MAX_POLES)
      throw OptionError{culprit, shown(fs.a1) + " dB at " + shown(fs.f1) + " MHz needs " + std::to_string(fs.n) +
                                     " sections, more than " + std::to_string(MAX_POLES)};
  } else {
    fs.ifunc = 1;
    std::string said = std::to_string(d.ndef) + " (default)";
    fs.n = d.ndef;
    if (p.has("--n")) {
      said = p.values.at("--n").text;
      fs.n = wholeValue("--n", said);
    }
    if (fs.n < 2 || fs.n > MAX_POLES)
      throw OptionError{"--n", said + " must be from 2 to " + std::to_string(MAX_POLES)};
  }

  const Value z0 = floatOption(p, "--z0", d.z0def, dflt);
  if (!(z0.x > 0)) throw OptionError{"--z0", z0.said + " must be greater than 0"};
  fs.z0 = z0.x;

  // Construction.
  r.physical = p.microstrip || p.stripline;
  for (const char* name : {"--h", "--er", "--t"}) {
    if (!r.physical && p.has(name)) throw OptionError{name, "needs --microstrip or --stripline"};
  }
  if (r.physical) {
    const bool ms = p.microstrip;
    r.c.msorsl = ms ? 1 : 2;
    r.c.slorms = text20(ms ? "Microstrip" : "Stripline");
    const Value h = floatOption(p, "--h", ms ? d.heightms : d.heightsl, dflt);
    if (!(h.x > 0)) throw OptionError{"--h", h.said + " must be greater than 0"};
    const Value er = floatOption(p, "--er", ms ? d.erms : d.ersl, dflt);
    if (!(er.x >= 1)) throw OptionError{"--er", er.said + " must be 1 or more"};
    const Value t = floatOption(p, "--t", ms ? d.thickms : d.thicksl, dflt);
    if (!(t.x >= 0) || !(t.x < h.x)) throw OptionError{"--t", t.said + " must be 0 or more and less than --h (" + h.said + ")"};
    r.c.height = h.x;
    r.c.er = er.x;
    r.c.thick = t.x;
  }

  // Sweep.
  r.from = p.has("--from") ? realValue("--from", p.values.at("--from").text) : 0.0;
  if (!(r.from >= 0)) throw OptionError{"--from", p.values.at("--from").text + " must be 0 or more"};
  r.to = p.has("--to") ? realValue("--to", p.values.at("--to").text) : 2.0 * fs.f0;
  if (!(r.to > r.from)) {
    if (p.has("--to")) throw OptionError{"--to", p.values.at("--to").text + " must be greater than --from (" + shown(r.from) + ")"};
    throw OptionError{"--from", p.values.at("--from").text + " must be less than --to (" + shown(r.to) + ", 2*f0)"};
  }
  if (!(r.to <= MAX_FREQUENCY)) {
    const std::string limit = std::to_string(static_cast<long long>(MAX_FREQUENCY)) + " MHz";
    if (p.has("--to")) throw OptionError{"--to", p.values.at("--to").text + " must be at most " + limit};
    throw OptionError{"--f0", f0.said + " puts the sweep's default end, 2*f0, above " + limit + ": give --to"};
  }
  r.points = DEFAULT_POINTS;
  if (p.has("--points")) {
    const std::string& t = p.values.at("--points").text;
    r.points = wholeValue("--points", t);
    if (r.points < 2 || r.points > MAX_POINTS)
      throw OptionError{"--points", t + " must be from 2 to " + std::to_string(MAX_POINTS)};
  }

  // Outputs.
  if (p.has("--touchstone")) {
    r.touchstone = p.values.at("--touchstone").text;
    if (r.touchstone.empty()) throw OptionError{"--touchstone", "needs a file name prefix"};
  }
  if (p.has("--svg")) {
    r.svg = p.values.at("--svg").text;
    if (r.svg.empty()) throw OptionError{"--svg", "needs a file name"};
  }
  return r;
}

}  // namespace quendrix::analysis
