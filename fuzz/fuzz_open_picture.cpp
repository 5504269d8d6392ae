// Opens arbitrary bytes as a plot picture through the program's own loader: it must
// answer with a picture or a reason, never crash, and never hand back an empty picture
// without a reason.

#include "FuzzInput.h"
#include "desktop/files/ImageLoading.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchPath()
{
    return QStringLiteral("/dev/shm/plotmeter-fuzz-%1.img").arg(getpid());
}

// Pictures up to 64 MB decoded; larger claims must be refused, not attempted.
constexpr qint64 limit = 64LL * 1024 * 1024;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = scratchPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const ImageLoadResult loaded = loadPlotImage(path, limit);
    require(!loaded.image.isNull() || !loaded.error.isEmpty(), "a refusal gives a reason");
    require(loaded.image.isNull() || loaded.image.sizeInBytes() <= limit, "nothing is decoded beyond the limit");
    return 0;
}
