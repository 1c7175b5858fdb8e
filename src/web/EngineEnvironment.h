#pragma once

#include <QByteArray>
#include <QString>

// Settings the web engine reads when it starts; call before QApplication.
namespace EngineEnvironment {
// The engine's sandbox cannot start for the root user (as in a CI container);
// it is switched off only then and stays on for ordinary users. When it ends
// up off, for that reason or because the environment asks for it, one line
// on standard error says so.
void Prepare();

// Whether the engine will run without its sandbox, given the user, the
// engine's switch variable and its command-line flags.
bool SandboxOff(bool root, const QByteArray& disableVariable, const QByteArray& chromiumFlags);
// The line the user reads when the sandbox is off.
QString SandboxNotice(bool root);
}
