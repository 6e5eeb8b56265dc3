#pragma once
// The socket session's error numbers and texts. Errors are numbered as WinSock numbers them
// (10061 is "Connection refused"), so that users see the same messages on every platform;
// POSIX errno values and resolver codes are mapped onto those numbers.

#include <cstdint>
#include <string>

namespace zb {

// The text of an error number without its number, or empty when the table does not know it.
std::string SockErrorText(int code);

// The message the session reports: number + ":" + text, "Unknown Error No. N" for a number
// outside the table, and empty for 0.
std::string SockErrorMessage(int code);

// Maps an errno value (ECONNREFUSED, ...) to the session's error number. Values without a
// counterpart are returned unchanged (they then read "Unknown Error No. N").
int SockErrorFromErrno(int err);

// Maps a getaddrinfo() result (EAI_NONAME, ...) to the session's error number.
int SockErrorFromResolver(int gaiError);

}  // namespace zb
