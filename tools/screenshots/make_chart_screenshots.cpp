// The README's pictures of charts other than the sample plot: a black-and-white figure with
// its dashed curve extracted from the point picked, a polar antenna pattern with its rings
// and spokes and its curve extracted, a bar chart with one point a bar, and a distance
// measured on the first. The pictures and
// where their calibration points lie come from chart_pictures.py (matplotlib). At
// 1280 x 800, with no saved settings. Run by scripts/screenshot under Xvfb.
//
// Usage: make_chart_screenshots PICTURE_FOLDER PRINTED_PNG POLAR_PNG BARS_PNG MEASURE_PNG

#include "controller/PlotmeterManager.h"
#include "view/PlotmeterView.h"
#include "desktop/panels/ExtractionPanel.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/PlotmeterStyle.h"
#include "desktop/window/QtPlatform.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollArea>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

struct Chart {
    struct Mark {
        DPoint at; // picture coordinates: pixel centres at whole numbers, y down
        QString worldX, worldY;
    };
    std::vector<Mark> marks;
    DPoint pick;
    std::vector<DPoint> measure; // two points to measure between
};

std::map<QString, Chart> readCharts(const QString& path)
{
    std::map<QString, Chart> charts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return charts;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList item = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (item.size() == 6 && item[0] == QLatin1String("calibrate"))
            charts[item[1]].marks.push_back({{item[2].toDouble(), item[3].toDouble()}, item[4], item[5]});
        else if (item.size() == 4 && item[0] == QLatin1String("pick"))
            charts[item[1]].pick = {item[2].toDouble(), item[3].toDouble()};
        else if (item.size() == 6 && item[0] == QLatin1String("measure"))
            charts[item[1]].measure = {{item[2].toDouble(), item[3].toDouble()},
                                       {item[4].toDouble(), item[5].toDouble()}};
    }
    return charts;
}

bool fail(const char* why)
{
    std::fprintf(stderr, "make_chart_screenshots: %s\n", why);
    return false;
}

// Opens the picture in a new window, calibrates it, picks the curve and extracts it, in
// `mode` of the panel's list; `setUp` chooses the axes first. Then saves the window.
bool shoot(const QString& picture, const Chart& chart, int mode, const QString& out,
           const std::function<void(MainWindow&)>& setUp, const QString& measured = {})
{
    QtPlatform platform;
    MainWindow window(platform);
    window.resize(1280, 800);
    window.show();
    QTest::qWait(200);
    window.launch({picture});
    QTest::qWait(200);
    auto* plot = qobject_cast<PlotImageWidget*>(window.ui().plotScrollArea->widget());
    if (plot == nullptr || chart.marks.size() < 3)
        return fail("the picture did not open, or its points are missing");
    PlotmeterManager& manager = window.manager();
    setUp(window);
    const double height = manager.plotmeterView()->bounds().size.height;
    for (std::size_t row = 0; row < chart.marks.size(); ++row) {
        const Chart::Mark& mark = chart.marks[row];
        manager.newScreenPoint({mark.at.x, height - mark.at.y});
        manager.setCalibrationValue(static_cast<int>(row), 2, mark.worldX.toStdString());
        manager.setCalibrationValue(static_cast<int>(row), 3, mark.worldY.toStdString());
    }
    window.ui().acquireButton->click();
    ExtractionPanel& panel = window.extraction();
    panel.show();
    panel.raise();
    panel.findChild<QComboBox*>(QStringLiteral("extractionMode"))->setCurrentIndex(mode);
    panel.findChild<QToolButton*>(QStringLiteral("eyedropper"))->click();
    const double factor = plot->zoom().factor;
    QTest::mouseClick(plot, Qt::LeftButton, {},
                      QPoint(static_cast<int>(std::floor((chart.pick.x + 0.5) * factor)),
                             static_cast<int>(std::floor((chart.pick.y + 0.5) * factor))));
    QTest::qWait(300);
    if (!panel.extract()) {
        std::fprintf(stderr, "make_chart_screenshots: extraction failed: %s\n", qPrintable(panel.message()));
        return false;
    }
    QTest::qWait(300);
    if (!window.grab().save(out))
        return fail("could not write a screenshot");
    // Then, given a second file, Tools > Measure > Distance between the two points.
    if (!measured.isEmpty() && chart.measure.size() == 2) {
        window.findChild<QAction*>(QStringLiteral("measureDistance"))->trigger();
        for (const DPoint& at : chart.measure) {
            QTest::mouseClick(plot, Qt::LeftButton, {},
                              QPoint(static_cast<int>(std::floor((at.x + 0.5) * factor)),
                                     static_cast<int>(std::floor((at.y + 0.5) * factor))));
            QTest::qWait(QApplication::doubleClickInterval() + 50); // single clicks, not a double one
        }
        QTest::qWait(300);
        if (!window.grab().save(measured))
            return fail("could not write a screenshot");
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setStyle(new PlotmeterStyle); // as the program's own window has it
    if (argc != 6) {
        std::fprintf(stderr, "usage: make_chart_screenshots PICTURE_FOLDER PRINTED_PNG POLAR_PNG BARS_PNG MEASURE_PNG\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::map<QString, Chart> charts = readCharts(folder + QStringLiteral("/points.txt"));
    if (charts.size() != 3) {
        fail("points.txt does not name the three pictures");
        return 1;
    }
    const auto none = [](MainWindow&) {};
    const bool made =
        shoot(folder + QStringLiteral("/printed.png"), charts.at(QStringLiteral("printed")), 0,
              QString::fromLocal8Bit(argv[2]), none, QString::fromLocal8Bit(argv[5])) &&
        shoot(folder + QStringLiteral("/polar.png"), charts.at(QStringLiteral("polar")), 0,
              QString::fromLocal8Bit(argv[3]),
              [](MainWindow& window) {
                  window.manager().setAxes(AxisScales::polarOf({AngleUnit::degrees, false, AxisScale::linear, -40.0}));
                  window.ui().actionShowCalibrationGrid->setChecked(true);
              }) &&
        shoot(folder + QStringLiteral("/bars.png"), charts.at(QStringLiteral("bars")), 2,
              QString::fromLocal8Bit(argv[4]), none);
    return made ? 0 : 1;
}
