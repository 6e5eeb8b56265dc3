#include "net/TNMHTTP.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/TextCase.h"
#include "common/TextNumbers.h"
#include "net/HttpText.h"
#include "net/SockErrorTable.h"
#include "net/TNMURL.h"
#include "net/TNMUUProcessor.h"

namespace zb {

namespace {

constexpr const char* kVerbs[] = {"GET ",  "OPTIONS ", "HEAD ",   "POST ", "PUT ",    "PATCH ",
                                  "COPY ", "MOVE ",    "DELETE ", "LINK ", "UNLINK ", "TRACE "};

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The line without its line end (LF or CR LF).
std::string WithoutLineEnd(const std::string& line) {
    std::size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n') --end;
    if (end > 0 && line[end - 1] == '\r') --end;
    return line.substr(0, end);
}

// When `line` is a header line named `name` (any case, colon right after the name), stores its
// value without leading blanks and returns true. Any number of blanks may follow the colon.
bool HeaderValue(const std::string& line, const std::string& name, std::string& value) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    if (CompareText(line.substr(0, name.size()), name) != 0) return false;
    std::string rest = WithoutLineEnd(line.substr(name.size() + 1));
    std::size_t start = 0;
    while (start < rest.size() && (rest[start] == ' ' || rest[start] == '\t'))
        ++start;
    value = rest.substr(start);
    return true;
}

}  // namespace

const char* CmdVerb(CmdType cmd) {
    return cmd <= CmdTRACE ? kVerbs[cmd] : "";
}

TNMHTTP::TNMHTTP() = default;

TNMHTTP::~TNMHTTP() {
    // No event may reach the owner from here on: its handlers may write into members that are
    // already gone.
    BeginDestroy();
    Abort();
}

void TNMHTTP::Abort() {
    // Ends a waiting host lookup as well as every other wait.
    FLookupDone = true;
    Cancel();
}

void TNMHTTP::Request(CmdType cmd, const std::string& url) {
    FURL = url;
    FCmd = cmd;
    ExecuteRequest();
}

void TNMHTTP::Options(const std::string& url) {
    Request(CmdOPTIONS, url);
}
void TNMHTTP::Get(const std::string& url) {
    Request(CmdGET, url);
}
void TNMHTTP::Head(const std::string& url) {
    Request(CmdHEAD, url);
}
void TNMHTTP::Delete(const std::string& url) {
    Request(CmdDELETE, url);
}

void TNMHTTP::Post(const std::string& url, const std::string& data) {
    if (OutputFileMode) {
        FPostData = data;
    } else {
        TNMURL decoder;
        FPostData = decoder.Decode(data);
    }
    Request(CmdPOST, url);
}

void TNMHTTP::Put(const std::string& url, const std::string& data) {
    FPostData = data;
    Request(CmdPUT, url);
}

void TNMHTTP::Patch(const std::string& url, const std::string& data) {
    FPostData = data;
    Request(CmdPATCH, url);
}

void TNMHTTP::Trace(const std::string& url, const std::string& data) {
    FPostData = data;
    Request(CmdTRACE, url);
}

void TNMHTTP::Copy(const std::string& url, const std::string& destination) {
    FDestURI = destination;
    Request(CmdCOPY, url);
}

void TNMHTTP::Move(const std::string& url, const std::string& destination) {
    FDestURI = destination;
    Request(CmdMOVE, url);
}

void TNMHTTP::Link(const std::string& url, const std::string& link) {
    FDestURI = link;
    FPostData = "Send.dat";
    Request(CmdLINK, url);
}

void TNMHTTP::Unlink(const std::string& url, const std::string& link) {
    FDestURI = link;
    FPostData = "Send.dat";
    Request(CmdUNLINK, url);
}

std::string TNMHTTP::PortSuffix() const {
    return Port == (FSecure ? 443 : 80) ? std::string() : ":" + std::to_string(Port);
}

std::string TNMHTTP::AbsoluteURL() const {
    if (Contains(FURL, "//")) return FURL;
    return Scheme() + Host + PortSuffix() + FPath;
}

void TNMHTTP::OpenSecureChannel() {
    if (!Proxy.empty()) {
        try {
            OpenTunnel();
        } catch (...) {
            Disconnect();
            throw;
        }
    }
    StartTls(Host);
}

