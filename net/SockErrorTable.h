#pragma once
// The socket session's error numbers and texts. Errors are numbered as WinSock numbers them
// (10061 is "Connection refused"), so that users see the same messages on every platform;
// POSIX errno values and resolver codes are mapped onto those numbers.

#include <cstdint>
#include <string>

#include "net/ESockError.h"

namespace zb {

// The error numbers the session raises or decides on.
inline constexpr int kSockInterrupted = 10004;   // "Interrupted system call"
inline constexpr int kSockWouldBlock = 10035;    // "Operation would block"
inline constexpr int kSockNetworkReset = 10052;  // "Network dropped connection or reset"
inline constexpr int kSockConnAborted = 10053;   // "Software caused connection abort"
inline constexpr int kSockConnReset = 10054;     // "Connection reset by peer"
inline constexpr int kSockNotConnected = 10057;  // "Socket is not connected"
inline constexpr int kSockShutdown = 10058;      // "Can't send after socket shutdown"
inline constexpr int kSockTimedOut = 10060;      // "Connection timed out"
inline constexpr int kSockConnRefused = 10061;   // "Connection refused"
inline constexpr int kSockHostNotFound = 11001;  // "Host not found"
inline constexpr int kSockTryAgain = 11002;      // "Non-Authoritative Host not found"
inline constexpr int kSockNoRecovery = 11003;    // "Non-Recoverable error: ..."
inline constexpr int kSockNoData = 11004;        // "Valid name, no data record of ..."

// The text of an error number without its number, or empty when the table does not know it.
std::string SockErrorText(int code);

// The message the session reports: number + ":" + text, "Unknown Error No. N" for a number
// outside the table, and empty for 0.
std::string SockErrorMessage(int code);

// The kind of failure an error number stands for.
SockErrorKind SockErrorKindOf(int code);

// The error the session raises for an error number: its message, kind and number.
ESockError SockError(int code);

// Maps an errno value (ECONNREFUSED, ...) to the session's error number. Values without a
// counterpart are returned unchanged (they then read "Unknown Error No. N").
int SockErrorFromErrno(int err);

// Maps a getaddrinfo() result (EAI_NONAME, ...) to the session's error number.
int SockErrorFromResolver(int gaiError);

}  // namespace zb
