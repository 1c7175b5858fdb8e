#include "web/EngineEnvironment.h"

#include <QByteArrayList>
#include <QtGlobal>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace EngineEnvironment {

bool SandboxOff(bool root, const QByteArray& disableVariable, const QByteArray& chromiumFlags)
{
    if (root)
        return true;
    const QByteArray value = disableVariable.trimmed();
    if (!value.isEmpty() && value != "0")
        return true;
    for (const QByteArray& flag : chromiumFlags.split(' '))
        if (flag == "--no-sandbox")
            return true;
    return false;
}

QString SandboxNotice(bool root)
{
    return root ? QStringLiteral("nimbrel: running as root, so the web engine's sandbox is off; "
                                 "pages run without its protection")
                : QStringLiteral("nimbrel: the web engine's sandbox is switched off by the environment; "
                                 "pages run without its protection");
}

void Prepare()
{
    bool root = false;
#ifdef Q_OS_UNIX
    root = geteuid() == 0;
    if (root && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    if (SandboxOff(root, qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))) {
        const QByteArray line = SandboxNotice(root).toLocal8Bit() + '\n';
        std::fputs(line.constData(), stderr);
    }
}

}  // namespace EngineEnvironment
