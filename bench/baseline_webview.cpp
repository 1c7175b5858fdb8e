// Baseline: a minimal program that only shows a QWebEngineView and loads the
// address given on its command line. Its title becomes "loaded" when a load
// has finished. Enter (a key pressed anywhere in the window) loads the same
// address again, the title showing "loading" until it is done: the least a
// browser can take from a key to a page.
#include "platform/EngineEnvironment.h"

#include <QApplication>
#include <QKeyEvent>
#include <QUrl>
#include <QWebEngineView>

namespace {

class EnterReloads final : public QObject {
public:
    EnterReloads(QWebEngineView& view, QUrl url) : m_view(view), m_url(std::move(url)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_view.setWindowTitle(QStringLiteral("loading"));
                m_view.load(m_url);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWebEngineView& m_view;
    QUrl m_url;
};

}  // namespace

int main(int argc, char** argv)
{
    EngineEnvironment::Prepare();
    QApplication app(argc, argv);
    const QUrl url = QUrl::fromUserInput(QString::fromLocal8Bit(argc > 1 ? argv[1] : "about:blank"));
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("baseline-webview"));
    view.resize(614, 452);
    QObject::connect(&view, &QWebEngineView::loadFinished, &view,
                     [&view] { view.setWindowTitle(QStringLiteral("loaded")); });
    EnterReloads reloads(view, url);
    app.installEventFilter(&reloads);
    view.show();
    view.load(url);
    return QApplication::exec();
}
