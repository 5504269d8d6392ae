#pragma once

#include "extraction/ColourMatch.h"

#include <QColor>
#include <QIcon>

// A colour of the extraction panel as Qt shows it, and as a small swatch for a button.
QColor qColour(Rgb colour);
QIcon swatchIcon(QColor colour);
