#pragma once

// Ends the program at once: no window's unload handling runs and nothing is
// played. The caller returns straight after asking; App::ended() tells every
// handler further up the stack to stop.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    virtual void EndNow() = 0;
};
