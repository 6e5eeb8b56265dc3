// UU and MIME encoding; base64 output is checked against coreutils base64.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "net/TNMUUProcessor.h"

namespace zb {
namespace {

std::string WithoutLineEnds(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r' && c != '\n') out += c;
    }
    return out;
}

std::string CoreutilsBase64(const std::string& input) {
    char name[] = "/tmp/zb_b64_XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    {
        std::ofstream out(name, std::ios::binary);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    std::string result;
    if (FILE* pipe = popen(("base64 -w0 " + std::string(name)).c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
            result.append(buf, n);
        pclose(pipe);
    }
    std::remove(name);
    return result;
}

TEST(UUProcessor, MimeEqualsCoreutilsBase64ForRandomInputs) {
    std::mt19937 rng(4);
    TNMUUProcessor uu;
    for (std::size_t size : {0u, 1u, 2u, 3u, 44u, 45u, 46u, 89u, 90u, 91u, 1000u, 4099u}) {
        std::string input(size, '\0');
        for (char& c : input)
            c = static_cast<char>(rng() & 0xff);
        const std::string encoded = uu.EncodeString(input);
        EXPECT_EQ(WithoutLineEnds(encoded), CoreutilsBase64(input)) << "size " << size;
        // One line per 45 input bytes, each 60 characters or less plus CR LF.
        std::size_t lines = 0;
        for (std::size_t pos = 0; pos < encoded.size();) {
            const std::size_t end = encoded.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos);
            EXPECT_LE(end - pos, 60u);
            pos = end + 2;
            ++lines;
        }
        EXPECT_EQ(lines, (size + 44) / 45);
    }
}

TEST(UUProcessor, MimePadding) {
    TNMUUProcessor uu;
    EXPECT_EQ(uu.EncodeString("a"), "YQ==\r\n");
    EXPECT_EQ(uu.EncodeString("ab"), "YWI=\r\n");
    EXPECT_EQ(uu.EncodeString(""), "");
}

TEST(UUProcessor, UUCodeLinesAndEndLine) {
    TNMUUProcessor uu;
    uu.Method = uuCode;
    EXPECT_EQ(uu.EncodeString(""), "`\r\n");
    // Length character for 1, two characters, no padding, then the end line.
    EXPECT_EQ(uu.EncodeString("A"), "!00\r\n`\r\n");
    EXPECT_EQ(uu.EncodeString("Cat"), "#0V%T\r\n`\r\n");
    const std::string out = uu.EncodeString(std::string(46, 'x'));
    ASSERT_EQ(out.substr(0, 1), "M");
    const std::size_t second = out.find("\r\n") + 2;
    EXPECT_EQ(second, 63u);  // "M" + 60 characters + CR LF
    EXPECT_EQ(out.substr(second, 1), "!");
}

TEST(UUProcessor, EventsBracketTheEncoding) {
    TNMUUProcessor uu;
    std::string trace;
    uu.OnBeginEncode = [&](TNMUUProcessor&) { trace += "begin;"; };
    uu.OnEndEncode = [&](TNMUUProcessor&) { trace += "end;"; };
    std::string in = "xyz";
    std::string out = "prefix:";
    uu.InputStream = &in;
    uu.OutputStream = &out;
    uu.Encode();
    EXPECT_EQ(out, "prefix:eHl6\r\n");
    EXPECT_EQ(trace, "begin;end;");
}

}  // namespace
}  // namespace zb
