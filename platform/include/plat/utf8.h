// UTF-8, the host's encoding of file names, clipboard text and the repository's text sources.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace plat::utf8 {

// The character at `position`, moving past it. A malformed or cut sequence moves one byte on
// and gives nothing, so callers choose what a broken byte stands for.
std::optional<char32_t> Decode(std::string_view text, std::size_t& position);

void Append(std::string& out, char32_t character);

}  // namespace plat::utf8
