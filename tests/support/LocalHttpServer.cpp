#include "support/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <sys/socket.h>

namespace {

constexpr qint64 kChunk = 64 * 1024;            // one write of a generated body
constexpr qint64 kHighWater = 4 * kChunk;       // queue no more than this in the socket
constexpr int kMaxRequestBytes = 64 * 1024;     // a test request never gets near this

QByteArray Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

QByteArray StatusLineAndHeaders(const LocalHttpServer::Response& response, qint64 length)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + Reason(response.status) + "\r\n";
    if (!response.contentType.isEmpty())
        head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    head += "Connection: close\r\n";
    head += "Cache-Control: no-store\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    head += "\r\n";
    return head;
}

// Closes with a TCP reset rather than an orderly FIN, as a broken server would.
void ResetConnection(QTcpSocket* socket)
{
    socket->flush();
    const qintptr fd = socket->socketDescriptor();
    if (fd != -1) {
        linger hard{1, 0};
        ::setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    socket->abort();
}

}  // namespace

LocalHttpServer::LocalHttpServer(QObject* parent)
    : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &LocalHttpServer::OnConnection);
    m_server->listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer()
{
    // Sockets are children of the server; close them before the maps go.
    m_server->close();
    const auto sockets = m_server->findChildren<QTcpSocket*>();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
    }
}

quint16 LocalHttpServer::port() const
{
    return m_server->serverPort();
}

QString LocalHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LocalHttpServer::route(const QString& path, const Response& response)
{
    m_routes.insert(path, response);
}

void LocalHttpServer::page(const QString& path, const QByteArray& html)
{
    Response response;
    response.body = html;
    route(path, response);
}

void LocalHttpServer::OnConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { SendMore(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, &LocalHttpServer::Forget);
    }
}

void LocalHttpServer::Forget(QObject* socket)
{
    m_requests.remove(socket);
    m_remaining.remove(socket);
}

void LocalHttpServer::OnReadable(QTcpSocket* socket)
{
    if (!m_requests.contains(socket) && socket->property("answered").toBool()) {
        socket->readAll();  // one request per connection; ignore anything after it
        return;
    }
    QByteArray& request = m_requests[socket];
    request += socket->readAll();
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0) {
        if (request.size() > kMaxRequestBytes)
            socket->abort();
        return;
    }
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray head = request.left(end);
    m_requests.remove(socket);
    socket->setProperty("answered", true);
    if (words.size() < 2) {
        socket->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    Answer(socket, words.at(0), QString::fromLatin1(words.at(1)), head);
}

void LocalHttpServer::protect(const QString& path, const QByteArray& realm, const QByteArray& user,
                              const QByteArray& password)
{
    m_protected.insert(path, qMakePair(realm, "Basic " + (user + ':' + password).toBase64()));
}

// Replaces the answer by a 401 for a protected path asked for without the right credentials.
bool LocalHttpServer::Denied(const QString& key, const QByteArray& head, Response& response)
{
    const auto found = m_protected.constFind(key);
    if (found == m_protected.constEnd())
        return false;
    QByteArray given;
    for (const QByteArray& line : head.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toLower().startsWith("authorization:"))
            given = trimmed.mid(int(sizeof "authorization:") - 1).trimmed();
    }
    m_authorizations[key].append(given);
    if (given == found->second)
        return false;
    response = Response();
    response.status = 401;
    response.body = "<html><head><title>Denied</title></head><body>Denied</body></html>";
    response.headers.append(qMakePair(QByteArray("WWW-Authenticate"), "Basic realm=\"" + found->first + '"'));
    return true;
}

void LocalHttpServer::Answer(QTcpSocket* socket, const QByteArray& method, const QString& target, const QByteArray& head)
{
    // The route is looked up by the whole target first, then by its path alone.
    QString key = target;
    if (!m_routes.contains(key)) {
        const QString path = QUrl(target).path();
        if (m_routes.contains(path))
            key = path;
    }
    ++m_hits[key];

    Response response;
    if (auto found = m_routes.constFind(key); found != m_routes.constEnd()) {
        response = *found;
    } else {
        response.status = 404;
        response.body = "<html><head><title>Not Found</title></head><body>Not Found</body></html>";
    }
    Denied(key, head, response);

    switch (response.behaviour) {
    case Behaviour::Hang:
        return;  // keep the connection open and say nothing
    case Behaviour::Reset:
        socket->write("HTTP/1.1 200 OK\r\nContent-Ty");
        ResetConnection(socket);
        return;
    case Behaviour::Normal:
        break;
    }

    const bool generated = response.generatedBytes > 0;
    const qint64 length = generated ? response.generatedBytes : response.body.size();
    socket->write(StatusLineAndHeaders(response, length));
    if (method == "HEAD") {
        socket->disconnectFromHost();
        return;
    }
    if (!generated) {
        socket->write(response.body);
        socket->disconnectFromHost();  // closes once everything queued is written
        return;
    }
    m_remaining.insert(socket, response.generatedBytes);
    SendMore(socket);
}

// Tops the socket's queue up to the high-water mark, so a large generated body
// never sits in memory whole; called again each time the socket drains.
void LocalHttpServer::SendMore(QTcpSocket* socket)
{
    auto remaining = m_remaining.find(socket);
    if (remaining == m_remaining.end())
        return;
    static const QByteArray chunk(kChunk, 'x');
    while (*remaining > 0 && socket->bytesToWrite() < kHighWater) {
        const qint64 size = qMin(*remaining, kChunk);
        if (socket->write(chunk.constData(), size) != size) {
            m_remaining.erase(remaining);
            socket->abort();
            return;
        }
        *remaining -= size;
    }
    if (*remaining == 0) {
        m_remaining.erase(remaining);
        socket->disconnectFromHost();
    }
}
