#pragma once

#include "platform/Image.h"

#include <QColor>
#include <QImage>
#include <QString>

// A picture decoded once and kept as the only full-size copy: the plot widget paints
// straight from it, a visible rectangle at a time.
class QtImage : public Image {
  public:
    QtImage(QImage image, QString path) : image_(std::move(image)), path_(std::move(path)) {}

    Size size() const override { return {static_cast<float>(image_.width()), static_cast<float>(image_.height())}; }
    void setBackgroundColor(const Color& color) override
    {
        background_ = QColor::fromRgbF(color.red, color.green, color.blue, color.alpha);
    }

    const QImage& image() const { return image_; }
    const QString& path() const { return path_; }
    QColor backgroundColor() const { return background_; }

  private:
    QImage image_;
    QString path_;
    QColor background_ = Qt::white;
};