void TNMHTTP::OpenTunnel() {
    // The proxy connects to the server and then relays bytes both ways; it is part of the
    // connection set-up and bounded by the same time-out.
    const std::string target = Host + ":" + std::to_string(Port);
    StatusMessage(8, "Opening Tunnel");
    std::string statusLine;
    TimerOn();
    try {
        std::string request = "CONNECT " + target + " HTTP/1.0\r\nHost: " + target + "\r\n";
        if (!HeaderInfo.LocalProgram.empty()) {
            request += "User-Agent: " + HeaderInfo.LocalProgram + "\r\n";
        }
        Write(request + "\r\n");
        statusLine = ReadLn();
        ParseStatusLine(statusLine);
        std::size_t headerSize = statusLine.size();
        for (;;) {
            const std::string line = ReadLn();
            headerSize += line.size();
            if (headerSize > kMaxHeaderSize) {
                throw ESockError(
                    "Proxy answer too long: more than " + std::to_string(kMaxHeaderSize) + " bytes",
                    SockErrorKind::Protocol);
            }
            if (line == "\r\n" || line == "\n") break;
        }
    } catch (const ESockError&) {
        TimerOff();
        if (TimedOut()) {
            throw ESockError("The proxy did not open a tunnel to " + target + " in time",
                             SockErrorKind::TimeOut);
        }
        throw;
    }
    TimerOff();
    if (FReplyNumber < 200 || FReplyNumber > 299) {
        throw ESockError(
            "The proxy refused the tunnel to " + target + ": " + WithoutLineEnd(statusLine),
            SockErrorKind::Refused);
    }
}

void TNMHTTP::ExecuteRequest() {
    int redirections = 0;
    for (;;) {
        ParseURL();
        BuildRequestHeader();
        if (OnAboutToSend) OnAboutToSend(*this);
        Connect();
        if (FSecure) OpenSecureChannel();

        const CmdType sentCmd = FCmd;
        int status = 0;
        bool redirection = false;
        try {
            SendRequest();
            ReadResponseHeader();
            CaptureBody(sentCmd);
            status = FReplyNumber;
            // A redirection status without a place to go to is no redirection: it ends the
            // request as a failure.
            redirection = status >= 300 && status <= 398 && FHasLocation;
            if (status < 299) {
                if (OnSuccess) OnSuccess(FCmd);
                StatusMessage(2, "Transaction Completed");
            } else if (status > 399 || (status >= 300 && status <= 398 && !redirection)) {
                if (OnFailure) OnFailure(FCmd);
            }
        } catch (...) {
            SetCaptureLimit(-1);
            Disconnect();
            throw;
        }
        Disconnect();

        bool again = false;
        if (redirection) {
            bool handled = false;
            if (!FReceivedCookie.empty()) HeaderInfo.Cookie = FReceivedCookie;
            if (OnRedirect) OnRedirect(handled);
            if (handled) return;
            if (FURL.find('/') == std::string::npos) {
                // A bare file name: on the same server.
                FURL = Scheme() + Host + PortSuffix() + "/" + FURL;
            } else if (FURL[0] == '/' && FURL.compare(0, 2, "//") != 0) {
                // A rooted path: on the same server and port.
                FURL = Scheme() + Host + PortSuffix() + FURL;
            }
            again = true;
        }
        if (status == 401 && OnAuthenticationNeeded) OnAuthenticationNeeded(*this);
        if (!again) return;
        if (++redirections > kMaxRedirections) {
            throw ESockError(
                "Too many redirections (more than " + std::to_string(kMaxRedirections) + ")",
                SockErrorKind::Protocol);
        }
    }
}

