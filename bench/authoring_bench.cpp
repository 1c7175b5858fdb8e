// HTML authoring: fetching a 5 MB page from a server on 127.0.0.1 with the
// program's transfer against a bare QNetworkAccessManager get in the same run
// (target: within 2x), and opening a 5 MB file in the editor against reading
// and decoding the same file alone (target: under 1 s).
#include "authoring/EditorFRM.h"
#include "runtime/App.h"
#include "ports/BrowserControl.h"
#include "services/ClockRandom.h"
#include "ports/FileDialogs.h"
#include "services/FilePictureLoader.h"
#include "runtime/Look.h"
#include "net/NetworkTransfer.h"
#include "ports/ProcessEnd.h"
#include "ports/SoundPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "QuietServices.h"

namespace {

using namespace bench;

constexpr qint64 kPageBytes = 5LL * 1024 * 1024;
constexpr int kRounds = 7;

// Serves one page of HTML to every request.
class PageServer : public QObject {
public:
    explicit PageServer(QByteArray page) : m_page(std::move(page))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &PageServer::OnConnection);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/page.html").arg(m_server.serverPort()); }

private:
    void OnConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void OnRequest(QTcpSocket* socket)
    {
        if (!socket->readAll().endsWith("\r\n\r\n"))
            return;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                      + QByteArray::number(m_page.size()) + "\r\nConnection: close\r\n\r\n");
        socket->write(m_page);
        socket->disconnectFromHost();
    }
    QTcpServer m_server;
    QByteArray m_page;
};

QByteArray makePage()
{
    QByteArray page = "<html><head><title>Big</title></head><body>\r\n";
    int n = 0;
    while (page.size() < kPageBytes)
        page += "<p class=\"row\">Row " + QByteArray::number(n++) + " of a long page, caf\xC3\xA9 na\xC3\xAFve.</p>\r\n";
    page += "</body></html>";
    return page;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double plainGetMs(QNetworkAccessManager& manager, const QString& url, qint64& bytes)
{
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    const QString text = QString::fromUtf8(body);
    bytes = text.size();
    delete reply;
    return clock.nsecsElapsed() / 1e6;
}

double transferMs(NetworkTransfer& transfer, const QString& url, qint64& chars)
{
    QElapsedTimer clock;
    clock.start();
    const TransferResult r = transfer.OpenURL(url);
    chars = r.ok ? r.text.size() : -1;
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Look::installFontSubstitution();
    const QByteArray page = makePage();

    // Fetch: alternate the two clients so both see the same machine state.
    PageServer server(page);
    QNetworkAccessManager manager;
    NetworkTransfer transfer;
    std::vector<double> plain, ours;
    qint64 plainChars = 0, ourChars = 0;
    plainGetMs(manager, server.url(), plainChars);  // warm-up
    transferMs(transfer, server.url(), ourChars);
    for (int i = 0; i < kRounds; ++i) {
        plain.push_back(plainGetMs(manager, server.url(), plainChars));
        ours.push_back(transferMs(transfer, server.url(), ourChars));
    }
    const double fetchRatio = median(ours) / median(plain);
    std::printf("fetch %.1f MB page from 127.0.0.1 (median of %d)\n", page.size() / 1048576.0, kRounds);
    std::printf("  baseline QNetworkAccessManager get + UTF-8 decode: %8.1f ms (%lld chars)\n", median(plain),
                static_cast<long long>(plainChars));
    std::printf("  NetworkTransfer::OpenURL:                          %8.1f ms (%lld chars)\n", median(ours),
                static_cast<long long>(ourChars));
    std::printf("  ratio %.2fx   target: within 2x   %s\n", fetchRatio, fetchRatio <= 2.0 ? "MET" : "MISSED");

    // Editor Open of the same page as a file.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.html"));
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(page);
    }
    QuietDoubles quiet;
    FilePictureLoader pictures;
    // Every open dialog of the run answers with the one file.
    quiet.dialogs.answers.assign(kRounds, file);
    ClockRandom random;
    const Services services{quiet.sound, pictures, quiet.browsers, transfer, quiet.dialogs, quiet.process, random,
                            quiet.messages};
    App app(services, dir.path());
    EditorFRM* editor = app.forms().Show<EditorFRM>();
    QCoreApplication::processEvents();

    std::vector<double> readOnly, open;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(f.readAll());
        readOnly.push_back(clock.nsecsElapsed() / 1e6);

        editor->SetText(QString());
        QCoreApplication::processEvents();
        clock.restart();
        editor->Command4_Click();
        editor->repaint();  // the first screen of the opened page drawn
        open.push_back(clock.nsecsElapsed() / 1e6);
        if (editor->Text().size() != text.size())
            std::printf("  (opened text differs in size: %lld vs %lld)\n",
                        static_cast<long long>(editor->Text().size()), static_cast<long long>(text.size()));
    }
    std::printf("open a %.1f MB file in the editor (median of %d)\n", page.size() / 1048576.0, kRounds);
    std::printf("  baseline QFile::readAll + UTF-8 decode:            %8.1f ms\n", median(readOnly));
    std::printf("  EditorFRM Open (read, split, join, show, paint):   %8.1f ms\n", median(open));
    std::printf("  target: under 1000 ms   %s\n", median(open) < 1000.0 ? "MET" : "MISSED");
    return 0;
}
