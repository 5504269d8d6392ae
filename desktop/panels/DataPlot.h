#pragma once

#include <QWidget>

class PlotmeterManager;

// The visible series drawn in world units, on the axes' own scales (log, dates; on polar
// axes the radius against the angle), each in its colour and marker, joined in the order of
// x; so that an outlier or a wrong
// calibration shows at a glance. It follows every change to the points and the
// calibration (refresh() after each), and draws nothing until there is a transform.
class DataPlot : public QWidget {
    Q_OBJECT
  public:
    explicit DataPlot(const PlotmeterManager& manager, QWidget* parent = nullptr);

    // The document or the calibration changed: drawn again when next shown.
    void refresh();
    // How many points the last drawing showed.
    std::size_t shownPoints() const { return shown_; }

    QSize sizeHint() const override { return {340, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const PlotmeterManager& manager_;
    std::size_t shown_ = 0;
};
