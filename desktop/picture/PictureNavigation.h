#pragma once

#include "platform/Geometry.h"

#include <QObject>
#include <QPointer>
#include <optional>

class Magnifier;
class PlotImageWidget;
class PlotmeterManager;
class QAction;
class QLabel;
class ReadoutText;
class QMainWindow;
class QMenu;
class QScrollArea;
class QStatusBar;

// Finding one's way around the picture: the View menu's zoom commands, the zoom and the
// cursor's coordinates in the status bar (picture coordinates, and world coordinates once
// calibrated), and the magnifier, all following the picture widget on show.
class PictureNavigation : public QObject {
    Q_OBJECT
  public:
    PictureNavigation(const PlotmeterManager& manager, QScrollArea& area, QMenu& viewMenu, QStatusBar& statusBar,
                      Magnifier& magnifier, QMainWindow& window);

    // A new picture widget is on show.
    void follow(PlotImageWidget& widget);

    QAction* zoomIn() const { return zoomIn_; }
    QAction* zoomOut() const { return zoomOut_; }
    QAction* actualSize() const { return actualSize_; }
    QAction* fitToWindow() const { return fitToWindow_; }

    // The cursor's coordinates as the status bar shows them.
    QString readout(DPoint picture) const;

  private:
    // Zooms about the cursor when it is over the picture, else about the area's centre.
    void zoomAboutCursor(double ratio);
    void showZoom(double factor);
    void pointerAt(std::optional<DPoint> picture);

    const PlotmeterManager& manager_;
    QScrollArea& area_;
    Magnifier& magnifier_;
    QPointer<PlotImageWidget> widget_;
    QAction* zoomIn_;
    QAction* zoomOut_;
    QAction* actualSize_;
    QAction* fitToWindow_;
    QLabel* zoomLabel_;
    ReadoutText* pointerLabel_;
};
