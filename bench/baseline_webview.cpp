// Baseline: a minimal program that only shows a QWebEngineView and loads the
// address given on its command line. Its title becomes "loaded" when done.
#include "platform/EngineEnvironment.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv)
{
    EngineEnvironment::Prepare();
    QApplication app(argc, argv);
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("baseline-webview"));
    view.resize(614, 452);
    QObject::connect(&view, &QWebEngineView::loadFinished, &view,
                     [&view] { view.setWindowTitle(QStringLiteral("loaded")); });
    view.show();
    view.load(QUrl::fromUserInput(QString::fromLocal8Bit(argc > 1 ? argv[1] : "about:blank")));
    return QApplication::exec();
}
