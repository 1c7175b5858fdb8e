#pragma once

// Settings the web engine reads when it starts; call before QApplication.
namespace EngineEnvironment {
// The engine's sandbox cannot start for the root user (as in a CI container);
// it is switched off only then and stays on for ordinary users.
void Prepare();
}
