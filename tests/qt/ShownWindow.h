#pragma once

// The tests include ui_MainWindow.h themselves to reach the window's parts through ui().
#include "WindowDriver.h"
#include "desktop/window/MainWindow.h"
#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/QtPlatform.h"

#include <QScrollArea>
#include <QtTest>
#include <memory>

// The program's window as a user starts it: shown with room for an 800 x 600 picture at
// 100 %, with a picture given at launch as on the command line.
struct ShownWindow {
    // Launches a white picture of `size`, made in the temporary folder as plot.png.
    explicit ShownWindow(QSize size = {800, 600})
    {
        restart(makePicture(folder, QStringLiteral("plot.png"), size.width(), size.height()));
    }
    explicit ShownWindow(const QString& picture) { restart(picture); }

    // A new window in place of the old, as when the program is started again.
    void restart(const QString& picture)
    {
        window.reset();
        platform = std::make_unique<QtPlatform>();
        window = std::make_unique<MainWindow>(*platform);
        window->resize(1400, 880);
        window->show();
        ready = QTest::qWaitForWindowActive(window.get());
        window->launch({picture});
        ready = ready && plot() != nullptr;
    }

    PlotImageWidget* plot() const
    {
        return qobject_cast<PlotImageWidget*>(window->findChild<QScrollArea*>("plotScrollArea")->widget());
    }
    Ui::MainWindow& ui() const { return window->ui(); }
    PlotmeterManager& manager() const { return window->manager(); }
    PointTable& calibration() const { return *manager().calMatrix(); }
    PointTable& data() const { return *manager().acquireMatrix(); }
    QString file(const QString& name) const { return folder.filePath(name); }
    bool open(const QString& path) const { return manager().openPath(QFile::encodeName(path).toStdString()); }

    ModalGuard guard;
    QTemporaryDir folder;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<MainWindow> window;
    bool ready = false; // shown, active, and showing the picture
};
