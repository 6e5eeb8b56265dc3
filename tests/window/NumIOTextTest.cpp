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

TEST(NumIOText, DynamicNotation) {
    ExpectValue("8080", 8080);
    ExpectValue("-2.5e-2", -0.025);
    ExpectValue(".25", 0.25);
    ExpectValue("1E3", 1000);
    ExpectValue("$1F90", 8080);
    ExpectValue("%101", 5);
    ExpectValue("&17", 15);
    for (const char* bad : {"80a", "1.2.3", "1e2e3", "--1", "1,5", "$g", "%102", "&8", "$-1", "1$"})
        ExpectRefused(bad);
}

TEST(NumIOText, UnfinishedNumbersAreAcceptedWhileTyping) {
    for (const char* start : {"", "-", "+", ".", "-.", "$", "%", "&"})
        ExpectValue(start, 0);
    ExpectValue("1e", 1);
    ExpectValue("1e-", 1);
    ExpectValue("2.5e+", 2.5);
    for (const char* bad : {"e", "e5", "-e", ".e", "1e--"})
        ExpectRefused(bad);
}

TEST(NumIOText, BlanksOnlyInFront) {
    ExpectValue("   80", 80);
    ExpectValue(" ", 0);
    for (const char* bad : {"80 80", "80 ", "$ 1"})
        ExpectRefused(bad);
}

TEST(NumIOText, TheRangeIncludesBothEnds) {
    TNumIORules port;
    port.RangeLow = 0;
    port.RangeHigh = 65535;
    EXPECT_TRUE(ReadNumIOText("65535", port).Valid);
    EXPECT_TRUE(ReadNumIOText("0", port).Valid);
    EXPECT_FALSE(ReadNumIOText("$10000", port).Valid);
    EXPECT_FALSE(ReadNumIOText("-1", port).Valid);
    // The default range is +-1.7E308; larger numbers are refused, tiny ones read as 0.
    ExpectValue("-1.7e308", -1.7e308);
    ExpectRefused("1.8e308");
    ExpectRefused("1e400");
    ExpectValue("1e-400", 0);
    ExpectRefused("$" + std::string(300, 'f'));
}

TEST(NumIOText, OtherSeparatorsAndFixedNotations) {
    ExpectValue("1,5", 1.5, itDynamic, dsComma);
    ExpectRefused("1.5", itDynamic, dsComma);
    ExpectValue("1.5", 1.5, itExp, dsBoth);
    ExpectRefused("4.2", itInt);
    ExpectRefused("1e3", itFloat);
    ExpectValue("ff", 255, itHex);
    ExpectRefused("$ff", itHex);
    ExpectRefused("8", itOct);
    ExpectValue("1010", 10, itBin);
}

}  // namespace
}  // namespace zb::test
