#pragma once

#include <thread>

// Does, on a thread of its own while the first window is made, the one-time
// work Qt would otherwise do on the user-interface thread before that window
// can be shown: it looks through the picture format plugins (the first picture
// read waits for that) and reads every installed font (the first text measured
// waits for that, some 10 ms). Both lists lock themselves, so a picture read
// or a text measured meanwhile waits for the work to end instead of racing it.
// Make it after the QApplication, and let it go before the QApplication does:
// it waits for the thread.
class WarmUp {
public:
    WarmUp();
    ~WarmUp();
    WarmUp(const WarmUp&) = delete;
    WarmUp& operator=(const WarmUp&) = delete;

private:
    std::thread m_thread;
};
