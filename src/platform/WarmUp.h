#pragma once

#include <thread>

// Does on helper threads the one-time work the first text drawn would
// otherwise wait for on the user-interface thread: reading the system's font
// configuration and font caches (some 10 ms), from the moment the program
// starts, while Qt connects to the display; then, once the first window is
// shown, Qt's own list of the installed fonts. That list locks itself, so a
// text measured meanwhile waits for it instead of racing it. The font
// configuration has no lock: a text measured while it is still being read
// would read it a second time (in traces of the start the first text came
// after it was read). Nothing runs beside the first window while it is made:
// a helper that maps files or links libraries then slows the window down more
// than it gains.
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
};
