#pragma once

#include "platform/Geometry.h"

#include <QWidget>
#include <QImage>
#include <optional>

class QSpinBox;

// The pixels under the cursor, enlarged, in a panel of their own beside the picture (so it
// never covers what it magnifies): a cross-hair on the exact point a click would give, and
// that point's picture coordinates in a corner. The lens takes the panel's width at a
// compact height, its enlargement (screen pixels per picture pixel, 6 unless the user picks
// another) chosen in its upper corner.
class Magnifier : public QWidget {
    Q_OBJECT
  public:
    explicit Magnifier(QWidget* parent = nullptr);

    // The picture to magnify; a null one shows nothing.
    void setPicture(const QImage& picture);
    // The cursor is at `point` (picture coordinates), or off the picture.
    void showAt(std::optional<DPoint> point);

    int enlargement() const;
    void setEnlargement(int factor);
    std::optional<DPoint> shownPoint() const { return point_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void paintLens(QWidget& lens);

    QWidget* lens_;
    QSpinBox* factor_;
    QImage picture_;
    std::optional<DPoint> point_;
};
