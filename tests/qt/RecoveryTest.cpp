#include "WindowDriver.h"

#include "desktop/picture/PlotImageWidget.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/QtPlatform.h"
#include "desktop/window/RecoveryCopy.h"
#include "desktop/window/RecoveryOffer.h"
#include "document/ProjectFile.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <memory>

// Work is never lost: recovery copies while the document has unsaved changes, offered
// back after a crash, in real windows under the offscreen platform; the crashing one is a
// process of its own (recovery_child) killed with SIGKILL.
class RecoveryTest : public QObject {
    Q_OBJECT

  private slots:
    // The program's names, which place its recovery folder: the child's are the same.
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Plotmeter"));
        QCoreApplication::setApplicationName(QStringLiteral("Plotmeter"));
    }
    void init();
    void cleanup();

    void killedWindowsWorkIsRecoveredAndARunningOnesIsLeftAlone();
    void damagedCopyIsNamedAndPutAside();
    void savingAndACleanQuitRemoveTheCopy();

  private:
    // A window shown and launched as the program does.
    std::unique_ptr<MainWindow> start(const QStringList& arguments = {});
    // recovery_child on the test's picture with `points` data points: running, its copy
    // written and its document in `expected`; null when it did not get there.
    std::unique_ptr<QProcess> child(const QString& expected, int points);
    QStringList copies() const
    {
        return QDir(RecoveryCopy::folder()).entryList({QStringLiteral("*.plotmeter")}, QDir::Files);
    }

    std::unique_ptr<QTemporaryDir> folder_;
    QString picture_;
    QtPlatform platform_;
    ModalGuard guard_;
};

void RecoveryTest::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(qputenv("XDG_DATA_HOME", QFile::encodeName(folder_->filePath(QStringLiteral("data")))));
    picture_ = makePicture(*folder_, QStringLiteral("plot.png"), 400, 300);
}

void RecoveryTest::cleanup()
{
    QCOMPARE(guard_.unexpected(), QStringList());
    folder_.reset();
}

std::unique_ptr<MainWindow> RecoveryTest::start(const QStringList& arguments)
{
    auto window = std::make_unique<MainWindow>(platform_);
    window->resize(1000, 700);
    window->show();
    window->launch(arguments);
    return window;
}

std::unique_ptr<QProcess> RecoveryTest::child(const QString& expected, int points)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(RECOVERY_CHILD), {picture_, expected, QString::number(points)});
    QElapsedTimer waited;
    waited.start();
    while (!process->readAllStandardOutput().contains("ready") && waited.elapsed() < 30'000)
        if (!process->waitForReadyRead(30'000) && process->state() != QProcess::Running)
            return nullptr;
    return process;
}

// One window killed after its changes, one still running: the next start offers the
// killed one's copy (its lock is stale) and not the other's, and recovers it to the very
// document the killed window held, with changes in no file and no project to save into.
void RecoveryTest::killedWindowsWorkIsRecoveredAndARunningOnesIsLeftAlone()
{
    const QString runningExpected = folder_->filePath(QStringLiteral("running.plotmeter"));
    const QString killedExpected = folder_->filePath(QStringLiteral("killed.plotmeter"));
    const std::unique_ptr<QProcess> running = child(runningExpected, 5);
    QVERIFY(running != nullptr);
    std::unique_ptr<QProcess> killed = child(killedExpected, 12);
    QVERIFY(killed != nullptr);
    killed->kill(); // SIGKILL: nothing of the program runs after it
    QVERIFY(killed->waitForFinished());
    QCOMPARE(copies().size(), 2);

    QStringList offered;
    answerNextDialog<RecoveryDialog>([&offered](RecoveryDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Recover Unsaved Work"));
        auto* list = dialog.findChild<QListWidget*>();
        for (int row = 0; row < list->count(); ++row)
            offered << list->item(row)->text();
        dialog.findChild<QPushButton*>(QStringLiteral("recoverButton"))->click();
    });
    const std::unique_ptr<MainWindow> window = start();
    QCOMPARE(offered.size(), 1);
    QVERIFY2(offered[0].contains(QStringLiteral("plot.png")) && offered[0].contains(QStringLiteral("3 calibration")) &&
                 offered[0].contains(QStringLiteral("12 data points")),
             qPrintable(offered[0]));

    const ProjectReading expected = readProjectFile(QFile::encodeName(killedExpected).toStdString());
    QVERIFY2(expected.document.has_value(), expected.error.c_str());
    PlotmeterManager& manager = window->manager();
    QVERIFY(manager.document() == *expected.document);
    QVERIFY(manager.hasUnsavedChanges());
    QVERIFY(manager.projectPath().empty());
    // The killed window's copy is gone; the running one's stays; this window keeps its own.
    window->recovery().waitForWriting();
    QVERIFY(window->recovery().exists());
    QCOMPARE(copies().size(), 2);

    running->kill();
    running->waitForFinished();
}

// A copy cut short is named and put aside, never opened.
void RecoveryTest::damagedCopyIsNamedAndPutAside()
{
    QVERIFY(QDir().mkpath(RecoveryCopy::folder()));
    const QString cut = RecoveryCopy::folder() + QStringLiteral("/cut.plotmeter");
    QVERIFY(writeFile(cut, "{\"plotmeter\": 1, \"calibration\": [{\"screen\": [1,"));
    QString text;
    answerNextMessageBox(QMessageBox::Ok, &text);
    const std::unique_ptr<MainWindow> window = start({picture_});
    QVERIFY2(text.contains(QStringLiteral("cut.plotmeter")) && text.contains(QStringLiteral("cut short")),
             qPrintable(text));
    QVERIFY(!QFile::exists(cut));
    QVERIFY(QFile::exists(RecoveryCopy::folder() + QStringLiteral("/damaged/cut.plotmeter")));
    QVERIFY(window->manager().plotmeterView() != nullptr); // the picture asked for opened
}

// A copy comes within a few seconds of a change; saving the project removes it, and so
// does a clean quit after the next change is discarded: nothing is left to recover.
void RecoveryTest::savingAndACleanQuitRemoveTheCopy()
{
    const std::unique_ptr<MainWindow> window = start({picture_});
    PlotmeterManager& manager = window->manager();
    manager.newScreenPoint({10, 10});
    QVERIFY(!window->recovery().exists());
    QTRY_VERIFY_WITH_TIMEOUT(window->recovery().exists(), 5000);
    const QString copy = window->recovery().path();

    chooseInNextFilePanel(folder_->filePath(QStringLiteral("saved.plotmeter")));
    QVERIFY(manager.saveProjectAs());
    QVERIFY(!QFile::exists(copy));

    manager.newScreenPoint({50, 10});
    window->recovery().writeNow();
    window->recovery().waitForWriting();
    QVERIFY(QFile::exists(copy));
    answerNextMessageBox(QMessageBox::Discard);
    QVERIFY(window->close());
    QCOMPARE(copies(), QStringList());
    QCOMPARE(QDir(RecoveryCopy::folder()).entryList({QStringLiteral("*.lock")}, QDir::Files), QStringList());
}

QTEST_MAIN(RecoveryTest)
#include "RecoveryTest.moc"
