#pragma once

#include "desktop/ClickCounter.h"
#include "platform/ImageView.h"

#include <QWidget>
#include <functional>

class QtImage;

// Puts an image view on screen: paints its picture at 100 %, one widget pixel for one
// picture pixel, applies its cursor rectangles and hands it mouse presses. The view's
// coordinates have their origin at the picture's lower-left corner, y upward.
class PlotImageWidget : public QWidget, public ImageViewBackend {
    Q_OBJECT
  public:
    explicit PlotImageWidget(ImageView& view, QWidget* parent = nullptr);
    ~PlotImageWidget() override;

    ImageView* view() const { return view_; }
    QSize sizeHint() const override;

    // Drawn over the picture in every exposed rectangle (widget pixels).
    using Overlay = std::function<void(QPainter&, const QRect& exposed)>;
    void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }

    void imageViewChanged(ImageView& view) override;
    Rect visibleRect(const ImageView& view) const override;
    FPoint convertFromWindow(const ImageView& view, FPoint location) const override;
    void imageViewDestroyed(ImageView& view) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void press(QMouseEvent* event);
    void rebuildCursorRects();
    const QtImage* picture() const;

    ImageView* view_;
    ClickCounter clicks_;
    Overlay overlay_;
    bool applyingCursor_ = false;
};
