// Writes pixels as PNG files: screenshots for people and for tests.
#pragma once

#include <string>

#include "plat/bitmap.h"
#include "plat/surface.h"

namespace plat {

// `hostPath` is a path of the host system. False when the file cannot be written.
bool WritePng(const std::string& hostPath, const PixelSurface& surface);
bool WritePng(const std::string& hostPath, const Bitmap& bitmap);

}  // namespace plat
