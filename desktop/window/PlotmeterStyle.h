#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>
#include <utility>

// The desktop's own style (or the one chosen with -style), with two things of Plotmeter's
// own: a point table's grid in the table's colour, and the dock panels' title-bar icons
// made once rather than at every measurement of every panel. It stands in for style
// sheets, which would put every widget under them through a slower style.
class PlotmeterStyle : public QProxyStyle {
    Q_OBJECT
  public:
    PlotmeterStyle() = default;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void polish(QApplication* application) override;
    void unpolish(QApplication* application) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

  private:
    mutable QHash<std::pair<qint64, int>, QIcon> titleBarIcons_; // by palette and icon
};
