// Code page 932: conversion both ways and the lead-byte test.

#include <gtest/gtest.h>

#include "common/Cp932.h"
#include "common/Exception.h"

namespace zb::test {
namespace {

TEST(Cp932, ConvertsBothWays) {
    EXPECT_EQ(Utf8ToCp932("a\xE3\x81\x82"), "a\x82\xA0");  // "aあ"
    EXPECT_EQ(Cp932ToUtf8("a\x82\xA0"), "a\xE3\x81\x82");
    EXPECT_EQ(Utf8ToCp932(""), "");
}

TEST(Cp932, UnconvertibleUtf8Raises) {
    EXPECT_THROW(Utf8ToCp932("a\xFF"), Exception);
}

TEST(Cp932, StrayBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
}

TEST(Cp932, LeadBytes) {
    EXPECT_FALSE(IsDBCSLeadByte(0x80));
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsDBCSLeadByte(0x9F));
    EXPECT_FALSE(IsDBCSLeadByte(0xA0));
    EXPECT_FALSE(IsDBCSLeadByte(0xDF));
    EXPECT_TRUE(IsDBCSLeadByte(0xE0));
    EXPECT_TRUE(IsDBCSLeadByte(0xFC));
    EXPECT_FALSE(IsDBCSLeadByte(0xFD));
    EXPECT_FALSE(IsDBCSLeadByte('A'));
}

}  // namespace
}  // namespace zb::test
