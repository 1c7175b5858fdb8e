#pragma once

#include "ports/Transfer.h"

#include <QByteArray>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// The Internet transfer control: fetches an address over HTTP or HTTPS and
// returns the body as text. The caller waits in a local event loop, so every
// window keeps painting and handling input meanwhile (callers re-check that
// they still exist afterwards). Redirects are followed; the body is decoded by
// WebTextDecoder. A fetch fails with a sentence for the user when the host is
// unknown, the connection is refused or broken, the server answers with an
// error status, nothing has finished within the time limit, or the body
// grows beyond the size limit.
class NetworkTransfer final : public Transfer {
public:
    static constexpr int kDefaultTimeoutMs = 30'000;
    static constexpr qint64 kDefaultMaxBytes = 64LL * 1024 * 1024;

    explicit NetworkTransfer(int timeoutMs = kDefaultTimeoutMs, qint64 maxBytes = kDefaultMaxBytes);
    ~NetworkTransfer() override;
    NetworkTransfer(const NetworkTransfer&) = delete;
    NetworkTransfer& operator=(const NetworkTransfer&) = delete;

    // An address typed without a scheme ("www.example.com/page") means http.
    TransferResult OpenURL(const QString& address) override;

    static QString AddressWithScheme(const QString& address);

private:
    class Fetch;
    QNetworkAccessManager& Manager();

    int m_timeoutMs = kDefaultTimeoutMs;
    qint64 m_maxBytes = kDefaultMaxBytes;
    // Made on first use: the program builds its services before it has fetched
    // anything, and a manager is bound to the thread that creates it.
    std::unique_ptr<QNetworkAccessManager> m_manager;
};
