#pragma once

#include "cli/ExtractCommand.h"
#include "extraction/PixelView.h"

#include <QImage>

// A picture's pixels as extraction reads them: 32 bits a pixel, opaque. The picture itself
// when it already is so (the usual case: no copy), otherwise a copy laid onto white, as
// the window shows it.
class PicturePixels {
  public:
    explicit PicturePixels(const QImage& image);
    PixelView view() const;
    const QImage& image() const { return image_; }

  private:
    QImage image_;
};

// Decodes a picture file, or a page of a PDF document, for `plotmeter extract`, with the
// same code and limits as the window.
DecodedPicture decodePicture(const std::string& path, const std::optional<PdfPage>& page);
