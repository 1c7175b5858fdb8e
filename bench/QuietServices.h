#pragma once

// Services for benchmarks that measure one window's own work: the tests'
// doubles, which are silent, offline and without dialogs, so only the code
// under measurement takes time. Pictures and random numbers are the real ones.
#include "support/Doubles.h"
#include "support/EventLog.h"

namespace bench {

struct QuietDoubles {
    EventLog log;
    RecordingSound sound{log, QString()};
    ScriptedBrowserFactory browsers{log};
    ScriptedTransfer transfer{log};
    ScriptedDialogs dialogs{log};
    RecordingProcessEnd process{log};
    RecordingMessages messages;
};

}  // namespace bench
