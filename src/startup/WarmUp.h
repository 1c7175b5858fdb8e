#pragma once

#include <thread>

// Once the first window has been shown, has Qt read the system's font
// configuration and list the installed fonts on a helper thread (some 5 to
// 10 ms) while that window waits for its first picture. Qt's font list locks
// itself, so a text measured meanwhile waits for it instead of racing it.
// Nothing runs beside the first window while it is made: on two processors a
// helper that reads files then delays the window's appearance by more than
// the helper could gain afterwards.
// Make it after the QApplication: it joins its thread as it goes.
class WarmUp {
public:
    WarmUp() = default;
    ~WarmUp();
    WarmUp(const WarmUp&) = delete;
    WarmUp& operator=(const WarmUp&) = delete;

    // Call once the first window has been shown.
    void AfterFirstWindow();

private:
    std::thread m_fontList;
};
