#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <atomic>
#include <memory>
#include <vector>

class QPainter;

// A picture and its reduced copies, each half the size of the one before and averaged
// over the pixels it covers, so that thin lines stay visible when the picture is zoomed
// out. The copies are made once, off the window's thread (QtConcurrent, each copy handed
// over through a QFutureWatcher as it is made), so the first paint never waits for them;
// until they are there, zoomed-out paints sample the full picture.
//
// Zoomed in, each picture pixel is painted as a crisp square.
class PicturePyramid : public QObject {
    Q_OBJECT
  public:
    explicit PicturePyramid(QImage picture, QObject* parent = nullptr);
    ~PicturePyramid() override;
    PicturePyramid(const PicturePyramid&) = delete;
    PicturePyramid& operator=(const PicturePyramid&) = delete;

    const QImage& picture() const { return picture_; }
    // The reduced copies ready so far; the first is half the picture's size.
    std::size_t levels() const { return levels_.size(); }
    bool complete() const { return complete_; }

    // Paints the part of the picture that lies under `target`, a rectangle of the picture
    // area at zoom `factor` (the picture's top-left corner at the area's origin). `shown` is
    // the part of the area on screen: other than at 100 % or a copy's own scale, it is
    // rendered (with a margin) once per zoom, and later paints of it copy from there.
    void paint(QPainter& painter, const QRect& target, double factor, const QRect& shown = {}) const;

  signals:
    // Another reduced copy is ready: zoomed-out paints look better from now on.
    void levelReady();

  private:
    // Runs off the window's thread: each copy is a result of the future as soon as it is made.
    static void build(QPromise<QImage>& promise, QImage picture, const std::atomic<bool>& stop);

    // Which copy suits `factor`: 0 the picture, k the copy of scale 2^-k.
    std::size_t levelFor(double factor) const;
    // Draws the picture under `target` from the copy that suits `factor`.
    void render(QPainter& painter, const QRectF& target, double factor, bool smooth) const;

    QImage picture_;
    std::vector<QImage> levels_;
    // The shown part at a zoom other than a copy's own, rendered once: its place in the area
    // and the zoom.
    mutable QImage rendered_;
    mutable QRect renderedArea_;
    mutable double renderedFactor_ = 0.0;
    mutable std::size_t renderedLevels_ = 0;
    bool complete_ = false;
    std::atomic<bool> stop_{false};
    QFutureWatcher<QImage> watcher_;
};

// Half of `source` (a 32-bit picture) in each direction, rounded up, each pixel the mean of
// the two-by-two block it covers (fewer at an odd edge). Null when `stop` became true.
QImage halved(const QImage& source, const std::atomic<bool>& stop);
