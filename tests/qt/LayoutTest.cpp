#include "WindowDriver.h"

#include "desktop/picture/PlotImageWidget.h"
#include "desktop/tables/PointTableView.h"
#include "desktop/window/FontWarmUp.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/QtPlatform.h"
#include "desktop/window/SessionBus.h"
#include "ui_MainWindow.h"

#include <QFontInfo>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QtTest>
#include <memory>

// How much of the window the picture gets, with no saved settings, and the panels kept
// from one start to the next: the real window under the offscreen platform.
class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { QSettings().clear(); }
    void cleanup() { QCOMPARE(guard_.unexpected(), QStringList()); }

    void pictureGetsMostOfTheWindow_data();
    void pictureGetsMostOfTheWindow();
    void fittingOnOpeningNeverEnlarges();
    void panelsShownAndHiddenAreKeptForTheNextStart();
    void sessionBusLaunchSkippedOnlyWhereItCannotWork_data();
    void sessionBusLaunchSkippedOnlyWhereItCannotWork();
    void fontStandInIsTheFontQtWouldUse_data();
    void fontStandInIsTheFontQtWouldUse();

  private:
    // A window of that size, started on `picture` as from the command line.
    std::unique_ptr<MainWindow> start(QSize size, const QString& picture);
    static QScrollArea& pictureArea(MainWindow& window) { return *window.ui().plotScrollArea; }
    static PlotImageWidget* plot(MainWindow& window)
    {
        return qobject_cast<PlotImageWidget*>(pictureArea(window).widget());
    }
    static QAction* panelAction(MainWindow& window, const QString& title);

    ModalGuard guard_;
    QTemporaryDir folder_;
    QtPlatform platform_;
};

std::unique_ptr<MainWindow> LayoutTest::start(QSize size, const QString& picture)
{
    auto window = std::make_unique<MainWindow>(platform_);
    window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    window->launch({picture});
    QCoreApplication::processEvents();
    return window;
}

QAction* LayoutTest::panelAction(MainWindow& window, const QString& title)
{
    auto* panels = window.findChild<QMenu*>(QStringLiteral("panelsMenu"));
    for (QAction* action : panels != nullptr ? panels->actions() : QList<QAction*>())
        if (action->text().remove(QLatin1Char('&')) == title)
            return action;
    return nullptr;
}

void LayoutTest::pictureGetsMostOfTheWindow_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("extraction");
    QTest::addColumn<double>("least");
    QTest::newRow("1280 x 800") << QSize(1280, 800) << false << 0.60;
    QTest::newRow("1920 x 1050") << QSize(1920, 1050) << false << 0.70;
    QTest::newRow("1280 x 800, extraction open") << QSize(1280, 800) << true << 0.55;
}

// The share of the window's area that the scrolling picture area takes, with a picture
// larger than any screen shown at 100 % so that the area is filled.
void LayoutTest::pictureGetsMostOfTheWindow()
{
    QFETCH(QSize, size);
    QFETCH(bool, extraction);
    QFETCH(double, least);
    static const QString large = makePicture(folder_, QStringLiteral("large.png"), 6000, 4000);
    const std::unique_ptr<MainWindow> window = start(size, large);
    QVERIFY(window != nullptr && plot(*window) != nullptr);
    plot(*window)->setZoom(1.0);
    if (extraction) {
        window->findChild<QMenu*>(QStringLiteral("toolsMenu"))->actions().first()->trigger();
        QVERIFY(window->extraction().isVisible());
    }
    QCoreApplication::processEvents();
    const QSize area = pictureArea(*window).size();
    const double share = double(area.width()) * area.height() / (double(window->width()) * window->height());
    qInfo("%s: picture area %d x %d of %d x %d, %.1f %%", QTest::currentDataTag(), area.width(), area.height(),
          window->width(), window->height(), 100.0 * share);
    QVERIFY2(share >= least, qPrintable(QString::number(share)));

    // The empty point table's six columns fit its panel: no scroll bar across it.
    if (!extraction) {
        const auto* table = window->findChild<PointTableView*>();
        QVERIFY(table != nullptr && table->isVisible());
        int columns = 0;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            columns += table->columnWidth(column);
        QVERIFY2(columns <= table->viewport()->width() && !table->horizontalScrollBar()->isVisible(),
                 qPrintable(QStringLiteral("%1 px of columns in %2").arg(columns).arg(table->viewport()->width())));
    }
}

// A picture fitted on opening grows with the window only up to 100 %; Fit to Window, asked
// for, still enlarges it.
void LayoutTest::fittingOnOpeningNeverEnlarges()
{
    const std::unique_ptr<MainWindow> window =
        start({700, 500}, makePicture(folder_, QStringLiteral("small.png"), 900, 700));
    QVERIFY(window != nullptr && plot(*window) != nullptr);
    QVERIFY2(plot(*window)->zoom().factor < 1.0, "opened fitted to the small window");
    window->resize(1920, 1050);
    QCoreApplication::processEvents();
    QCOMPARE(plot(*window)->zoom().factor, 1.0);
    window->findChild<QAction*>(QStringLiteral("actionFitToWindow"))->trigger();
    QVERIFY2(plot(*window)->zoom().factor > 1.0, "asked for, the fit enlarges");
}

