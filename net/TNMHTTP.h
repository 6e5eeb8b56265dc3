#pragma once
// HTTP/1.0 client on the socket session: one connection per request, the request line and
// header lines, the response header read line by line, the body into Body (text) or the file
// named by Body, and redirections followed by repeating the cycle. Results that are not network
// errors travel as events (OnSuccess, OnFailure, OnRedirect, OnAuthenticationNeeded).
//
// An https address (default port 443) runs TLS on the same connection (see TPowersock::StartTls,
// with CaFile and Insecure); through a proxy it first asks for a tunnel with CONNECT.

#include <cstdint>
#include <functional>
#include <string>

#include "net/TExStringList.h"
#include "net/THeaderInfo.h"
#include "net/TPowersock.h"

namespace zb {

enum CmdType : std::uint8_t {
    CmdGET = 0,
    CmdOPTIONS = 1,
    CmdHEAD = 2,
    CmdPOST = 3,
    CmdPUT = 4,
    CmdPATCH = 5,
    CmdCOPY = 6,
    CmdMOVE = 7,
    CmdDELETE = 8,
    CmdLINK = 9,
    CmdUNLINK = 10,
    CmdTRACE = 11,
};

// The verb text of a request kind ("GET ", "POST ", ...).
const char* CmdVerb(CmdType cmd);

class TNMHTTP : public TPowersock {
public:
    using TResultEvent = std::function<void(CmdType Cmd)>;

    // A chain of redirections longer than this ends with ESockError.
    static constexpr int kMaxRedirections = 20;
    // A response header larger than this (all lines together) ends with ESockError.
    static constexpr std::size_t kMaxHeaderSize = 1024 * 1024;

    TNMHTTP();
    ~TNMHTTP() override;

    std::string Body = "Default.htm";
    std::string Header = "Head.txt";
    THeaderInfo HeaderInfo;
    bool InputFileMode = false;   // the response body goes to the file named by Body
    bool OutputFileMode = false;  // the request body comes from the file named by the data
                                  // argument; the response header goes to the file named by Header
    TNotifyEvent OnAboutToSend;
    TResultEvent OnSuccess;
    TResultEvent OnFailure;
    THandlerEvent OnRedirect;
    TNotifyEvent OnAuthenticationNeeded;

    void Abort() override;

    virtual void ExecuteRequest();
    virtual void ParseURL();
    virtual void BuildRequestHeader();
    virtual void ReadResponseHeader();
    virtual void SendRequest();

    void Options(const std::string& url);
    void Get(const std::string& url);
    void Post(const std::string& url, const std::string& data);
    void Put(const std::string& url, const std::string& data);
    void Head(const std::string& url);
    void Patch(const std::string& url, const std::string& data);
    void Delete(const std::string& url);
    void Trace(const std::string& url, const std::string& data);
    void Copy(const std::string& url, const std::string& destination);
    void Move(const std::string& url, const std::string& destination);
    void Link(const std::string& url, const std::string& link);
    void Unlink(const std::string& url, const std::string& link);

    // The state of the current (or last) request.
    const std::string& URL() const { return FURL; }
    void SetURL(const std::string& url) { FURL = url; }
    const std::string& Path() const { return FPath; }
    const TExStringList& RequestHeader() const { return FRequestHeader; }
    const std::string& ReceivedCookie() const { return FReceivedCookie; }
    CmdType Cmd() const { return FCmd; }
    // Whether the last response announced a Content-Length (its value is BytesTotal()).
    bool HasContentLength() const { return FHasContentLength; }
    // Whether the current (or last) address is an https one.
    bool Secure() const { return FSecure; }

private:
    void Request(CmdType cmd, const std::string& url);
    void CaptureBody(CmdType sentCmd);
    void ParseStatusLine(const std::string& line);
    void ParseHeaderLine(const std::string& line);
    std::string AbsoluteURL() const;
    std::string PortSuffix() const;
    std::string Scheme() const { return FSecure ? "https://" : "http://"; }
    void OpenSecureChannel();
    void OpenTunnel();

    std::string FURL;
    std::string FPath;
    TExStringList FRequestHeader;
    std::string FReceivedCookie;
    std::string FPostData;
    std::string FDestURI;
    CmdType FCmd = CmdGET;
    bool FHasContentLength = false;
    bool FHasLocation = false;  // the last response named a place to go to
    bool FSecure = false;       // the address is an https one
};

}  // namespace zb
