#include "net/TNMUUProcessor.h"

#include <cstddef>

#include "common/Exception.h"

namespace zb {

namespace {

const char kMimeAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

char UUChar(unsigned value) {
    value %= 64;
    return value == 0 ? '`' : static_cast<char>(32 + value);
}

}  // namespace

void TNMUUProcessor::Encode() {
    if (InputStream == nullptr || OutputStream == nullptr) {
        throw Exception("Encode needs an input and an output stream");
    }
    if (OnBeginEncode) OnBeginEncode(*this);
    const bool mime = Method == uuMime;
    auto alpha = [mime](unsigned value) {
        return mime ? kMimeAlphabet[value % 64] : UUChar(value);
    };
    const std::string& in = *InputStream;
    std::string& out = *OutputStream;
    std::size_t pos = 0;
    while (pos < in.size()) {
        const std::size_t count = std::min<std::size_t>(45, in.size() - pos);
        const auto* p = reinterpret_cast<const unsigned char*>(in.data() + pos);
        std::string line;
        if (!mime) line += alpha(static_cast<unsigned>(count));
        std::size_t i = 0;
        for (; i + 3 <= count; i += 3) {
            const unsigned a = p[i], b = p[i + 1], c = p[i + 2];
            line += alpha(a >> 2);
            line += alpha((a << 4) | (b >> 4));
            line += alpha((b << 2) | (c >> 6));
            line += alpha(c);
        }
        if (count - i == 1) {
            const unsigned a = p[i];
            line += alpha(a >> 2);
            line += alpha((a << 4) & 48);
            if (mime) line += "==";
        } else if (count - i == 2) {
            const unsigned a = p[i], b = p[i + 1];
            line += alpha(a >> 2);
            line += alpha(((a << 4) & 48) | (b >> 4));
            line += alpha((b << 2) & 60);
            if (mime) line += "=";
        }
        line += "\r\n";
        out += line;
        pos += count;
    }
    if (!mime) {
        out += alpha(0);
        out += "\r\n";
    }
    if (OnEndEncode) OnEndEncode(*this);
}

std::string TNMUUProcessor::EncodeString(const std::string& input) {
    std::string output;
    const std::string* savedIn = InputStream;
    std::string* savedOut = OutputStream;
    InputStream = &input;
    OutputStream = &output;
    Encode();
    InputStream = savedIn;
    OutputStream = savedOut;
    return output;
}

}  // namespace zb
