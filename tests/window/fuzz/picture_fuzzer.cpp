// libFuzzer entry for the BMP and JPEG readers.
#include "window/fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lexo::fuzz::PictureReaders(data, size);
  return 0;
}