void TNMHTTP::CaptureBody(CmdType sentCmd) {
    // The body ends where the response says it ends: nothing after a HEAD request or with a
    // status that carries no body, else after Content-Length bytes when it was announced (a
    // server or proxy may keep the connection open), else when the server closes.
    const int status = FReplyNumber;
    std::int64_t expected = -1;
    if (sentCmd == CmdHEAD || status == 204 || status == 304) {
        expected = 0;
    } else if (FHasContentLength) {
        expected = FBytesTotal;
    }
    SetCaptureLimit(expected);
    if (InputFileMode) {
        CaptureFile(Body);
    } else {
        CaptureString(Body, -1);
    }
    SetCaptureLimit(-1);
    const std::int64_t received = Captured();
    if (expected >= 0 && received >= expected) return;
    if (PeerError() != 0) {
        const ESockError cause = PeerFailure();
        throw ESockError("The connection broke before the body was complete: " + cause.Message,
                         cause.Kind(), cause.Code());
    }
    if (expected > 0) {
        throw ESockError("The connection closed before the body was complete (" +
                             std::to_string(received) + " of " + std::to_string(expected) +
                             " bytes)",
                         SockErrorKind::Closed);
    }
}

void TNMHTTP::ParseURL() {
    if (FURL.empty()) throw Exception("Empty URL");
    if (Port == 0) Port = 80;
    if (Contains(FURL, "//")) {
        const std::size_t pos = NthPos(FURL, '/', 3);
        FPath = pos <= FURL.size() ? FURL.substr(pos - 1) : std::string();
    } else if (Contains(FURL, "/")) {
        FPath = FURL.substr(FURL.find('/'));
    } else {
        FPath.clear();
    }
    if (Contains(FURL, ":")) {
        const std::string scheme = LowerCase(FieldOf(FURL, ':', 1));
        FSecure = scheme == "https";
        Port = scheme == "gopher" ? 70 : scheme == "ftp" ? 21 : FSecure ? 443 : 80;
    }
    std::string hostPart;
    if (Contains(FURL, "//")) {
        hostPart = FieldOf(FURL, '/', 3);
    } else if (FURL[0] != '/') {
        hostPart = FieldOf(FURL, '/', 1);
    }
    if (Contains(hostPart, ":")) {
        Port = StrToInt(FieldOf(hostPart, ':', 2));
        hostPart = hostPart.substr(0, hostPart.find(':'));
    }
    if (!hostPart.empty()) Host = hostPart;
    if (FPath.empty()) {
        FPath = "/";
        if (FURL.back() != '/') FURL += "/";
    }
}

void TNMHTTP::BuildRequestHeader() {
    FRequestHeader.Clear();
    // Through a tunnel the request goes to the server itself, as without a proxy.
    const bool viaProxy = !Proxy.empty() && !FSecure;
    FRequestHeader.Add(CmdVerb(FCmd) + (viaProxy ? AbsoluteURL() : FPath) + " HTTP/1.0");
    if (viaProxy) FRequestHeader.Add("Proxy-Connection: Keep-Alive");
    FRequestHeader.SetValue("Host", Host);
    FRequestHeader.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    FRequestHeader.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    if (!HeaderInfo.LocalProgram.empty())
        FRequestHeader.SetValue("User-Agent", HeaderInfo.LocalProgram);
    if (!HeaderInfo.LocalMailAddress.empty()) {
        FRequestHeader.SetValue("From", HeaderInfo.LocalMailAddress);
    }
    if (!HeaderInfo.Cookie.empty()) FRequestHeader.SetValue("Cookie", HeaderInfo.Cookie);
    if (!HeaderInfo.Referer.empty()) FRequestHeader.SetValue("Referer", HeaderInfo.Referer);
    if (!HeaderInfo.UserId.empty() && !HeaderInfo.Password.empty()) {
        TNMUUProcessor encoder;
        encoder.Method = uuMime;
        const std::string lines =
            encoder.EncodeString(HeaderInfo.UserId + ":" + HeaderInfo.Password);
        // Long credentials come out in several lines; they are joined into one header value.
        std::string encoded;
        for (char c : lines) {
            if (c != '\r' && c != '\n') encoded += c;
        }
        FRequestHeader.SetValue("Authorization", "Basic " + encoded);
    }
    FRequestHeader.Add("Content-type: application/x-www-form-urlencoded");
    if (FCmd == CmdCOPY || FCmd == CmdMOVE) FRequestHeader.Add("URI-header: " + FDestURI);
    if (FCmd == CmdLINK || FCmd == CmdUNLINK) FRequestHeader.Add("Link: " + FDestURI);
    if (FCmd == CmdPOST || FCmd == CmdPUT || FCmd == CmdPATCH || FCmd == CmdTRACE) {
        std::int64_t length = static_cast<std::int64_t>(FPostData.size());
        if (OutputFileMode) std::fclose(OpenFileToSend(FPostData, length));
        FRequestHeader.Add("Content-Length: " + std::to_string(length));
    }
    FRequestHeader.Add("");
}

