// SHA-256 of a text, written as the Content-Security-Policy writes a hash source: the 32 bytes in base64.
// The replay page names its own script and style by these hashes, so the browser runs nothing else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaro_ghost {

std::array<std::uint8_t, 32> sha256(std::string_view text);

// Standard base64 with padding.
std::string base64(const std::uint8_t* bytes, std::size_t count);

}  // namespace lumaro_ghost
