#pragma once
// Decodes URL-encoded text: "+" becomes a blank and "%" with two hexadecimal digits becomes the
// byte with that code. A malformed escape returns the input unchanged and raises OnError.

#include <functional>
#include <string>

namespace zb {

class TNMURL {
public:
    using TOnErrorEvent = std::function<void(TNMURL& Sender, const std::string& Operation,
                                             const std::string& ErrMsg)>;

    std::string InputString;
    TOnErrorEvent OnError;

    std::string Decode(const std::string& text);
    // The decoded form of InputString.
    std::string Decoded() { return Decode(InputString); }
};

}  // namespace zb
