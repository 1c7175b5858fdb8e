#include "startup/Module.h"

#include <QLibrary>

#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

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
#ifdef __linux__
        // Only this thread: a Linux thread has a nice value of its own.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
#endif
        entry = Entry(path, symbol, error);
    });
    loader.join();
    return entry;
}

}  // namespace Module
