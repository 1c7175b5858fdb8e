#include "platform/Module.h"

#include "platform/ThreadPriority.h"

#include <QLibrary>

#include <thread>

namespace Module {

QFunctionPointer Entry(const QString& path, const char* symbol, QString* error)
{
    // Never unloaded: what a module starts (threads, connections) outlives the call.
    QLibrary module(path);
    module.setLoadHints(QLibrary::PreventUnloadHint);
    const QFunctionPointer entry = module.resolve(symbol);
    if (!entry && error)
        *error = module.errorString();
    return entry;
}

QFunctionPointer EntryAtLowPriority(const QString& path, const char* symbol, QString* error)
{
    QFunctionPointer entry = nullptr;
    std::thread loader([&] {
        LowerThisThreadPriority();
        entry = Entry(path, symbol, error);
    });
    loader.join();
    return entry;
}

}  // namespace Module
