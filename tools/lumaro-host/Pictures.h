#pragma once

#include "Image.h"

#include <string>
#include <vector>

namespace brantok::lumaro::host {

// A test card made from nothing: colour bars, a hue and saturation field, a
// grey ramp and a warm ramp, with a centred ring; every effect has something
// to change in it.
Image MakeTestCard(int width, int height);

// The images in a grid of `columns`, row by row, each in a cell as large as
// the largest image, on a dark opaque background with gaps between cells.
// With captions, each cell has a band below its image for the caption of the
// same position (printable ASCII, cut to the cell's width).
Image MakeSheet(const std::vector<Image>& images, int columns, const std::vector<std::string>& captions = {});

} // namespace brantok::lumaro::host
