#include "net/NetworkTransfer.h"
#include "text/WebTextDecoder.h"
#include "text/Windows1252.h"
#include "support/LocalHttpServer.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

LocalHttpServer::Response typed(const QByteArray& contentType, const QByteArray& body)
{
    LocalHttpServer::Response r;
    r.contentType = contentType;
    r.body = body;
    return r;
}

// Sends a body with no Content-Length (ended by closing the connection), so
// only the bytes themselves can tell the transfer how large it is.
class UnannouncedBodyServer : public QObject {
public:
    explicit UnannouncedBodyServer(qint64 bytes) : m_bytes(bytes)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &UnannouncedBodyServer::OnConnection);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }

private:
    void OnConnection()
    {
        QTcpSocket* socket = m_server.nextPendingConnection();
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequest(socket); });
    }
    // Answers once the whole request is in: closing with unread bytes would reset.
    void OnRequest(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        if (!request.endsWith("\r\n\r\n"))
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
        socket->write(QByteArray(m_bytes, 'y'));
        socket->disconnectFromHost();
    }
    QHash<QTcpSocket*, QByteArray> m_requests;
    QTcpServer m_server;
    qint64 m_bytes;
};

}  // namespace

TEST(WebTextDecoder, TakesTheCharsetFromServerThenPageThenWindows1252)
{
    const QByteArray latin = "caf\xE9 \x80";
    EXPECT_EQ(WebTextDecoder::Decode(latin, "text/html; charset=ISO-8859-1"), QString::fromUtf8("café €"));
    EXPECT_EQ(WebTextDecoder::Decode(latin, "text/html"), QString::fromUtf8("café €"));
    EXPECT_EQ(WebTextDecoder::Decode("caf\xC3\xA9", "text/html;charset=\"utf-8\""), QString::fromUtf8("café"));
    // The server's word wins over the page's.
    const QByteArray page = "<meta charset=\"utf-8\"><p>caf\xC3\xA9</p>";
    EXPECT_EQ(WebTextDecoder::Decode(page, "text/html; charset=windows-1252"),
              QString::fromUtf8("<meta charset=\"utf-8\"><p>cafÃ©</p>"));
    EXPECT_EQ(WebTextDecoder::Decode(page, "text/html"), QString::fromUtf8("<meta charset=\"utf-8\"><p>café</p>"));
    const QByteArray equiv = "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=koi8-r'>\xC1";
    EXPECT_TRUE(WebTextDecoder::Decode(equiv, {}).endsWith(QString::fromUtf8("а")));
    // A label nobody knows falls through to the next source.
    EXPECT_EQ(WebTextDecoder::Decode(page, "text/html; charset=x-no-such"), QString::fromUtf8("<meta charset=\"utf-8\"><p>café</p>"));
    // A byte-order mark settles it.
    EXPECT_EQ(WebTextDecoder::Decode("\xEF\xBB\xBFok\xC3\xA9", "text/html; charset=windows-1252"), QString::fromUtf8("oké"));
}

TEST(WebTextDecoder, UndeclaredUtf8IsUtf8AndACutSequenceShowsAsReplacement)
{
    const QByteArray utf8 = "<p>Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</p>";
    EXPECT_EQ(WebTextDecoder::Decode(utf8, "text/html"), QString::fromUtf8("<p>Café 日本語</p>"));
    EXPECT_EQ(WebTextDecoder::Decode(utf8, {}), QString::fromUtf8("<p>Café 日本語</p>"));
    // One byte that is not UTF-8 makes the whole body the code page.
    EXPECT_EQ(WebTextDecoder::Decode("caf\xC3\xA9 \xE9", {}), QString::fromUtf8("cafÃ© é"));
    // A sequence cut off at the end is one replacement character, whichever
    // source named UTF-8.
    const QString cut = QString::fromUtf8("ok\uFFFD");
    EXPECT_EQ(WebTextDecoder::Decode("ok\xE6\x97", "text/html; charset=utf-8"), cut);
    EXPECT_EQ(WebTextDecoder::Decode("<meta charset=utf-8>ok\xE6\x97", {}), QString("<meta charset=utf-8>") + cut);
    EXPECT_EQ(WebTextDecoder::Decode("\xEF\xBB\xBFok\xE6\x97", {}), cut);
}

