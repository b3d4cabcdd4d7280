// The maker's start-up library: told the data folders and the shared resources at start-up and
// on every disk change. Nothing is expected back, so this stand-in only accepts the call.
#pragma once

#include <string_view>

namespace lexo {

void InitQRM(std::string_view diskFolder, std::string_view dataFolder, const char* windowTitle,
             const void* cursor, void* pictureStore, void* soundPlayer);

}  // namespace lexo
