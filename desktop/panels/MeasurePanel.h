#pragma once

#include "desktop/picture/PlotImageWidget.h"
#include "document/Measurement.h"

#include <QDockWidget>
#include <QStringList>
#include <memory>
#include <optional>

class PlotmeterManager;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;

// Tools > Measure, and the Measurements panel that lists what was measured: Distance
// (two clicks), Angle (three clicks, the angle at the middle one), Path and Area (clicks
// along a path; a double-click ends it, closed round an area), and Scale Bar (two clicks
// on a scale bar's ends, then its length with a unit: "50 µm"). Each result is one step
// to undo and is kept in the project; the list shows the values (from the scale bar when
// there is one, else the calibration), and copies them as text.
class MeasurePanel : public QDockWidget {
    Q_OBJECT
  public:
    enum class Tool { none, distance, angle, path, scaleBar };

    MeasurePanel(PlotmeterManager& manager, QMenu& toolsMenu, QWidget* parent = nullptr);
    ~MeasurePanel() override;

    // The tool the picture should use while measuring; null otherwise.
    PictureTool* tool() const;
    void choose(Tool tool);
    // Drawn over the picture: every measurement, the one under way and the scale bar.
    void paint(QPainter& painter, const QRect& exposed, const PictureZoom& zoom) const;
    // After every change to the document: the list shows it.
    void documentChanged();
    // The text Copy puts on the clipboard: one measurement a line.
    QString text() const;

  signals:
    // The tool or what is drawn changed: the picture needs a repaint, perhaps another tool.
    void pictureOverlayChanged();

  private:
    class Clicks;
    void buildBody(); // once, when first shown
    QStringList lines() const; // one a measurement, with its values
    void clicked(DPoint picture, bool doubled);
    void finish(bool closed);

    PlotmeterManager& manager_;
    Tool tool_ = Tool::none;
    std::unique_ptr<Clicks> clicks_;
    std::vector<DPoint> pending_; // the measurement under way
    QActionGroup* tools_;
    QListWidget* list_ = nullptr;
    QLabel* scale_ = nullptr;
};
