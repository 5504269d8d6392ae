// A Plotmeter window in a process of its own, for RecoveryTest to kill: it opens the
// picture given, calibrates, takes points, waits for its recovery copy, writes the
// document it holds to EXPECTED (for the test to compare the recovered one with) and
// prints "ready", then runs until it is killed.
//     recovery_child PICTURE EXPECTED POINTS
#include "desktop/window/MainWindow.h"
#include "desktop/window/QtPlatform.h"
#include "document/ProjectFile.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Plotmeter"));
    QApplication::setApplicationName(QStringLiteral("Plotmeter"));
    if (argc != 4)
        return 2;
    QtPlatform platform;
    MainWindow window(platform);
    window.show();
    window.launch({QString::fromLocal8Bit(argv[1])});
    PlotmeterManager& manager = window.manager();
    const DPoint marks[] = {{20, 20}, {380, 20}, {20, 280}};
    for (int row = 0; row < 3; ++row) {
        manager.newScreenPoint(marks[row]);
        manager.setCalibrationValue(row, 2, std::to_string(marks[row].x / 10));
        manager.setCalibrationValue(row, 3, std::to_string(marks[row].y / 10));
    }
    window.ui().acquireButton->click();
    const int points = std::atoi(argv[3]);
    for (int i = 0; i < points; ++i)
        manager.newScreenPoint({30.0 + i * 1.25, 40.0 + i * 0.5});
    QElapsedTimer waited;
    waited.start();
    while (!window.recovery().exists() && waited.elapsed() < 20'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window.recovery().waitForWriting();
    std::string error;
    if (!window.recovery().exists() ||
        !writeProjectFile(manager.document(), argv[2], error, PicturePath::absolute)) {
        std::printf("failed %s\n", error.c_str());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}
