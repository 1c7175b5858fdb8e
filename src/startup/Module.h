#pragma once

#include <QFunctionPointer>
#include <QString>

// The program's own modules lie in its directory and are loaded on first use,
// so the libraries behind them are not loaded before the first window.
namespace Module {
// Loads the module (a path without its suffix) for the rest of the run and
// returns its entry point, or nullptr with the reason in *error.
QFunctionPointer Entry(const QString& path, const char* symbol, QString* error);
// The same, loaded by a helper thread of the lowest priority and waited for:
// linking a module's libraries then only takes a processor nobody else wants,
// never one the user-interface thread needs while the first window opens.
QFunctionPointer EntryAtLowPriority(const QString& path, const char* symbol, QString* error);
}
