#include "desktop/picture/PicturePixels.h"

#include "desktop/files/ImageLoading.h"
#include "desktop/files/PdfPages.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>

namespace {

bool opaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    for (int row = 0; row < image.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < image.width(); ++column)
            if (qAlpha(line[column]) != 255)
                return false;
    }
    return true;
}

} // namespace

PicturePixels::PicturePixels(const QImage& image)
{
    const QImage::Format format = image.format();
    const bool wide = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                      format == QImage::Format_ARGB32_Premultiplied;
    if (wide && opaque(image)) {
        image_ = image; // shares the pixels
        return;
    }
    image_ = QImage(image.size(), QImage::Format_RGB32);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    painter.drawImage(0, 0, image);
}

PixelView PicturePixels::view() const
{
    return {reinterpret_cast<const std::uint32_t*>(image_.constBits()), image_.width(), image_.height(),
            static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4)};
}

DecodedPicture decodePicture(const std::string& path, const std::optional<PdfPage>& page)
{
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    QImage image;
    if (startsLikePdf(path)) {
        // Qt PDF wants an application object; the command line has none of its own.
        std::unique_ptr<QCoreApplication> application;
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "plotmeter";
            static char* argv[] = {name, nullptr};
            application = std::make_unique<QCoreApplication>(argc, argv);
        }
        const PdfDocument document(file);
        if (!document.error().isEmpty())
            return {{}, {}, document.error().toStdString()};
        QString why;
        image = document.render(page.value_or(PdfPage{}), pictureByteLimit(), why);
        if (image.isNull())
            return {{}, {}, why.toStdString()};
    } else {
        ImageLoadResult loaded = loadPlotImage(file);
        if (loaded.image.isNull())
            return {{}, {}, loaded.error.toStdString()};
        image = std::move(loaded.image);
    }
    auto pixels = std::make_shared<PicturePixels>(image);
    image = QImage();
    const PixelView view = pixels->view();
    return {std::move(pixels), view, {}};
}
