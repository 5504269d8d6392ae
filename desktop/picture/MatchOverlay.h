#pragma once

#include "desktop/picture/PicturePixels.h"
#include "extraction/ColourMatch.h"
#include "view/PictureZoom.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <memory>
#include <optional>

class QPainter;

// The pixels that match the colour being extracted, shown translucent over the picture so
// the user sees what a tolerance takes in before extracting. Worked out off the window's
// thread (QtConcurrent, its end reported by a QFutureWatcher), at one cell per block of
// pixels on huge pictures; a newer request replaces one not yet started.
class MatchOverlay : public QObject {
    Q_OBJECT
  public:
    explicit MatchOverlay(QObject* parent = nullptr);
    ~MatchOverlay() override;

    void show(std::shared_ptr<const PicturePixels> picture, Rgb colour, double tolerance);
    void clear();
    bool shown() const { return !image_.isNull(); }
    // How many pixels matched in the last overlay made (counted by cells).
    int matchingCells() const { return matching_; }

    void paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const;

  signals:
    void ready();

  private:
    struct Request {
        std::shared_ptr<const PicturePixels> picture;
        Rgb colour;
        double tolerance = 0.0;
    };
    struct Cells {
        QImage image;
        int block = 1;
        int matching = 0;
    };
    static Cells work(const Request& request);
    void start(Request request);
    void done();

    QFutureWatcher<Cells> watcher_;
    std::optional<Request> waiting_;
    int generation_ = 0;
    int started_ = 0; // the generation of the overlay being worked out
    QImage image_;
    int block_ = 1;
    int matching_ = 0;
};
