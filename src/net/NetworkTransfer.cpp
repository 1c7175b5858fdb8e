#include "net/NetworkTransfer.h"

#include "text/WebTextDecoder.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kMaxRedirects = 20;

TransferResult failure(const QString& sentence)
{
    return {false, {}, sentence};
}

QString seconds(int ms)
{
    return QString::number(ms / 1000.0);
}

QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024.0 * 1024.0));
}

}  // namespace

// One transfer in progress: collects the body as it arrives, enforces the
// time and size limits, and leaves the local loop when the reply ends.
class NetworkTransfer::Fetch : public QObject {
public:
    Fetch(QNetworkReply* reply, int timeoutMs, qint64 maxBytes);
    ~Fetch() override;

    TransferResult Wait();

private:
    enum class Stopped { No, TimedOut, TooLarge };

    void OnMetaDataChanged();
    void OnReadyRead();
    void OnFinished();
    void OnTimeout();
    void Take(const QByteArray& chunk);
    void StopFor(Stopped reason);
    TransferResult Result() const;
    QString ErrorSentence() const;

    QNetworkReply* m_reply = nullptr;
    int m_timeoutMs = 0;
    qint64 m_maxBytes = 0;
    QEventLoop m_loop;
    QTimer m_deadline;
    QByteArray m_body;
    Stopped m_stopped = Stopped::No;
    bool m_finished = false;
};

NetworkTransfer::Fetch::Fetch(QNetworkReply* reply, int timeoutMs, qint64 maxBytes)
    : m_reply(reply), m_timeoutMs(timeoutMs), m_maxBytes(maxBytes)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &Fetch::OnTimeout);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Fetch::OnMetaDataChanged);
    connect(m_reply, &QNetworkReply::readyRead, this, &Fetch::OnReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &Fetch::OnFinished);
}

NetworkTransfer::Fetch::~Fetch()
{
    // The loop can also end because the program quits; a reply that is still
    // running is cut off here so nothing arrives for a fetch that is gone.
    m_reply->disconnect(this);
    if (!m_finished)
        m_reply->abort();
    delete m_reply;
}

TransferResult NetworkTransfer::Fetch::Wait()
{
    if (!m_reply->isFinished()) {
        m_deadline.start(m_timeoutMs);
        m_loop.exec();
        m_deadline.stop();
    } else {
        OnFinished();
    }
    if (!m_finished)
        return failure(QStringLiteral("The transfer of %1 was interrupted.").arg(m_reply->url().toString()));
    return Result();
}

void NetworkTransfer::Fetch::OnMetaDataChanged()
{
    // A body announced as too large is refused before any of it is read. The
    // headers of a redirect say nothing about the page it leads to.
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxBytes)
        StopFor(Stopped::TooLarge);
}

void NetworkTransfer::Fetch::OnReadyRead()
{
    Take(m_reply->readAll());
}

void NetworkTransfer::Fetch::Take(const QByteArray& chunk)
{
    if (m_stopped != Stopped::No)
        return;
    if (m_body.size() + chunk.size() > m_maxBytes) {
        m_body.clear();
        StopFor(Stopped::TooLarge);
        return;
    }
    m_body.append(chunk);
}

void NetworkTransfer::Fetch::OnTimeout()
{
    StopFor(Stopped::TimedOut);
}

void NetworkTransfer::Fetch::StopFor(Stopped reason)
{
    if (m_stopped != Stopped::No || m_finished)
        return;
    m_stopped = reason;
    m_reply->abort();  // raises finished, which ends the loop
}

void NetworkTransfer::Fetch::OnFinished()
{
    if (m_finished)
        return;
    if (m_stopped == Stopped::No)
        Take(m_reply->readAll());
    m_finished = true;
    m_loop.quit();
}

TransferResult NetworkTransfer::Fetch::Result() const
{
    const QString address = m_reply->url().toString();
    switch (m_stopped) {
    case Stopped::TooLarge:
        return failure(QStringLiteral("The page at %1 is larger than %2 MB, too large to show.")
                           .arg(address, megabytes(m_maxBytes)));
    case Stopped::TimedOut:
        return failure(QStringLiteral("The server at %1 did not send the page within %2 seconds.")
                           .arg(address, seconds(m_timeoutMs)));
    case Stopped::No:
        break;
    }
    if (m_reply->error() != QNetworkReply::NoError)
        return failure(ErrorSentence());
    const QByteArray contentType = m_reply->rawHeader("Content-Type");
    return {true, WebTextDecoder::Decode(m_body, contentType), {}};
}

QString NetworkTransfer::Fetch::ErrorSentence() const
{
    const QUrl url = m_reply->url();
    const QString address = url.toString();
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString reason = m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return QStringLiteral("The server answered \"%1 %2\" for %3.").arg(QString::number(status), reason, address);
    }
    switch (m_reply->error()) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The host \"%1\" could not be found. Check the address.").arg(url.host());
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("The server at %1 refused the connection.").arg(url.host());
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("The server at %1 closed the connection before the page was complete.").arg(url.host());
    case QNetworkReply::TimeoutError:
        return QStringLiteral("The server at %1 did not answer in time.").arg(url.host());
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("A secure connection to %1 could not be established.").arg(url.host());
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("The address %1 redirects too many times.").arg(address);
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("The address %1 redirects from a secure page to an insecure one; it was not followed.").arg(address);
    default:
        return QStringLiteral("The page at %1 could not be fetched: %2.").arg(address, m_reply->errorString());
    }
}

NetworkTransfer::NetworkTransfer(int timeoutMs, qint64 maxBytes) : m_timeoutMs(timeoutMs), m_maxBytes(maxBytes) {}

NetworkTransfer::~NetworkTransfer() = default;

QNetworkAccessManager& NetworkTransfer::Manager()
{
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    return *m_manager;
}

QString NetworkTransfer::AddressWithScheme(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*://"));
    return scheme.match(address).hasMatch() ? address : QStringLiteral("http://") + address;
}

TransferResult NetworkTransfer::OpenURL(const QString& address)
{
    const QUrl url(AddressWithScheme(address));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty())
        return failure(QStringLiteral("\"%1\" is not an address that can be fetched.").arg(address));
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return failure(QStringLiteral("Only http and https addresses can be fetched, not \"%1\".").arg(address));

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    Fetch fetch(Manager().get(request), m_timeoutMs, m_maxBytes);
    return fetch.Wait();
}