TEST(Windows1252, DecodesAndEncodesTheWholeCodePage)
{
    QByteArray all(256, 0);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = Windows1252::decode(all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0x9F), QChar(0x0178));
    EXPECT_EQ(text.at(0x81), QChar(0x0081));
    EXPECT_EQ(text.at(0xE9), QChar(0x00E9));
    QByteArray back;
    ASSERT_TRUE(Windows1252::encode(text, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(Windows1252::encode(QString::fromUtf8("漢"), back));
}

TEST(NetworkTransfer, FetchesPagesFollowsRedirectsAndDecodes)
{
    LocalHttpServer server;
    server.page("/plain", "<html><body>plain</body></html>");
    server.route("/latin", typed("text/html; charset=ISO-8859-1", "<p>d\xE9j\xE0 vu</p>"));
    server.route("/utf8", typed("text/html; charset=utf-8", "<p>\xE2\x9C\x93 na\xC3\xAFve</p>"));
    server.route("/undeclared", typed("text/html", "<p>\x93quoted\x94</p>"));
    LocalHttpServer::Response moved;
    moved.status = 302;
    moved.headers = {{"Location", "/utf8"}};
    server.route("/moved", moved);

    NetworkTransfer transfer;
    const TransferResult plain = transfer.OpenURL(server.url("/plain"));
    ASSERT_TRUE(plain.ok) << plain.error.toStdString();
    EXPECT_EQ(plain.text, "<html><body>plain</body></html>");

    // Typed without a scheme: http.
    const QString bare = server.url("/plain").mid(QStringLiteral("http://").size());
    EXPECT_EQ(transfer.OpenURL(bare).text, "<html><body>plain</body></html>");
    EXPECT_EQ(NetworkTransfer::AddressWithScheme("www.example.org"), "http://www.example.org");
    EXPECT_EQ(NetworkTransfer::AddressWithScheme("https://a/"), "https://a/");

    EXPECT_EQ(transfer.OpenURL(server.url("/latin")).text, QString::fromUtf8("<p>déjà vu</p>"));
    EXPECT_EQ(transfer.OpenURL(server.url("/utf8")).text, QString::fromUtf8("<p>✓ naïve</p>"));
    EXPECT_EQ(transfer.OpenURL(server.url("/undeclared")).text, QString::fromUtf8("<p>“quoted”</p>"));

    const TransferResult redirected = transfer.OpenURL(server.url("/moved"));
    ASSERT_TRUE(redirected.ok) << redirected.error.toStdString();
    EXPECT_EQ(redirected.text, QString::fromUtf8("<p>✓ naïve</p>"));
    EXPECT_EQ(server.hits("/moved"), 1);
    EXPECT_EQ(server.hits("/utf8"), 2);
}

TEST(NetworkTransfer, FailuresComeBackAsSentencesForTheUser)
{
    LocalHttpServer server;
    LocalHttpServer::Response reset;
    reset.behaviour = LocalHttpServer::Behaviour::Reset;
    server.route("/reset", reset);
    LocalHttpServer::Response hang;
    hang.behaviour = LocalHttpServer::Behaviour::Hang;
    server.route("/hang", hang);

    NetworkTransfer transfer(500);
    const TransferResult missing = transfer.OpenURL(server.url("/missing"));
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.text.isEmpty());
    EXPECT_TRUE(missing.error.contains("404 Not Found")) << missing.error.toStdString();

    const TransferResult broken = transfer.OpenURL(server.url("/reset"));
    EXPECT_FALSE(broken.ok);
    EXPECT_FALSE(broken.error.isEmpty());

    QElapsedTimer clock;
    clock.start();
    const TransferResult hung = transfer.OpenURL(server.url("/hang"));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(hung.ok);
    EXPECT_TRUE(hung.error.contains("did not send the page within 0.5 seconds")) << hung.error.toStdString();

    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const TransferResult refused = transfer.OpenURL(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort));
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.contains("refused")) << refused.error.toStdString();

    const TransferResult unknown = transfer.OpenURL("http://no-such-host.invalid/");
    EXPECT_FALSE(unknown.ok);
    EXPECT_TRUE(unknown.error.contains("could not be found")) << unknown.error.toStdString();

    for (const QString& address : {QString("ftp://127.0.0.1/x"), QString("http://"), QString()}) {
        const TransferResult bad = transfer.OpenURL(address);
        EXPECT_FALSE(bad.ok) << address.toStdString();
        EXPECT_FALSE(bad.error.isEmpty());
    }
}

TEST(NetworkTransfer, BodiesOverTheSizeLimitAreRefused)
{
    LocalHttpServer server;
    LocalHttpServer::Response huge;
    huge.contentType = "text/plain";
    huge.generatedBytes = 70LL * 1024 * 1024;
    server.route("/huge", huge);
    LocalHttpServer::Response fits = huge;
    fits.generatedBytes = 3 * 1024 * 1024;
    server.route("/fits", fits);

    NetworkTransfer transfer;  // the program's own limits: 64 MB, 30 s
    const TransferResult tooLarge = transfer.OpenURL(server.url("/huge"));
    EXPECT_FALSE(tooLarge.ok);
    EXPECT_TRUE(tooLarge.error.contains("larger than 64 MB")) << tooLarge.error.toStdString();

    const TransferResult fine = transfer.OpenURL(server.url("/fits"));
    ASSERT_TRUE(fine.ok) << fine.error.toStdString();
    EXPECT_EQ(fine.text.size(), 3 * 1024 * 1024);

    // A body whose size is not announced is cut off as it grows past the limit.
    UnannouncedBodyServer unannounced(2 * 1024 * 1024);
    NetworkTransfer small(30'000, 1024 * 1024);
    const TransferResult cut = small.OpenURL(unannounced.url());
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.error.contains("larger than 1 MB")) << cut.error.toStdString();
    NetworkTransfer roomy(30'000, 4 * 1024 * 1024);
    EXPECT_EQ(roomy.OpenURL(unannounced.url()).text.size(), 2 * 1024 * 1024);
}
