#include "net/LazyTransfer.h"

#include "startup/Module.h"

#include <utility>

LazyTransfer::LazyTransfer(QString modulePath) : m_modulePath(std::move(modulePath)) {}

LazyTransfer::~LazyTransfer() = default;

TransferResult LazyTransfer::OpenURL(const QString& address)
{
    if (!m_tried) {
        m_tried = true;
        using Make = Transfer* (*)();
        if (const auto make = reinterpret_cast<Make>(Module::Entry(m_modulePath, "nimbrel_create_transfer", &m_error)))
            m_transfer.reset(make());
    }
    if (m_transfer)
        return m_transfer->OpenURL(address);
    TransferResult failed;
    failed.error = QStringLiteral("Nimbrel cannot fetch pages: its network module could not be loaded (%1).").arg(m_error);
    return failed;
}
