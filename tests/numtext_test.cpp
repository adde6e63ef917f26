// Numbers held as text: the parse, the two number texts, the strict and whole-number
// conversions and the checked arithmetic.
#include "model/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/runtime_error.h"

namespace bruvik::numtext {
namespace {

struct ParseCase {
  std::string text;
  double expected;
};

TEST(LeadingNumberParse, ReadsAsFarAsTheTextFormsANumber) {
  const ParseCase cases[] = {
      {"100", 100},
      {"", 0},
      {"abc", 0},
      {"Okey", 0},
      {"ady", 0},
      {"12.", 12},
      {" .5", 0.5},
      {"  2", 2},
      {"3.5", 3.5},
      {"  42abc", 42},
      {"\t\n 5", 5},
      {"-3.5e2x", -350},
      {"+7", 7},
      {"1e", 1},
      {"1e+", 1},
      {"1E3", 1000},
      {"2e-3", 0.002},
      {".", 0},
      {"-", 0},
      {"+", 0},
      {"-.5", -0.5},
      {"1.2.3", 1.2},
      {"1,5", 1},
      {"5 6", 5},
      {"x5", 0},
      {"1e309", 0},  // too large to hold: reads as text with no number
      {"-1e309", 0},
      {"1e-400", 0},  // too small: zero
      {"NaN", 0},
      {"Infinity", 0},
      {"-Infinity", 0},
      {"%  25  Col.     2", 0},
      {"999999999999999", 999999999999999},
      {"1234567890123456789", 1234567890123456789.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(val(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(LeadingNumberParse, NeverGivesNegativeZero) {
  for (const char* text : {"-0", "-0.0", "-0e5", "-.0"}) {
    const double v = val(text);
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(std::signbit(v)) << text;
    EXPECT_EQ(shortest(v), "0") << text;
  }
}

TEST(LeadingNumberParse, SurvivesHugeTexts) {
  EXPECT_EQ(val(std::string(400, '9')), 0);                 // too large
  EXPECT_EQ(val(std::string(10000, '1')), 0);               // too large
  EXPECT_EQ(val("0." + std::string(10000, '0') + "1"), 0);  // too small
  EXPECT_EQ(val(std::string(10000, ' ') + "8"), 8);
  EXPECT_EQ(val("7" + std::string(10000, 'x')), 7);
  EXPECT_NEAR(val("1." + std::string(5000, '5')), 1.5555555555555556, 1e-15);
}

TEST(LeadingNumberParse, SaysWhetherThereWasANumber) {
  EXPECT_FALSE(leading_number(""));
  EXPECT_FALSE(leading_number("   "));
  EXPECT_FALSE(leading_number("-"));
  EXPECT_FALSE(leading_number("e5"));
  EXPECT_FALSE(leading_number("1e309"));
  ASSERT_TRUE(leading_number("0"));
  EXPECT_EQ(*leading_number("-20 apples"), -20);
}

struct TextCase {
  double value;
  const char* shortest;
  const char* signed_text;
};

TEST(NumberTexts, ShortestAndSignedForms) {
  const TextCase cases[] = {
      {0, "0", " 0"},
      {-0.0, "0", " 0"},
      {0.5, "0.5", " .5"},
      {-0.5, "-0.5", "-.5"},
      {-2, "-2", "-2"},
      {25, "25", " 25"},
      {100, "100", " 100"},
      {83, "83", " 83"},
      {3.5, "3.5", " 3.5"},
      {12.5, "12.5", " 12.5"},
      {0.456, "0.456", " .456"},
      {100.0 / 3, "33.3333333333333", " 33.3333333333333"},
      {2.0 / 3 * 100, "66.6666666666667", " 66.6666666666667"},
      {8.0 / 3, "2.66666666666667", " 2.66666666666667"},
      {1234.5, "1234.5", " 1234.5"},
      {0.1 + 0.2, "0.3", " .3"},
      {0.001, "0.001", " .001"},
      {0.0001, "0.0001", " .0001"},
      {0.00001, "1E-05", " 1E-05"},
      {1.5e-7, "1.5E-07", " 1.5E-07"},
      {999999999999999, "999999999999999", " 999999999999999"},
      {1e15, "1E+15", " 1E+15"},
      {123456789012345678.0, "1.23456789012346E+17", " 1.23456789012346E+17"},
      {-1e300, "-1E+300", "-1E+300"},
      {33.999999999999999, "34", " 34"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shortest(c.value), c.shortest) << c.value;
    EXPECT_EQ(signed_text(c.value), c.signed_text) << c.value;
  }
}

TEST(NumberTexts, RoundTripThroughTheParse) {
  for (double v : {0.0, 1.0, -7.0, 0.5, 83.0, 1e-5, 123.25, 1e15, -2.5e-8, 32767.0}) {
    EXPECT_EQ(val(shortest(v)), v) << v;
    EXPECT_EQ(val(signed_text(v)), v) << v;
  }
}

TEST(NumberTexts, TheLargestNumbersAreWrittenSoThatTheyReadBack) {
  const double largest = std::numeric_limits<double>::max();
  for (double v : {largest, -largest, 1.7976931348623155e308, 1.797693134862315e308}) {
    const double back = val(shortest(v));
    EXPECT_NE(back, 0) << shortest(v);
    EXPECT_NEAR(back / v, 1, 1e-14) << shortest(v);
  }
  EXPECT_EQ(shortest(largest), "1.79769313486231E+308");
  EXPECT_EQ(signed_text(-largest), "-1.79769313486231E+308");
}

// The 15 digits must be those of the exact number rounded to nearest, halves included: compare
// with the C library's correctly rounded conversion over many numbers of every size.
TEST(NumberTexts, FifteenDigitsAreTheExactNumberRoundedToNearest) {
  std::mt19937_64 bits(20261208);
  std::vector<double> values = {0.1,
                                0.125,
                                2.5,
                                1.0 / 3,
                                2.0 / 3,
                                1e-5,
                                9.999999999999995,
                                99999999999999.95,
                                0.30000000000000004,
                                123.45678901234549,
                                5e-324,
                                2.2250738585072014e-308,
                                4.35,
                                1.0000000000000002};
  for (int k = 0; k < 200000; ++k) {
    double v = 0;
    const std::uint64_t b = bits();
    std::memcpy(&v, &b, sizeof v);
    if (std::isfinite(v) && v != 0) values.push_back(v);
    // Numbers of the run's own size, with long fractions.
    values.push_back(static_cast<double>(b % 100000) / static_cast<double>(1 + b % 997));
  }
  for (double v : values) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const double expected = std::strtod(buf, nullptr);
    if (std::isinf(expected)) continue;  // the largest numbers: see the next test
    ASSERT_EQ(val(shortest(v)), expected) << buf << " written as " << shortest(v);
    ASSERT_EQ(val(signed_text(v)), expected) << buf << " written as " << signed_text(v);
  }
}

// The cut text must be exactly the first characters of the whole text, digit boundaries,
// carries ("33.99999999999999") and texts shorter than the cut included.
TEST(NumberTexts, SignedPrefixIsTheStartOfTheSignedText) {
  std::mt19937_64 bits(7);
  std::vector<double> values = {
      0.5, 2.0 / 3 * 100, 100.0 / 3, 8.0 / 3, 12.5, 0.456, 1234.5, 2.5, 3.0001, 99.99999999999999,
      999.9999999999999, 0.0999999999999999, 9.999999999999995, 45.05494505494505, -0.5, -2.5,
      0.001, 0.0012, 1e-7, 123.4, 1e9 + 0.5, 1e16,
      // Cuts that land exactly on a digit boundary, some carrying.
      2.0000000000000004, 1.0000000000000002, 0.9999999999999999, 0.999999999999999,
      9.999999999999998, 99999.99999999999, 999999.9999999999, 0.29, 0.05, 0.0625, -7.25, 0,
      // Whole numbers, written as sign and digits up to 15 digits.
      -0.0, 7, 100, -42, 4294967296.0, 999999999999999, -123456789012345, 1e15};
  for (int k = 0; k < 200000; ++k) {
    const std::uint64_t b = bits();
    // Percentages and rates as a run makes them, and numbers of every size.
    values.push_back(static_cast<double>(b % 500) * 100 / static_cast<double>(1 + (b >> 20) % 700));
    values.push_back(static_cast<double>(b % 300) / static_cast<double>(1 + (b >> 30) % 400));
    double v = 0;
    std::memcpy(&v, &b, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
  }
  for (double v : values) {
    const std::string whole = signed_text(v);
    for (std::size_t keep : {1u, 2u, 3u, 4u, 5u, 7u, 16u}) {
      char out[32];
      const std::size_t n = write_signed_prefix(out, v, keep);
      ASSERT_EQ(std::string(out, n), whole.substr(0, keep)) << whole << " cut at " << keep;
    }
  }
}

TEST(NumberTexts, NonFiniteValuesDoNotBreakTheWriter) {
  EXPECT_EQ(val(shortest(std::numeric_limits<double>::infinity())), 0);
  EXPECT_EQ(val(shortest(std::numeric_limits<double>::quiet_NaN())), 0);
}

TEST(StrictConversion, AcceptsOnlyAWholeNumber) {
  EXPECT_EQ(strict("7"), 7);
  EXPECT_EQ(strict("  7  "), 7);
  EXPECT_EQ(strict("-2.5e1"), -25);
  EXPECT_EQ(strict(".5"), 0.5);
  for (const char* bad : {"", " ", "abc", "7x", "1 2", "--1", ".", "1e", "Okey"}) {
    try {
      strict(bad);
      ADD_FAILURE() << '"' << bad << "\" was accepted";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), ErrorCode::TypeMismatch) << bad;
    }
  }
  try {
    strict("1e309");
    ADD_FAILURE() << "1e309 was accepted";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorCode::Overflow);
  }
}

struct WholeCase {
  double value;
  int expected;  // or 99999 for an overflow
};

TEST(WholeNumberConversion, SixteenBitRoundsHalvesToEven) {
  const WholeCase cases[] = {
      {2.5, 2},       {3.5, 4},         {-2.5, -2},         {-3.5, -4},       {0.5, 0},
      {1.5, 2},       {125, 125},       {32767, 32767},     {32767.4, 32767}, {32767.5, 99999},
      {32768, 99999}, {-32768, -32768}, {-32768.5, -32768}, {-32769, 99999},  {6250, 6250},
  };
  for (const auto& c : cases) {
    if (c.expected == 99999) {
      EXPECT_THROW(to_int16(c.value), RuntimeError) << c.value;
    } else {
      EXPECT_EQ(to_int16(c.value), c.expected) << c.value;
    }
  }
  EXPECT_THROW(to_int16(std::nan("")), RuntimeError);
}

TEST(WholeNumberConversion, ThirtyTwoBitRoundsHalvesToEven) {
  EXPECT_EQ(to_int32(2147483647.0), 2147483647);
  EXPECT_EQ(to_int32(2147483646.5), 2147483646);
  EXPECT_THROW(to_int32(2147483647.5), RuntimeError);
  EXPECT_EQ(to_int32(-2147483648.0), -2147483647 - 1);
  EXPECT_THROW(to_int32(-2147483649.0), RuntimeError);
  EXPECT_THROW(to_int32(std::numeric_limits<double>::infinity()), RuntimeError);
  EXPECT_EQ(to_int32(83.5), 84);
  EXPECT_EQ(to_int32(82.5), 82);
}

TEST(CheckedArithmetic, FailsLikeTheToolkit) {
  EXPECT_EQ(div(7, 2), 3.5);
  try {
    div(1, 0);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorCode::DivisionByZero);
  }
  try {
    div(0, 0);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorCode::Overflow);
  }
  EXPECT_THROW(mul(1e308, 10), RuntimeError);
  EXPECT_THROW(add(1.7e308, 1.7e308), RuntimeError);
  EXPECT_THROW(sub(-1.7e308, 1.7e308), RuntimeError);
  EXPECT_FALSE(try_div(5, 0));
  EXPECT_FALSE(try_mul(1e308, 1e10));
  EXPECT_EQ(*try_div(1, 4), 0.25);
  EXPECT_EQ(RuntimeError::describe(ErrorCode::TypeMismatch), "Run-time error '13': Type mismatch");
}

TEST(Trim, RemovesBlanksAtBothEndsOnly) {
  EXPECT_EQ(trim("  2 "), "2");
  EXPECT_EQ(trim("%  25  Col.     2"), "%  25  Col.     2");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim("\t1\t"), "\t1\t");
}

}  // namespace
}  // namespace bruvik::numtext
