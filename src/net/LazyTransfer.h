#pragma once

#include "ports/Transfer.h"

#include <QString>
#include <memory>

// The Internet transfer of the network module (modulePath, without its
// suffix), loaded on the first fetch: Qt Network and the libraries behind it
// are not loaded while the program starts. Without the module every fetch
// fails with a sentence saying so.
class LazyTransfer final : public Transfer {
public:
    explicit LazyTransfer(QString modulePath);
    ~LazyTransfer() override;
    LazyTransfer(const LazyTransfer&) = delete;
    LazyTransfer& operator=(const LazyTransfer&) = delete;

    TransferResult OpenURL(const QString& address) override;

private:
    QString m_modulePath;
    bool m_tried = false;
    QString m_error;
    std::unique_ptr<Transfer> m_transfer;
};
