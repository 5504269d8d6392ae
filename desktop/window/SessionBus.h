#pragma once

#include <string>

// Qt's accessibility bridge connects to the session bus while the window is built. Where
// the environment names no bus and the user has no bus socket, libdbus "autolaunches"
// one: it forks the whole process to run dbus-launch. Where dbus-launch is not installed,
// as on machines without a desktop session, that can only fail, and the fork is a good
// part of the time to the first window. For as long as the window is being made, a
// BusLaunchSkip names a bus address that fails at once instead; end() gives the
// environment back, so that programs Plotmeter starts later inherit it unchanged.
class BusLaunchSkip {
  public:
    // Made before any other thread starts: it changes the environment.
    BusLaunchSkip();
    ~BusLaunchSkip();
    BusLaunchSkip(const BusLaunchSkip&) = delete;
    BusLaunchSkip& operator=(const BusLaunchSkip&) = delete;

    void end();
    bool skipping() const { return skipping_; }

    // Whether connecting to the session bus can only fail after a fork: no address is
    // given, <runtime dir>/bus does not exist, and dbus-launch can be run neither from
    // the launcher's path nor from a folder of the search path (libdbus tries both).
    static bool launchCannotWork(const char* address, const char* runtimeDir, const std::string& launcher,
                                 const char* searchPath);

  private:
    bool skipping_ = false;
};
