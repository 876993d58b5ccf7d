// End-to-end tests of build/quendrix-response: run in a fresh folder, its standard output, standard
// error, exit status and the files it leaves.
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "file_readers.h"
#include "program_runs.h"

namespace quendrix::analysis::testing {
namespace {

std::size_t lineCount(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

const std::string SHIPPED_DEFAULTS = readFile(fs::path(QUENDRIX_SOURCE_DIR) / "Quendrix.DEF");

// Without options and without a defaults file: the worked example over 0 to 2 f0 in 401 points,
// on standard output only; with the shipped defaults file in the folder, the very same bytes.
TEST(Program, DefaultRunIsTheWorkedExampleTableWithOrWithoutTheDefaultsFile) {
  Folder bare;
  const Result r = run(bare, {});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(lineCount(r.out), 2u + 401u);
  EXPECT_EQ(r.out.rfind("# quendrix-response: Tchebyscheff 0.100 dB, N = 5, f0 = 3000 MHz, band 2550 to 3450 MHz", 0), 0u);
  EXPECT_TRUE(bare.files().empty());

  Folder withFile;
  withFile.write("Quendrix.DEF", SHIPPED_DEFAULTS);
  const Result d = run(withFile, {});
  EXPECT_EQ(d.status, 0);
  EXPECT_EQ(d.out, r.out);
  EXPECT_EQ(withFile.files(), std::set<std::string>{"Quendrix.DEF"});
}

// A defaults file in the working folder supplies the missing values: here a 2000 MHz,
// Butterworth, N = 3 design, swept by default to 2 f0 = 4000 MHz.
TEST(Program, DefaultsFileSuppliesMissingValues) {
  Folder f;
  std::string def = SHIPPED_DEFAULTS;
  def.replace(def.find("3000."), 5, "2000.");
  def.replace(def.find("900."), 4, "600.");
  def.replace(def.find("1.            Response"), 2, "2.");
  def.replace(def.find("5.            Number"), 2, "3.");
  f.write("Quendrix.DEF", def);
  const Result r = run(f, {"--points", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Butterworth 3.000 dB, N = 3, f0 = 2000 MHz, band 1700 to 2300 MHz"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n   4000.0000 "), std::string::npos) << r.out;
}

// A damaged defaults file is refused with one line naming the entry, exit status 2, and nothing on
// standard output.
TEST(Program, DamagedDefaultsFileNamesTheEntry) {
  const std::string shipped = SHIPPED_DEFAULTS;
  std::string bad = shipped;
  bad.replace(bad.find("3000."), 5, "abc  ");
  std::string inside = shipped;
  inside.replace(inside.find("3600."), 5, "3000.");
  const std::string truncated = shipped.substr(0, shipped.find("50.           System"));
  // Values beyond single precision, or infinite, pass the loader's "above zero" tests.
  std::string hugeFo = shipped;
  hugeFo.replace(hugeFo.find("3000."), 5, "1e39 ");
  std::string infiniteBw = shipped;  // would fail the skirt test on line 6 first
  infiniteBw.replace(infiniteBw.find("900."), 4, "inf ");
  std::string infiniteEr = shipped;  // an entry this run does not use
  infiniteEr.replace(infiniteEr.find("2.2           Micro"), 3, "inf");
  const struct {
    std::string file, message;
  } cases[] = {
      {bad, "quendrix-response: Quendrix.DEF: line 2 (Fo.) is not valid\n"},
      {inside, "quendrix-response: Quendrix.DEF: line 6 (Skirt Frequency.) is not valid\n"},
      {truncated, "quendrix-response: Quendrix.DEF: line 9 (System Impedance: Zo) is missing\n"},
      {"", "quendrix-response: Quendrix.DEF: line 1 (1st line.) is missing\n"},
      {hugeFo, "quendrix-response: Quendrix.DEF: line 2 (Fo.) is not valid\n"},
      {infiniteBw, "quendrix-response: Quendrix.DEF: line 3 (Bandwidth.) is not valid\n"},
      {infiniteEr, "quendrix-response: Quendrix.DEF: line 12 (Microstrip`s Er.) is not valid\n"},
  };
  for (const auto& c : cases) {
    Folder f;
    f.write("Quendrix.DEF", c.file);
    const Result r = run(f, {"--svg", "plot.svg"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(f.files(), std::set<std::string>{"Quendrix.DEF"});
  }
}

// A defaults file that is there but cannot be read is refused with the reason; a symbolic link
// to nothing is such a file, not an absent one.
TEST(Program, UnreadableDefaultsFileSaysWhy) {
  Folder folder;
  fs::create_directory(folder.dir / "Quendrix.DEF");
  const Result r = run(folder, {"--svg", "plot.svg"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "quendrix-response: Quendrix.DEF: cannot be read: Is a directory\n");
  EXPECT_EQ(r.out, "");

  Folder dangling;
  fs::create_symlink("gone.DEF", dangling.dir / "Quendrix.DEF");
  const Result d = run(dangling, {"--svg", "plot.svg"});
  EXPECT_EQ(d.status, 2);
  EXPECT_EQ(d.err,
            "quendrix-response: Quendrix.DEF: cannot be read: No such file or directory (a symbolic link to a missing "
            "file)\n");
  EXPECT_EQ(d.out, "");
  EXPECT_EQ(dangling.files(), std::set<std::string>{"Quendrix.DEF"});
}

// --help lists every option and exits 0, whatever else is on the line.
TEST(Program, HelpListsEveryOption) {
  Folder f;
  const Result r = run(f, {"--f0", "abc", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* option : {"--f0", "--bw", "--response", "--ripple", "--n ", "--skirt", "--attenuation", "--z0",
                             "--microstrip", "--stripline", "--h ", "--er", "--t ", "--from", "--to", "--points",
                             "--touchstone", "--svg", "--help", "zload", "R <z0>"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

// A bad option or value: one line on standard error naming it, exit status 2, nothing on standard
// output and no file written, even when files were asked for.
TEST(Program, ErrorsAreOneLineNamingTheOptionAndWriteNothing) {
  const struct {
    std::vector<std::string> args;
    std::string start;
  } cases[] = {
      {{"--f0", "abc"}, "quendrix-response: --f0: 'abc' is not a finite number"},
      {{"--bw=7000"}, "quendrix-response: --bw: "},
      {{"--n", "41"}, "quendrix-response: --n: 41 must be from 2 to 40"},
      {{"--skirt", "3000"}, "quendrix-response: --skirt: "},
      {{"--attenuation", "300"}, "quendrix-response: --attenuation: 300 dB at 3600 MHz needs 51 sections, more than 40"},
      {{"--er", "2"}, "quendrix-response: --er: needs --microstrip or --stripline"},
      {{"--points", "0"}, "quendrix-response: --points: "},
      {{"--to", "1e308"}, "quendrix-response: --to: 1e308 must be at most 1000000 MHz"},
      // Impedances out of single precision: from z0, or from a band too wide for any stub.
      {{"--z0", "3e38"}, "quendrix-response: --z0: the Cristal design has no finite impedance for line 1,2 with z0 = 3e+38"},
      {{"--z0", "1e-44"}, "quendrix-response: --z0: the Matthaei design has no finite impedance for stub 1 with z0 = "},
      {{"--bw", "5999.99"}, "quendrix-response: --bw: the Matthaei design has no finite impedance for stub 1"},
      {{"--wobble"}, "quendrix-response: --wobble: unknown option"},
      {{"--microstrip", "--z0", "1000"},
       "quendrix-response: --microstrip: Matthaei stub 1 (547.110 ohms) needs an unrealizable strip width"},
      {{"--touchstone", "missing-folder/bpf"}, "quendrix-response: --touchstone: cannot write missing-folder/bpf-matthaei.s2p"},
  };
  for (const auto& c : cases) {
    Folder f;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--svg", "plot.svg"});
    if (c.start.find("--touchstone") == std::string::npos) args.insert(args.end(), {"--touchstone", "bpf"});
    const Result r = run(f, args);
    EXPECT_EQ(r.status, 2) << c.start;
    EXPECT_EQ(r.err.rfind(c.start, 0), 0u) << r.err;
    EXPECT_EQ(lineCount(r.err), 1u) << r.err;
    EXPECT_EQ(r.out, "") << c.start;  // not even the width syntheses' console message
    EXPECT_TRUE(f.files().empty()) << c.start;
  }
}

// Touchstone files and the plot are written whole, under their final names only, and agree with
// the table: the Touchstone S21 at f0 of this odd design is the table's (zload = z0).
TEST(Program, WritesTouchstoneFilesAndThePlot) {
  Folder f;
  fs::create_directory(f.dir / "out");
  const Result r = run(f, {"--touchstone", "out/bpf", "--svg=out/plot.svg", "--microstrip", "--points", "201"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(f.files(), (std::set<std::string>{"out", "out/bpf-cristal.s2p", "out/bpf-matthaei.s2p", "out/plot.svg"}));
  std::size_t comments = 0;
  const auto table = readTable(r.out, comments);
  ASSERT_EQ(table.size(), 201u);
  for (const char* name : {"out/bpf-matthaei.s2p", "out/bpf-cristal.s2p"}) {
    const Touchstone t = readTouchstone(readFile(f.dir / name));
    EXPECT_EQ(t.error, "") << name;
    EXPECT_EQ(t.option, (std::vector<std::string>{"MHz", "S", "DB", "R", "50"})) << name;
    ASSERT_EQ(t.points.size(), 201u) << name;
    const std::size_t column = std::string(name).find("matthaei") != std::string::npos ? 1 : 6;
    for (std::size_t i = 0; i < table.size(); ++i) {
      EXPECT_NEAR(t.points[i].f, table[i][0], 1e-4);
      EXPECT_NEAR(t.points[i].v[2], table[i][column], 1e-4) << name << " " << table[i][0];
    }
  }
#ifdef QUENDRIX_HAVE_EXPAT
  const XmlDocument d = parseXml(readFile(f.dir / "out/plot.svg"));
  EXPECT_TRUE(d.wellFormed) << d.error;
#endif
}

// An existing file of the same name is replaced only when everything succeeds: neither a
// Touchstone prefix in a missing folder nor a plot name that is a folder leaves anything behind.
TEST(Program, FailedRunLeavesEarlierFilesAlone) {
  Folder f;
  f.write("plot.svg", "earlier");
  const Result r = run(f, {"--svg", "plot.svg", "--touchstone", "nowhere/bpf"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(readFile(f.dir / "plot.svg"), "earlier");
  EXPECT_EQ(f.files(), std::set<std::string>{"plot.svg"});

  Folder g;
  fs::create_directory(g.dir / "plot");
  const Result d = run(g, {"--touchstone", "bpf", "--svg", "plot"});
  EXPECT_EQ(d.status, 2);
  EXPECT_EQ(d.err, "quendrix-response: --svg: cannot write plot: it is a folder\n");
  EXPECT_EQ(g.files(), std::set<std::string>{"plot"});
}

}  // namespace
}  // namespace quendrix::analysis::testing
