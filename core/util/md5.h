// MD5 (RFC 1321). MT4 names a terminal's data folder by the MD5 of its installation path, so the
// program needs the digest to match an installation to its data folder; it is not used for
// anything that needs a secure hash.
#pragma once

#include <string>
#include <string_view>

namespace mervane {

// The digest of bytes as 32 upper-case hex digits.
std::string md5_hex(std::string_view bytes);

}  // namespace mervane
