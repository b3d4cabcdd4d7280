// Help requests: recorded for tests; with host effects on, a converted help page beside the
// help file ("help.html" for "help.hlp") is opened when one exists.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

enum class HelpStyle { Topic, Popup };

bool ShowHelp(std::string_view helpFile, std::uint32_t context, HelpStyle style);

}  // namespace plat
