#pragma once

#include <QString>

// Fetches a resource by address and returns its content as text. The call
// returns only when the transfer has ended, but the caller's windows keep
// painting while it waits.
struct TransferResult {
    bool ok = false;
    QString text;   // the decoded body when ok
    QString error;  // a sentence for the user when not ok
};

class Transfer {
public:
    virtual ~Transfer() = default;
    virtual TransferResult OpenURL(const QString& address) = 0;
};
