#pragma once
// Names of downloaded thumbnails.

#include <string>

namespace zb {

// The SHA-256 of the bytes, as 64 lowercase hex digits.
std::string Sha256Hex(const std::string& bytes);

// The name a thumbnail is saved under, without extension: the address's tbn: key (up to the
// next '&' or '#') when it is 1 to 64 letters, digits, '-' or '_'; else the first 16 hex digits
// of the SHA-256 of the address.
std::string ThumbnailFileId(const std::string& address);

}  // namespace zb
