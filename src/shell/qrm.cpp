#include "shell/qrm.h"

namespace lexo {

void InitQRM(std::string_view, std::string_view, const char*, const void*, void*, void*) {}

}  // namespace lexo
