// The options of quendrix-response: both spellings, the defaults behind them, and the refusals.
#include <limits>

#include <gtest/gtest.h>

#include "analysis/options.h"
#include "dialogue/records.h"
#include "textio/textio.h"

namespace quendrix::analysis {
namespace {

Request parse(const std::vector<std::string>& args) { return parseRequest(args, builtInDefaults()); }

// The built-in values are those of the shipped Quendrix.DEF, read by the interactive program's
// own loader: the program behaves alike with and without the file.
TEST(Options, BuiltInDefaultsAreTheShippedFile) {
  openFile(UNIT_FILE2, std::string(QUENDRIX_SOURCE_DIR) + "/Quendrix.DEF", OpenMode::READ_EXISTING);
  Defaults shipped;
  DefaultsFault fault;
  ASSERT_TRUE(readDefaults(shipped, fault)) << fault.var;
  closeUnit(UNIT_FILE2);
  const Defaults b = builtInDefaults();
  EXPECT_EQ(b.f0def, shipped.f0def);
  EXPECT_EQ(b.bwdef, shipped.bwdef);
  EXPECT_EQ(b.itorbdef, shipped.itorbdef);
  EXPECT_EQ(b.rippledef, shipped.rippledef);
  EXPECT_EQ(b.f1def, shipped.f1def);
  EXPECT_EQ(b.a1def, shipped.a1def);
  EXPECT_EQ(b.ndef, shipped.ndef);
  EXPECT_EQ(b.z0def, shipped.z0def);
  EXPECT_EQ(b.msorsldef, shipped.msorsldef);
  EXPECT_EQ(b.heightms, shipped.heightms);
  EXPECT_EQ(b.erms, shipped.erms);
  EXPECT_EQ(b.thickms, shipped.thickms);
  EXPECT_EQ(b.heightsl, shipped.heightsl);
  EXPECT_EQ(b.ersl, shipped.ersl);
  EXPECT_EQ(b.thicksl, shipped.thicksl);
  EXPECT_EQ(b.fnedef, shipped.fnedef);
  EXPECT_EQ(b.fnddef, shipped.fnddef);
}

// Without options: the defaults' design (N entered), ideal lines, 0 to 2 f0 in 401 points, the
// band values as the interactive dialogue derives them.
TEST(Options, DefaultsGiveTheWorkedExample) {
  const Request r = parse({});
  EXPECT_EQ(r.fs.f0, 3000.0f);
  EXPECT_EQ(r.fs.flow, 2550.0f);
  EXPECT_EQ(r.fs.fhigh, 3450.0f);
  EXPECT_FLOAT_EQ(r.fs.theta1, 1.3351769f);
  EXPECT_EQ(r.fs.itorb, 1);
  EXPECT_EQ(r.fs.ripple, 0.1f);
  EXPECT_EQ(r.fs.n, 5);
  EXPECT_EQ(r.fs.z0, 50.0f);
  EXPECT_FALSE(r.physical);
  EXPECT_EQ(r.from, 0.0);
  EXPECT_EQ(r.to, 6000.0);
  EXPECT_EQ(r.points, 401);
  EXPECT_TRUE(r.touchstone.empty());
  EXPECT_TRUE(r.svg.empty());
}

// --name value and --name=value mean the same; a later option replaces an earlier one.
TEST(Options, BothSpellingsAndTheLastOneWins) {
  const Request a = parse({"--f0", "2000", "--bw=500", "--response=Butterworth", "--n", "7", "--z0=75", "--stripline",
                           "--h", "0.1", "--er=3.5", "--t", "0", "--from=100", "--to", "300", "--points=3",
                           "--touchstone", "out/x", "--svg=p.svg", "--n=9"});
  EXPECT_EQ(a.fs.f0, 2000.0f);
  EXPECT_EQ(a.fs.bw, 500.0f);
  EXPECT_EQ(a.fs.itorb, 2);
  EXPECT_EQ(a.fs.n, 9);
  EXPECT_EQ(a.fs.z0, 75.0f);
  EXPECT_TRUE(a.physical);
  EXPECT_EQ(a.c.msorsl, 2);
  EXPECT_EQ(a.c.height, 0.1f);
  EXPECT_EQ(a.c.er, 3.5f);
  EXPECT_EQ(a.c.thick, 0.0f);
  EXPECT_EQ(a.from, 100.0);
  EXPECT_EQ(a.to, 300.0);
  EXPECT_EQ(a.points, 3);
  EXPECT_EQ(a.touchstone, "out/x");
  EXPECT_EQ(a.svg, "p.svg");
}

// A construction without its dimensions takes those of the defaults for that construction.
TEST(Options, ConstructionDimensionsFromTheDefaults) {
  const Request ms = parse({"--microstrip"});
  EXPECT_EQ(ms.c.msorsl, 1);
  EXPECT_EQ(ms.c.height, 0.031f);
  EXPECT_EQ(ms.c.er, 2.2f);
  EXPECT_EQ(ms.c.thick, 0.0014f);
  const Request sl = parse({"--stripline"});
  EXPECT_EQ(sl.c.msorsl, 2);
  EXPECT_EQ(sl.c.height, 0.062f);
}

// The skirt derives N as the interactive dialogue does: 40 dB at 3600 MHz needs N = 10 with
// nsectn's a2 = 41.73 dB; a skirt below the band takes flow as its edge.
TEST(Options, SkirtAndAttenuationDeriveN) {
  const Request r = parse({"--skirt", "3600"});
  EXPECT_EQ(r.fs.ifunc, 2);
  EXPECT_EQ(r.fs.n, 10);
  EXPECT_NEAR(r.fs.a2, 41.73f, 0.005f);
  EXPECT_EQ(r.fs.fc, 3450.0f);
  const Request low = parse({"--skirt", "2000", "--attenuation", "30"});
  EXPECT_EQ(low.fs.fc, 2550.0f);
  EXPECT_GE(low.fs.a2, 30.0f);
}

// Every refusal names its option.
TEST(Options, BadOptionsAndValuesNameTheOption) {
  const struct {
    std::vector<std::string> args;
    const char* option;
  } cases[] = {
      {{"--f0", "abc"}, "--f0"},
      {{"--f0", "-3"}, "--f0"},
      {{"--f0", "nan"}, "--f0"},
      {{"--f0", "1e40"}, "--f0"},
      {{"--f0"}, "--f0"},
      {{"--bw", "0"}, "--bw"},
      {{"--bw", "6000"}, "--bw"},
      {{"--f0", "400"}, "--bw"},  // the default 900 MHz is more than 2 f0
      {{"--response", "elliptic"}, "--response"},
      {{"--ripple", "0"}, "--ripple"},
      {{"--n", "1"}, "--n"},
      {{"--n", "41"}, "--n"},
      {{"--n", "5.5"}, "--n"},
      {{"--n", "5", "--skirt", "3600"}, "--n"},
      {{"--skirt", "3000"}, "--skirt"},
      {{"--skirt", "3450"}, "--skirt"},
      {{"--skirt", "0"}, "--skirt"},
      {{"--attenuation", "0.05"}, "--attenuation"},
      {{"--attenuation", "300"}, "--attenuation"},  // needs 50 sections, more than 40
      {{"--attenuation", "400"}, "--attenuation"},  // beyond the order formula's single precision
      {{"--response", "butterworth", "--skirt", "3460", "--attenuation", "60"}, "--attenuation"},
      {{"--z0", "0"}, "--z0"},
      {{"--h", "0.1"}, "--h"},  // without a construction
      {{"--microstrip", "--h", "0"}, "--h"},
      {{"--microstrip", "--er", "0.5"}, "--er"},
      {{"--microstrip", "--t", "-0.001"}, "--t"},
      {{"--microstrip", "--h", "0.001"}, "--t"},  // the default T is not below this H
      {{"--microstrip", "--stripline"}, "--stripline"},
      {{"--microstrip=1"}, "--microstrip"},
      {{"--from", "-1"}, "--from"},
      {{"--from", "7000"}, "--from"},
      {{"--to", "0"}, "--to"},
      {{"--to", "1e308"}, "--to"},  // a sweep beyond 1 THz
      {{"--from", "1e300", "--to", "1e301"}, "--to"},
      {{"--f0", "6e5", "--bw", "1000"}, "--f0"},  // its default sweep end 2 f0 is beyond 1 THz
      {{"--points", "1"}, "--points"},
      {{"--points", "100002"}, "--points"},
      {{"--touchstone="}, "--touchstone"},
      {{"--svg", ""}, "--svg"},
      {{"--frequency", "3000"}, "--frequency"},
      {{"3000"}, "3000"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    try {
      parse(c.args);
      ADD_FAILURE() << "accepted: " << joined;
    } catch (const OptionError& e) {
      EXPECT_EQ(e.option, c.option) << joined << ": " << e.what;
      EXPECT_FALSE(e.what.empty()) << joined;
      EXPECT_EQ(e.what.find('\n'), std::string::npos) << joined;
    }
  }
}

// The sweep may end at 1 THz exactly.
TEST(Options, SweepReachesItsLimit) {
  const Request r = parse({"--from", "999000", "--to", "1e6", "--points", "3"});
  EXPECT_EQ(r.to, MAX_FREQUENCY);
}

// A default that is not finite is refused as a typed one is, naming the option it stands for.
TEST(Options, InfiniteDefaultsAreRefused) {
  const struct {
    float Defaults::*entry;
    std::vector<std::string> args;
    const char* option;
  } cases[] = {
      {&Defaults::f0def, {}, "--f0"},
      {&Defaults::bwdef, {}, "--bw"},
      {&Defaults::rippledef, {}, "--ripple"},
      {&Defaults::z0def, {}, "--z0"},
      {&Defaults::a1def, {"--skirt", "3600"}, "--attenuation"},
      {&Defaults::erms, {"--microstrip"}, "--er"},
  };
  for (const auto& c : cases) {
    Defaults d = builtInDefaults();
    d.*c.entry = std::numeric_limits<float>::infinity();
    try {
      parseRequest(c.args, d);
      ADD_FAILURE() << "accepted an infinite default for " << c.option;
    } catch (const OptionError& e) {
      EXPECT_EQ(e.option, c.option) << e.what;
      EXPECT_NE(e.what.find("inf (default) is not a finite number"), std::string::npos) << e.what;
    }
  }
}

}  // namespace
}  // namespace quendrix::analysis
