// The program's private message numbers. Windows and objects report to their owners with
// these; the numbers are fixed because handlers compare them as numbers.
#pragma once

#include <cstdint>

#include "plat/messages.h"

namespace lexo {

inline constexpr std::uint32_t WM_XNOTIFY = plat::msg::kUser + 13;  // 1037
inline constexpr std::uint32_t kListRowChosen = 0x0464;
inline constexpr std::uint32_t kListRowChanging = 0x0465;
inline constexpr std::uint32_t kListPress = 0x0466;
inline constexpr std::uint32_t kListDoubleClick = 0x0467;
inline constexpr std::uint32_t kListChecker = 0x0468;
inline constexpr std::uint32_t kListGroupToggled = 0x0469;
inline constexpr std::uint32_t WM_XCRITERIA = 0x046A;  // also the explorer's "after change"
inline constexpr std::uint32_t kListEnter = 0x046B;
inline constexpr std::uint32_t kListHover = 0x046D;
inline constexpr std::uint32_t kListPointerEntered = 0x046E;
inline constexpr std::uint32_t kListPointerLeft = 0x046F;
inline constexpr std::uint32_t kListRowNumber = 0x0471;
inline constexpr std::uint32_t WM_XFRAMESIZE = 0x0658;
inline constexpr std::uint32_t WM_XFRAMEQUERY = 0x0659;
inline constexpr std::uint32_t WM_XFRAMESTATE = 0x065A;
inline constexpr std::uint32_t kSelectDiskAccept = 0x065B;
inline constexpr std::uint32_t kHelpRequest = 0x0FFF;
inline constexpr std::uint32_t WM_XHOVER = 0x7FF0;

}  // namespace lexo
