// The reading rules of the numeric field, on plain strings.

#include <gtest/gtest.h>

#include <string>

#include "app/NumIOText.h"

namespace zb::test {
namespace {

TNumIOReading Read(const std::string& text, TInFormat format = itDynamic, TDecPSep sep = dsDot) {
    TNumIORules rules;
    rules.InputFormat = format;
    rules.DecPlaceSep = sep;
    return ReadNumIOText(text, rules);
}

void ExpectValue(const std::string& text, double value, TInFormat format = itDynamic,
                 TDecPSep sep = dsDot) {
    const TNumIOReading r = Read(text, format, sep);
    EXPECT_TRUE(r.Valid) << '"' << text << '"';
    EXPECT_DOUBLE_EQ(r.Value, value) << '"' << text << '"';
}

void ExpectRefused(const std::string& text, TInFormat format = itDynamic, TDecPSep sep = dsDot) {
    EXPECT_FALSE(Read(text, format, sep).Valid) << '"' << text << '"';
}

TEST(NumIOText, DynamicDecimalNumbers) {
    ExpectValue("8080", 8080);
    ExpectValue("-12", -12);
    ExpectValue("+7", 7);
    ExpectValue("1.5", 1.5);
    ExpectValue(".25", 0.25);
    ExpectValue("3.", 3);
    ExpectValue("1e3", 1000);
    ExpectValue("1E3", 1000);
    ExpectValue("-2.5e-2", -0.025);
    ExpectValue("1e+2", 100);
    ExpectRefused("80a");
    ExpectRefused("1.2.3");
    ExpectRefused("1e2e3");
    ExpectRefused("1e2.5");
    ExpectRefused("--1");
    ExpectRefused("1-");
    ExpectRefused("1,5");  // only "." separates the decimal places
}

TEST(NumIOText, TheFirstCharacterChoosesTheNotation) {
    ExpectValue("$1F90", 8080);
    ExpectValue("$ff", 255);
    ExpectValue("%101", 5);
    ExpectValue("&17", 15);
    ExpectRefused("$g");
    ExpectRefused("$1g");
    ExpectRefused("%102");
    ExpectRefused("&8");
    ExpectRefused("$-1");
    ExpectRefused("$1.5");
    // The prefix counts only first.
    ExpectRefused("1$");
}

TEST(NumIOText, UnfinishedNumbersAreAcceptedWhileTyping) {
    for (const char* start : {"", "-", "+", ".", "-.", "+.", "$", "%", "&"})
        ExpectValue(start, 0);
    ExpectValue("1e", 1);
    ExpectValue("1e-", 1);
    ExpectValue("1e+", 1);
    ExpectValue("2.5e", 2.5);
    // An exponent needs a number before it.
    ExpectRefused("e");
    ExpectRefused("e5");
    ExpectRefused("-e");
    ExpectRefused(".e");
    ExpectRefused("1e--");
}

TEST(NumIOText, BlanksOnlyInFront) {
    ExpectValue("   80", 80);
    ExpectValue(" ", 0);
    ExpectValue("\t-", 0);
    ExpectRefused("80 80");
    ExpectRefused("80 ");
    ExpectRefused(" 8 ");
    ExpectRefused("$ 1");
}

TEST(NumIOText, TheRangeIncludesBothEnds) {
    TNumIORules port;
    port.RangeLow = 0;
    port.RangeHigh = 65535;
    EXPECT_TRUE(ReadNumIOText("0", port).Valid);
    EXPECT_TRUE(ReadNumIOText("65535", port).Valid);
    EXPECT_TRUE(ReadNumIOText("$ffff", port).Valid);
    EXPECT_FALSE(ReadNumIOText("65536", port).Valid);
    EXPECT_FALSE(ReadNumIOText("$10000", port).Valid);
    EXPECT_FALSE(ReadNumIOText("-1", port).Valid);
    EXPECT_FALSE(ReadNumIOText("6.6e4", port).Valid);

    // The default range is +-1.7E308; larger numbers are refused, tiny ones read as 0.
    ExpectValue("1.7e308", 1.7e308);
    ExpectValue("-1.7e308", -1.7e308);
    ExpectRefused("1.8e308");
    ExpectRefused("1e400");
    ExpectValue("1e-400", 0);
    ExpectRefused("$" + std::string(300, 'f'));
}

TEST(NumIOText, OtherSeparatorsAndFixedNotations) {
    ExpectValue("1,5", 1.5, itDynamic, dsComma);
    ExpectRefused("1.5", itDynamic, dsComma);
    ExpectValue("1,5", 1.5, itExp, dsBoth);
    ExpectValue("1.5", 1.5, itExp, dsBoth);
    ExpectValue(",", 0, itFloat, dsComma);

    ExpectValue("-42", -42, itInt);
    ExpectRefused("4.2", itInt);
    ExpectRefused(".", itInt);
    ExpectRefused("1e3", itInt);
    ExpectValue("4.2", 4.2, itFloat);
    ExpectRefused("1e3", itFloat);
    ExpectValue("1e3", 1000, itExp);
    // Without a prefix; a prefix is not part of the fixed notations.
    ExpectValue("ff", 255, itHex);
    ExpectRefused("$ff", itHex);
    ExpectValue("777", 511, itOct);
    ExpectRefused("8", itOct);
    ExpectValue("1010", 10, itBin);
    ExpectRefused("2", itBin);
    ExpectRefused("-1", itBin);
}

}  // namespace
}  // namespace zb::test
