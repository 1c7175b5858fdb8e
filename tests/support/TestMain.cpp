// The main of every test program: a QApplication for the widgets, GoogleTest,
// and a message handler that fails the running test on any Qt warning, so a
// broken connection or a missing resource cannot pass quietly.
#include "support/TestMain.h"

#include "runtime/Look.h"

#include <QApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QList<QRegularExpression>& ignored()
{
    static QList<QRegularExpression> list;
    return list;
}

void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    for (const QRegularExpression& re : ignored())
        if (re.match(message).hasMatch())
            return;
    fprintf(stderr, "Qt warning: %s\n", qPrintable(message));
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

namespace TestMain {
void IgnoreWarnings(const QString& pattern)
{
    ignored().append(QRegularExpression(pattern));
}
}  // namespace TestMain

int main(int argc, char** argv)
{
    // The engine's sandbox cannot start as root (CI runs as root).
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // No test may need the internet: everything but this machine goes to a
    // proxy on a closed local port and fails at once (loopback is never proxied).
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--disable-background-networking --disable-component-update --no-first-run --disable-gpu"
            " --proxy-server=http://127.0.0.1:9");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    Look::installFontSubstitution();
    // Platform noise that says nothing about the program.
    TestMain::IgnoreWarnings(QStringLiteral("^This plugin does not support"));
    TestMain::IgnoreWarnings(QStringLiteral("^QFont::setPointSizeF"));
    // The engine's own error and folder-listing pages log this to the console.
    TestMain::IgnoreWarnings(QStringLiteral("^crbug/1173575, non-JS module files deprecated\\.$"));
    qInstallMessageHandler(handler);
    const int result = RUN_ALL_TESTS();
    qInstallMessageHandler(nullptr);
    return result;
}
