#pragma once

#include "document/WorldMap.h"
#include "extraction/LineExtraction.h"
#include "extraction/Region.h"

// Line mode on polar axes: a cut along the radius every `angleStep` of angle (in the axes'
// unit) round the whole turn, following r(angle) from cut to cut. Points in pixel
// coordinates, in order of angle.
Extraction extractPolarLine(const PixelView& picture, const ColourMatch& colour, const Region& region,
                            const WorldMap& map, double angleStep, const Work& work);
