// Field writers and readers of the text layer, against the worked examples of the layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "textio/fields.h"

namespace quendrix {
namespace {

constexpr float INF = std::numeric_limits<float>::infinity();
const float NaN = std::numeric_limits<float>::quiet_NaN();

struct RealOut {
  float x;
  int w, d;
  const char* field;
};

TEST(FormatReal, RoundsTheExactDecimalValueHalfAwayFromZero) {
  const RealOut cases[] = {
      {0.125f, 5, 2, " 0.13"},       // exactly half: away from zero
      {-0.125f, 5, 2, "-0.13"},
      {2.675f, 5, 2, " 2.67"},       // stored as 2.67499995...
      {12.345f, 6, 2, " 12.35"},     // stored as 12.34500026...
      {0.5f, 7, 2, "   0.50"},
      {3000.0f, 9, 3, " 3000.000"},
      {13.678f, 8, 3, "  13.678"},
      {1.5f, 4, 0, "  2."},
      {2.5f, 4, 0, "  3."},
      {1e-30f, 8, 3, "   0.000"},
      {123456789.0f, 14, 1, "   123456792.0"},  // the float's own integer value
      {9.9995f, 6, 3, "10.000"},      // a carry into a new integer digit (stored just above 9.9995)
  };
  for (const RealOut& c : cases) EXPECT_EQ(formatReal(c.x, c.w, c.d), c.field) << c.x;
}

TEST(FormatReal, SignLeadingZeroAndOverflow) {
  const RealOut cases[] = {
      {-0.004f, 7, 2, "  -0.00"},   // a negative value that rounds to zero keeps its sign
      {-0.0f, 5, 2, "-0.00"},       // negative zero too
      {0.1234f, 6, 4, "0.1234"},    // room for the zero
      {-0.1234f, 6, 4, "-.1234"},   // no room: the text begins with the point
      {0.3f, 2, 0, "0."},
      {0.3f, 1, 0, "."},
      {12345.678f, 7, 2, "*******"},
      {-1.0f, 4, 2, "****"},
      {1e38f, 9, 3, "*********"},
  };
  for (const RealOut& c : cases) EXPECT_EQ(formatReal(c.x, c.w, c.d), c.field) << c.x << " F" << c.w << "." << c.d;
}

TEST(FormatReal, NotANumberAndInfinityByWidth) {
  const RealOut cases[] = {
      {NaN, 7, 2, "    NaN"}, {NaN, 3, 0, "NaN"},        {NaN, 2, 0, "**"},
      {INF, 8, 2, "Infinity"}, {INF, 9, 2, " Infinity"}, {INF, 7, 2, "    Inf"}, {INF, 3, 1, "Inf"},
      {INF, 2, 0, "**"},       {-INF, 9, 2, "-Infinity"}, {-INF, 8, 2, "    -Inf"}, {-INF, 4, 2, "-Inf"},
      {-INF, 3, 1, "***"},     {-INF, 1, 0, "*"},
  };
  for (const RealOut& c : cases) EXPECT_EQ(formatReal(c.x, c.w, c.d), c.field) << c.x << " w=" << c.w;
}

TEST(FormatIntAndText, RightAlignedOrStars) {
  EXPECT_EQ(formatInt(5, 2), " 5");
  EXPECT_EQ(formatInt(12, 2), "12");
  EXPECT_EQ(formatInt(-3, 2), "-3");
  EXPECT_EQ(formatInt(0, 2), " 0");
  EXPECT_EQ(formatInt(100, 2), "**");
  EXPECT_EQ(formatInt(-10, 2), "**");
  EXPECT_EQ(formatInt(-2147483647, 2), "**");  // a clock that cannot be read
  EXPECT_EQ(formatInt(-2147483647, 4), "****");
  EXPECT_EQ(formatInt(2026, 4), "2026");

  EXPECT_EQ(formatText("Tchebyscheff        ", 12), "Tchebyscheff");
  EXPECT_EQ(formatText("Butterworth         ", 12), "Butterworth ");
  EXPECT_EQ(formatText("Stripline           ", 10), "Stripline ");
  EXPECT_EQ(formatText("ab", 5), "   ab");
}

struct RealIn {
  const char* field;
  float value;
};

TEST(ReadReal, AcceptedForms) {
  const RealIn cases[] = {
      {"1500", 1500},       {"  1.5E3", 1500},  {"1 500", 1500},   {"1500.", 1500},  {"", 0},
      {"      ", 0},        {"-", 0},           {"+", 0},          {".", 0},         {"12.5   ", 12.5f},
      {"1.5-3", 0.0015f},   {"1.5e-3", 0.0015f}, {"1.5D-3", 0.0015f}, {"1.5q-3", 0.0015f}, {"1.5+3", 1500},
      {"- 2.5", -2.5f},     {"1.5E 3", 1500},   {"1.5E- 3", 0.0015f}, {"07", 7},      {"1E10000", INF},
      {"-1E10000", -INF},   {"1E-10000", 0},    {"1e39", INF},     {"0.0000000000001e-40", 0},
      {"1234567890123", 1234567954432.0f},
  };
  for (const RealIn& c : cases) {
    float x = -99;
    ASSERT_EQ(readReal(c.field, 0, x), FieldStatus::OK) << "'" << c.field << "'";
    EXPECT_EQ(x, c.value) << "'" << c.field << "'";
  }
}

TEST(ReadReal, InfinityAndNotANumber) {
  float x = 0;
  for (const char* s : {"inf", "INF", "Infinity", "  +iNfInItY  ", "infinity "}) {
    ASSERT_EQ(readReal(s, 0, x), FieldStatus::OK) << s;
    EXPECT_EQ(x, INF) << s;
  }
  ASSERT_EQ(readReal("-inf", 0, x), FieldStatus::OK);
  EXPECT_EQ(x, -INF);
  for (const char* s : {"nan", "NaN", "nan(abc123)", " NAN  "}) {
    ASSERT_EQ(readReal(s, 0, x), FieldStatus::OK) << s;
    EXPECT_TRUE(std::isnan(x)) << s;
  }
}

TEST(ReadReal, BadValues) {
  for (const char* s : {"abc", "1500 MHz", "1.2.3", "1\t5", "\t", "infx", "in f", "nano", "nan(a", "1E", "1E+",
                        "1.5E3.0", "E5", ".E5", "1e5-3", "12a", "--1", "1+"}) {
    float x = 0;
    EXPECT_EQ(readReal(s, 0, x), FieldStatus::BAD) << "'" << s << "'";
  }
}

TEST(ReadReal, FieldWithoutPointIsScaledByTheDecimals) {
  float x = 0;
  ASSERT_EQ(readReal("1234", 2, x), FieldStatus::OK);
  EXPECT_EQ(x, 12.34f);
  ASSERT_EQ(readReal("12.5", 2, x), FieldStatus::OK);
  EXPECT_EQ(x, 12.5f);
}

// The external corpus of decimal strings with the bits of their correctly rounded float.
TEST(ReadReal, DecimalToFloatCorpus) {
  std::ifstream in(QUENDRIX_SOURCE_DIR "/../shared/testdata/decimal-to-float32.tsv");
  if (!in) GTEST_SKIP() << "corpus not found beside the project";
  std::string line;
  int checked = 0;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    const std::string text = line.substr(0, tab);
    const auto bits = static_cast<std::uint32_t>(std::stoul(line.substr(tab + 1), nullptr, 16));
    float x = 0;
    ASSERT_EQ(readReal(text, 0, x), FieldStatus::OK) << text;
    std::uint32_t got = 0;
    std::memcpy(&got, &x, sizeof got);
    ASSERT_EQ(got, bits) << text;
    ++checked;
  }
  EXPECT_GT(checked, 30000);
}

TEST(ReadInt, AcceptedAndBad) {
  const std::pair<const char*, std::int32_t> ok[] = {{"7", 7}, {" 7", 7}, {"07", 7}, {"-1", -1},
                                                     {"", 0},  {"  ", 0}, {"1 2", 12}, {"+5", 5}};
  for (const auto& [s, value] : ok) {
    std::int32_t i = -99;
    ASSERT_EQ(readInt(s, i), FieldStatus::OK) << s;
    EXPECT_EQ(i, value) << s;
  }
  for (const char* s : {"+", "-", "1.", "a", "x", "\t1", "99999999999"}) {
    std::int32_t i = 0;
    EXPECT_EQ(readInt(s, i), FieldStatus::BAD) << s;
  }
}

TEST(ReadText, PaddedOrCut) {
  std::string t(20, '?');
  readText("report.txt", 20, t);
  EXPECT_EQ(t, "report.txt          ");
  readText("  x", 20, t);
  EXPECT_EQ(t, "  x                 ");
  readText("a,b\tc", 20, t);
  EXPECT_EQ(t, "a,b\tc               ");
}

TEST(ParseLayout, ItemsGroupsAndErrors) {
  std::vector<LayoutItem> items;
  ASSERT_TRUE(parseLayout("(6X,72(1H-))", items));
  ASSERT_EQ(items.size(), 73u);
  EXPECT_EQ(items[0].kind, LayoutItem::BLANKS);
  EXPECT_EQ(items[72].text, "-");

  ASSERT_TRUE(parseLayout("(//,7X, 'a`b',I2,F7.2 , A20,2(F7.4,F8.4),///)", items));
  std::vector<LayoutItem::Kind> kinds;
  for (const auto& i : items) kinds.push_back(i.kind);
  using K = LayoutItem;
  EXPECT_EQ(kinds, (std::vector<LayoutItem::Kind>{K::SLASH, K::SLASH, K::BLANKS, K::LITERAL, K::INT, K::REAL,
                                                  K::TEXT, K::REAL, K::REAL, K::REAL, K::REAL, K::SLASH, K::SLASH,
                                                  K::SLASH}));
  EXPECT_EQ(items[5].w, 7);
  EXPECT_EQ(items[5].d, 2);

  for (const char* bad : {"", "6X", "(6X", "(Q5)", "(F7)", "(I0)", "('abc)", "(5H-)", "(1000000(1000000X))", "(99999(99999X))",
                          "(6X 7X)", "(X)"}) {
    EXPECT_FALSE(parseLayout(bad, items)) << bad;
  }
}

}  // namespace
}  // namespace quendrix
