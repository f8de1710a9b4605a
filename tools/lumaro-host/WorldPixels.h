#pragma once

#include "HostWorld.h"
#include "Image.h"

namespace brantok::lumaro::host {

// Moves pictures between images and the host's frame buffers of the same
// size, in BGRA or ARGB order, 8-bit (rounded to the nearest step) or 32-bit
// float. Other formats throw CliError.
void WriteImageToWorld(const Image& image, HostWorld& world);
Image ReadImageFromWorld(const HostWorld& world);

} // namespace brantok::lumaro::host