void TNMHTTP::SendRequest() {
    Write(FRequestHeader.Text());
    if (FCmd == CmdPOST || FCmd == CmdPUT || FCmd == CmdPATCH || FCmd == CmdTRACE) {
        if (OutputFileMode) {
            SendFile(FPostData);
        } else {
            Write(FPostData);
        }
    }
    FCmd = CmdGET;
}

void TNMHTTP::ReadResponseHeader() {
    FBytesTotal = 0;
    FHasContentLength = false;
    FReceivedCookie.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(nullptr, &std::fclose);
    if (OutputFileMode) {
        file.reset(std::fopen(Header.c_str(), "wb"));
        if (!file) {
            throw EInOutError("Cannot create file \"" + Header + "\". " + std::strerror(errno));
        }
    } else {
        Header.clear();
    }
    std::size_t headerSize = 0;
    auto keep = [&](const std::string& line) {
        headerSize += line.size();
        if (headerSize > kMaxHeaderSize) {
            throw ESockError(
                "Response header too long: more than " + std::to_string(kMaxHeaderSize) + " bytes",
                SockErrorKind::Protocol);
        }
        if (file) {
            if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
                throw EInOutError("Cannot write file \"" + Header + "\". " + std::strerror(errno));
            }
        } else {
            Header += line;
        }
    };
    // Interim (1xx) responses are read past: their header is kept, the final one decides.
    do {
        const std::string statusLine = ReadLn();
        ParseStatusLine(statusLine);
        keep(statusLine);
        for (;;) {
            const std::string line = ReadLn();
            ParseHeaderLine(line);
            keep(line);
            if (line == "\r\n" || line == "\n") break;
        }
    } while (FReplyNumber >= 100 && FReplyNumber <= 199);
    if (file && std::fclose(file.release()) != 0) {
        throw EInOutError("Cannot write file \"" + Header + "\". " + std::strerror(errno));
    }
}

void TNMHTTP::ParseStatusLine(const std::string& line) {
    // "HTTP/1.0 200 OK": the code is the digits after the first word (a reason phrase may be
    // missing).
    std::size_t i = line.find(' ');
    int code = -1;
    if (i != std::string::npos) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        std::size_t digits = 0;
        int value = 0;
        while (i + digits < line.size() && line[i + digits] >= '0' && line[i + digits] <= '9' &&
               digits < 4) {
            value = value * 10 + (line[i + digits] - '0');
            ++digits;
        }
        const char after = i + digits < line.size() ? line[i + digits] : '\n';
        if (digits == 3 && (after == ' ' || after == '\r' || after == '\n')) code = value;
    }
    if (code < 100) {
        throw ESockError(
            "Invalid response status line: \"" + WithoutLineEnd(line).substr(0, 200) + "\"",
            SockErrorKind::Protocol);
    }
    FReplyNumber = static_cast<std::int16_t>(code);
    FHasContentLength = false;
    FHasLocation = false;
    FBytesTotal = 0;
}

void TNMHTTP::ParseHeaderLine(const std::string& line) {
    std::string value;
    if (HeaderValue(line, "Set-Cookie", value)) {
        FReceivedCookie = value;
    } else if (HeaderValue(line, "Location", value) && !value.empty()) {
        FURL = value;
        FHasLocation = true;
    } else if (HeaderValue(line, "Content-Length", value)) {
        std::size_t digits = 0;
        std::int64_t length = 0;
        while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9' &&
               digits < 18) {
            length = length * 10 + (value[digits] - '0');
            ++digits;
        }
        std::size_t end = digits;
        while (end < value.size() && (value[end] == ' ' || value[end] == '\t'))
            ++end;
        if (digits > 0 && end == value.size()) {
            FBytesTotal = length;
            FHasContentLength = true;
        } else {
            FBytesTotal = 0;
            FHasContentLength = false;
        }
    }
}

}  // namespace zb
