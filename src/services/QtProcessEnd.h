#pragma once

#include "ports/ProcessEnd.h"

// Leaves the event loop at once (every nested loop too, so a popped-up menu
// or a waiting transfer returns). main() then destroys the windows without
// their unload handling and shuts the web engine down, so no engine process
// outlives the program.
class QtProcessEnd final : public ProcessEnd {
public:
    void EndNow() override;
};
