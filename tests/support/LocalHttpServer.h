#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 (a free port) for engine and transfer
// tests. It runs on the test's own event loop, so a test must let events run
// (for example QTRY_ or a local QEventLoop) while a client talks to it.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Normal,      // answer with status, headers and body
        Hang,        // accept and read the request, never answer
        Reset,       // send part of the headers, then abort the connection
    };
    struct Response {
        int status = 200;
        QByteArray contentType = "text/html; charset=utf-8";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;  // extra headers, e.g. Location
        Behaviour behaviour = Behaviour::Normal;
        qint64 generatedBytes = 0;  // > 0: send this many bytes of 'x' instead of body, streamed
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by `path` (which begins with "/").
    QString url(const QString& path) const;

    void route(const QString& path, const Response& response);
    // Shorthand: a 200 text/html page.
    void page(const QString& path, const QByteArray& html);
    int hits(const QString& path) const { return m_hits.value(path); }
    // Answers `path` only to requests signed in as `user` with `password`
    // (HTTP Basic); any other request gets 401 naming `realm`.
    void protect(const QString& path, const QByteArray& realm, const QByteArray& user, const QByteArray& password);
    // The Authorization header of each request for a protected path, in order ("" when none).
    QList<QByteArray> authorizations(const QString& path) const { return m_authorizations.value(path); }

private:
    void OnConnection();
    void OnReadable(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, const QByteArray& method, const QString& target, const QByteArray& head);
    bool Denied(const QString& key, const QByteArray& head, Response& response);
    void SendMore(QTcpSocket* socket);
    void Forget(QObject* socket);

    QTcpServer* m_server;
    QHash<QString, Response> m_routes;
    QHash<QString, int> m_hits;
    QHash<QString, QPair<QByteArray, QByteArray>> m_protected;  // realm, expected Authorization
    QHash<QString, QList<QByteArray>> m_authorizations;
    QHash<QObject*, QByteArray> m_requests;  // request bytes read so far, per connection
    QHash<QObject*, qint64> m_remaining;     // generated body bytes still to send
};
