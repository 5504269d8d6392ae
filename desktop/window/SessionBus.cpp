#include "desktop/window/SessionBus.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unistd.h>

namespace {

constexpr const char* busAddressVariable = "DBUS_SESSION_BUS_ADDRESS";
// The program libdbus runs to start a bus; its path is built into the library.
constexpr const char* busLauncher = "/usr/bin/dbus-launch";
// An address of a kind libdbus does not know: the connection fails without trying more.
constexpr const char* failingAddress = "disabled:";

} // namespace

BusLaunchSkip::BusLaunchSkip()
{
#if defined(__linux__)
    skipping_ = launchCannotWork(std::getenv(busAddressVariable), std::getenv("XDG_RUNTIME_DIR"), busLauncher,
                                 std::getenv("PATH"));
    if (skipping_)
        qputenv(busAddressVariable, QByteArray(failingAddress));
#endif
}

BusLaunchSkip::~BusLaunchSkip()
{
    end();
}

void BusLaunchSkip::end()
{
    if (skipping_)
        qunsetenv(busAddressVariable); // under Qt's lock, as Qt's own threads read it
    skipping_ = false;
}

bool BusLaunchSkip::launchCannotWork(const char* address, const char* runtimeDir, const std::string& launcher,
                                     const char* searchPath)
{
    if (address != nullptr && *address != '\0')
        return false;
    std::error_code error;
    if (runtimeDir != nullptr && *runtimeDir != '\0' &&
        std::filesystem::exists(std::filesystem::path(runtimeDir) / "bus", error))
        return false;
    if (::access(launcher.c_str(), X_OK) == 0)
        return false;
    const std::string name = std::filesystem::path(launcher).filename().string();
    // Without a search path, execvp looks in the system's folders.
    const std::string_view folders = searchPath != nullptr ? searchPath : "/bin:/usr/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t colon = std::min(folders.find(':', start), folders.size());
        // An empty entry is the working folder, as for execvp.
        const std::string folder(colon > start ? folders.substr(start, colon - start) : std::string_view("."));
        if (::access((std::filesystem::path(folder) / name).c_str(), X_OK) == 0)
            return false;
        start = colon + 1;
    }
    return true;
}