// View > Panels shows and hides each panel; the next start has them as they were left.
void LayoutTest::panelsShownAndHiddenAreKeptForTheNextStart()
{
    const QString picture = makePicture(folder_, QStringLiteral("plot.png"), 800, 600);
    std::unique_ptr<MainWindow> window = start({1280, 800}, picture);
    QVERIFY(window != nullptr);
    QVERIFY(window->magnifierDock().isVisible());
    QVERIFY(!window->extraction().isVisible());
    for (const char* title : {"Points", "Magnifier", "Automatic Extraction"})
        QVERIFY2(panelAction(*window, QString::fromLatin1(title)) != nullptr, title);
    panelAction(*window, QStringLiteral("Magnifier"))->trigger();
    panelAction(*window, QStringLiteral("Automatic Extraction"))->trigger();
    QVERIFY(!window->magnifierDock().isVisible());
    QVERIFY(window->extraction().isVisible());
    QVERIFY(window->close());
    window.reset();

    window = start({1280, 800}, picture);
    QVERIFY(window != nullptr);
    QVERIFY(!window->magnifierDock().isVisible());
    QVERIFY(window->extraction().isVisible());
    QVERIFY(!panelAction(*window, QStringLiteral("Magnifier"))->isChecked());
}

void LayoutTest::sessionBusLaunchSkippedOnlyWhereItCannotWork_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("runtimeBus");      // <runtime dir>/bus exists
    QTest::addColumn<QString>("launcherMode"); // "", "runnable" or "plain" file at the launcher's path
    QTest::addColumn<QString>("searchedMode"); // the same, in the second folder of the search path
    QTest::addColumn<bool>("cannotWork");
    QTest::newRow("nothing to find or run") << QByteArray() << false << QString() << QString() << true;
    QTest::newRow("an address given") << QByteArrayLiteral("unix:path=/run/bus") << false << QString() << QString()
                                      << false;
    QTest::newRow("the user's bus socket") << QByteArray() << true << QString() << QString() << false;
    QTest::newRow("launcher installed") << QByteArray() << false << QStringLiteral("runnable") << QString() << false;
    QTest::newRow("launcher on the search path")
        << QByteArray() << false << QString() << QStringLiteral("runnable") << false;
    QTest::newRow("launchers that cannot run")
        << QByteArray() << false << QStringLiteral("plain") << QStringLiteral("plain") << true;
}

// Only where libdbus could not reach or start a session bus anyway does the start skip the
// attempt; and the environment the window was made in is given back.
void LayoutTest::sessionBusLaunchSkippedOnlyWhereItCannotWork()
{
    QFETCH(QByteArray, address);
    QFETCH(bool, runtimeBus);
    QFETCH(QString, launcherMode);
    QFETCH(QString, searchedMode);
    QFETCH(bool, cannotWork);
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const char* sub : {"runtime", "bin", "first", "second"})
        QVERIFY(dir.mkdir(QString::fromLatin1(sub)));
    const auto place = [](const QString& path, const QString& mode) {
        if (mode.isEmpty())
            return true;
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.setPermissions(mode == QLatin1String("runnable") ? QFile::ReadOwner | QFile::ExeOwner
                                                                     : QFile::ReadOwner);
    };
    if (runtimeBus)
        QVERIFY(place(dir.filePath(QStringLiteral("runtime/bus")), QStringLiteral("plain")));
    const QString launcher = dir.filePath(QStringLiteral("bin/dbus-launch"));
    QVERIFY(place(launcher, launcherMode));
    QVERIFY(place(dir.filePath(QStringLiteral("second/dbus-launch")), searchedMode));
    const QByteArray searchPath = QFile::encodeName(dir.filePath(QStringLiteral("first")) + QLatin1Char(':') +
                                                    dir.filePath(QStringLiteral("second")));
    QCOMPARE(BusLaunchSkip::launchCannotWork(address.isNull() ? nullptr : address.constData(),
                                             QFile::encodeName(dir.filePath(QStringLiteral("runtime"))).constData(),
                                             QFile::encodeName(launcher).toStdString(), searchPath.constData()),
             cannotWork);

    // This machine's own case: what the start sets, end() takes away again.
    const QByteArray before = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    {
        BusLaunchSkip skip;
        QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), skip.skipping() ? QByteArrayLiteral("disabled:") : before);
        skip.end();
        QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), before);
    }
    QCOMPARE(qgetenv("DBUS_SESSION_BUS_ADDRESS"), before);
}

void LayoutTest::fontStandInIsTheFontQtWouldUse_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("generic sans") << QStringLiteral("Sans Serif");
    QTest::newRow("generic serif") << QStringLiteral("Serif");
    QTest::newRow("generic fixed") << QStringLiteral("Monospace");
    QTest::newRow("not installed") << QStringLiteral("Plotmeter No Such Family");
    QTest::newRow("installed") << QFontInfo(QFont(QStringLiteral("Sans Serif"))).family();
}

// A family no font has is asked for by the name of the font Qt would fall back on: the same
// face, found beforehand; an installed family keeps its name. Qt itself gives the truth.
void LayoutTest::fontStandInIsTheFontQtWouldUse()
{
    QFETCH(QString, family);
    const QString used = QFontInfo(QFont(family)).family();
    const bool installed = used.compare(family, Qt::CaseInsensitive) == 0;
    QCOMPARE(FontWarmUp::standInFor(family), installed ? QString() : used);

    // The start's own way: the application's font names the stand-in, and shows the same face.
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(family, 9));
    {
        FontWarmUp fonts;
        fonts.applicationMade();
        fonts.useStandIn();
        QCOMPARE(QApplication::font().family(), used);
        QCOMPARE(QFontInfo(QApplication::font()).family(), used);
        QCOMPARE(QApplication::font().pointSize(), 9);
    }
    QApplication::setFont(before);
}

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
