#pragma once
// What a search session reads from and writes to its front end (a window, the command-line
// harvester, a test). Texts are CP932 bytes, as typed or as received.

#include <string>

namespace zb {

class SearchFrontEnd {
public:
    virtual ~SearchFrontEnd() = default;

    // Inputs, read afresh whenever the session needs them.
    virtual std::string AndWords() const = 0;  // words every result must contain
    virtual std::string NotWords() const = 0;  // words no result may contain
    virtual bool AdultFilter() const = 0;
    virtual bool JapanesePagesOnly() const = 0;
    virtual bool UseProxy() const = 0;
    virtual std::string ProxyHost() const = 0;
    virtual std::string ProxyPort() const = 0;  // text, converted by the search command

    // Outputs.
    virtual void SetRequestAddress(const std::string& address) = 0;  // the page being fetched
    virtual void AppendAddress(const std::string& address) = 0;      // one thumbnail address
};

}  // namespace zb
