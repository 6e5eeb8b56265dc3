#pragma once
// Encodes bytes into printable lines of 45 input bytes each, in the MIME base64 alphabet
// (uuMime) or the uuencode alphabet with a backquote for zero (uuCode). Lines end in CR LF.

#include <functional>
#include <string>

namespace zb {

enum UUMethods { uuMime = 0, uuCode = 1 };

class TNMUUProcessor {
public:
    using TNotifyEvent = std::function<void(TNMUUProcessor& Sender)>;

    UUMethods Method = uuMime;
    TNotifyEvent OnBeginEncode;
    TNotifyEvent OnEndEncode;
    TNotifyEvent OnBeginDecode;  // not raised: only encoding is offered
    TNotifyEvent OnEndDecode;    // not raised: only encoding is offered

    // The streams are byte strings owned by the caller; Encode reads all of InputStream and
    // appends the encoded lines to OutputStream.
    const std::string* InputStream = nullptr;
    std::string* OutputStream = nullptr;

    void Encode();
    // Convenience: the encoding of `input` with the current Method.
    std::string EncodeString(const std::string& input);
};

}  // namespace zb
