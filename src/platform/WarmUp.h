#pragma once

#include <thread>

// Does on helper threads the one-time work the first text drawn would
// otherwise wait for on the user-interface thread: reading the system's font
// configuration and font caches (some 10 ms), from the moment the program
// starts, while Qt connects to the display; then, once the first window is
// shown, Qt's own list of the installed fonts. Both lock themselves, so a text
// measured meanwhile waits for the work instead of racing it. Nothing runs
// beside the first window while it is made: a helper that maps files or links
// libraries then slows the window down more than it gains.
// Make it first in main; call Finish before the QApplication goes.
class WarmUp {
public:
    WarmUp();
    ~WarmUp();
    WarmUp(const WarmUp&) = delete;
    WarmUp& operator=(const WarmUp&) = delete;

    // Call once the first window has been shown (the QApplication exists).
    void AfterFirstWindow();
    // Waits for what needs the QApplication.
    void Finish();

private:
    std::thread m_fontConfiguration;
    std::thread m_fontList;
    bool m_listing = false;
};
