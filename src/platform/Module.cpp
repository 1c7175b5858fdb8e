#include "platform/Module.h"

#include <QLibrary>

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

}  // namespace Module
