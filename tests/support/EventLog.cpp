#include "support/EventLog.h"

QStringList EventLog::Filtered(const QString& prefix) const
{
    QStringList out;
    for (const QString& e : m_entries)
        if (e.startsWith(prefix))
            out.append(e);
    return out;
}
