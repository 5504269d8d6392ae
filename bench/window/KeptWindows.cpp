#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <memory>

namespace {

std::map<QString, std::unique_ptr<WindowRig>>& withPicture()
{
    static std::map<QString, std::unique_ptr<WindowRig>> kept;
    return kept;
}

std::map<int, std::unique_ptr<WindowRig>>& withRows()
{
    static std::map<int, std::unique_ptr<WindowRig>> kept;
    return kept;
}

} // namespace

WindowRig& keptWindowWithPicture(const QString& path)
{
    auto& rig = withPicture()[path];
    if (rig == nullptr) {
        rig = std::make_unique<WindowRig>();
        rig->openPicture(path);
    }
    return *rig;
}

WindowRig& keptWindowWithDataRows(int rows)
{
    auto& rig = withRows()[rows];
    if (rig == nullptr) {
        rig = std::make_unique<WindowRig>(WindowRig::Start::acquiring);
        rig->addDataRows(rows);
    }
    return *rig;
}

void closeKeptWindows()
{
    withPicture().clear();
    withRows().clear();
}

QString pictureLabel(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("plot-(\\d+)mp\\.(\\w+)$"));
    const QRegularExpressionMatch match = pattern.match(QFileInfo(path).fileName());
    if (!match.hasMatch())
        return QFileInfo(path).fileName() == QLatin1String("sample-plot.png") ? QStringLiteral("the sample plot (PNG)")
                                                                              : QFileInfo(path).fileName();
    const QString suffix = match.captured(2);
    const QString format = suffix == QLatin1String("jpg")   ? QStringLiteral("JPEG")
                           : suffix == QLatin1String("tif") ? QStringLiteral("TIFF")
                                                            : suffix.toUpper();
    return match.captured(1) + QStringLiteral(" MP ") + format;
}
