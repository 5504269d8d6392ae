#include "desktop/picture/PlotScrollView.h"

#include "platform/ImageView.h"

#include <QScrollArea>

PlotScrollView::PlotScrollView(QScrollArea& area) : area_(area)
{
    area_.setWidgetResizable(false);
    area_.setBackgroundRole(QPalette::Dark);
    area_.setAlignment(Qt::AlignCenter);
}

// Replacing the widget deletes the previous one, which lets go of its view first; the
// view itself belongs to the controller.
void PlotScrollView::setDocumentView(View* view)
{
    shown_ = view;
    auto* imageView = dynamic_cast<ImageView*>(view);
    if (imageView == nullptr) {
        delete area_.takeWidget();
        return;
    }
    auto* widget = new PlotImageWidget(*imageView, area_);
    widget->setOverlay(overlay_);
    area_.setWidget(widget);
    if (listener_)
        listener_(*widget);
}

PlotImageWidget* PlotScrollView::widget() const
{
    return qobject_cast<PlotImageWidget*>(area_.widget());
}

void PlotScrollView::refresh()
{
    if (QWidget* widget = area_.widget())
        widget->update();
}

void PlotScrollView::setHasHorizontalScroller(bool flag)
{
    area_.setHorizontalScrollBarPolicy(flag ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void PlotScrollView::setNeedsDisplay(bool flag)
{
    if (flag)
        area_.viewport()->update();
}
