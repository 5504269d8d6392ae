#pragma once

#include <QString>
#include <future>
#include <optional>
#include <thread>

// Reading the system's font configuration and listing its fonts is a good part of the
// time to the first window, and needs nothing of the window: a thread does both while
// the application connects to the display and the window is built. (Qt's font database
// is thread-safe; the window's first text waits for the list if it is not ready yet.)
//
// Without a desktop's platform theme, Qt asks for the family "Sans Serif", which no font
// installed has: its first font then waits for fontconfig to sort every font installed
// to find the one that stands in for that name. The thread asks fontconfig the same
// question beforehand, and the application asks Qt for that family by its own name.
class FontWarmUp {
  public:
    FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;
    ~FontWarmUp() { finish(); }

    // The application exists: the thread lists Qt's fonts, after finding what stands in
    // for the application font's family if no font has that name.
    void applicationMade();
    // Before the first widget: the application font names the family that stands in
    // for its own, where there is one. Waits for the thread to find it.
    void useStandIn();
    // Before the application goes; the window's first paint has needed the fonts anyway.
    void finish();

    // The family fontconfig puts first for `family` when no font installed has that name
    // (a generic name such as "Sans Serif" or "Monospace"): the one Qt's own fallback
    // would use. Empty when a font installed has the name, or fontconfig has no font.
    static QString standInFor(const QString& family);

  private:
    std::promise<std::optional<QString>> familyAsked_; // nothing: no application after all
    std::promise<QString> standIn_;
    std::future<QString> standInAnswer_; // from applicationMade() until used
    bool told_ = false;                  // the thread knows whether there is an application
    std::thread thread_;                 // last: it starts once the rest is made
};
