#include "desktop/files/Modules.h"

#include "axes/ocr/TesseractLabelReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace {

// The program's own folder; the command line has no application object to ask.
QString programFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

} // namespace

QFunctionPointer moduleEntry(const char* module, const char* symbol)
{
    const QStringList folders = {programFolder(), QStringLiteral(PLOTMETER_MODULE_DIR),
                                 QStringLiteral(PLOTMETER_BUILD_MODULE_DIR)};
    for (const QString& folder : folders) {
        QLibrary library(folder + QStringLiteral("/lib") + QLatin1String(module));
        if (library.load())
            if (QFunctionPointer found = library.resolve(symbol))
                return found; // the library stays loaded: QLibrary never unloads on its own
    }
    return nullptr;
}

LabelReaders moduleLabelReaders()
{
    return [] {
        static const QFunctionPointer entry = moduleEntry("plotmeter-ocr", newLabelReaderSymbol);
        return std::unique_ptr<LabelReader>(entry != nullptr ? reinterpret_cast<LabelReader* (*)()>(entry)() : nullptr);
    };
}
