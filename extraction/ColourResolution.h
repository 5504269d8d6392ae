#pragma once

#include "extraction/PixelView.h"

// Whether the picture keeps its colour at a lower resolution than its brightness, as JPEG
// does (chroma subsampling): then a mark's colour is spread over its neighbours and a thin
// line's pixels show less of it than their brightness says, and ColourMatch must allow for
// it. Judged on the box's sharp edges between colours: where the brightness changes within
// one pixel, does the colour change as sharply? Pictures drawn straight to PNG, screenshots
// and rendered PDF pages do; JPEG's colour takes two pixels or more. When the box has too
// few such edges to tell (thin lines only, or grey ones), the answer is yes: allowing for
// spread colour only widens what matches.
bool colourSpread(const PixelView& picture, PixelBox box);
