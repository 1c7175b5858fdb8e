#pragma once

#include <QString>
#include <QStringList>

// One log shared by the recording doubles, so a test can check the order of
// sounds, pictures and browser calls across them.
class EventLog {
public:
    void Add(const QString& entry) { m_entries.append(entry); }
    const QStringList& entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }
    // Entries that begin with `prefix` (for example "sound "), in order.
    QStringList Filtered(const QString& prefix) const;
    int Count(const QString& entry) const { return static_cast<int>(m_entries.count(entry)); }

private:
    QStringList m_entries;
};
