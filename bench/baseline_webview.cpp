// Baseline: a minimal program that only shows a QWebEngineView under a plain
// "Go" button and loads the address given on its command line. Its title
// becomes "loaded" when a load has finished. Enter (a key pressed anywhere in
// the window) or a click on Go loads the same address again, the title showing
// "loading" until it is done: the least a browser can take from a key or a
// click to a page.
#include "web/EngineEnvironment.h"

#include <QApplication>
#include <functional>
#include <QKeyEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

class EnterReloads final : public QObject {
public:
    explicit EnterReloads(std::function<void()> reload) : m_reload(std::move(reload)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_reload();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_reload;
};

}  // namespace

int main(int argc, char** argv)
{
    EngineEnvironment::Prepare();
    QApplication app(argc, argv);
    const QUrl url = QUrl::fromUserInput(QString::fromLocal8Bit(argc > 1 ? argv[1] : "about:blank"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("baseline-webview"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* go = new QPushButton(QStringLiteral("Go"), &window);
    go->setFocusPolicy(Qt::NoFocus);
    go->setFixedSize(74, 17);  // where and how big the program's own Go button is
    layout->addWidget(go);
    auto* view = new QWebEngineView(&window);
    layout->addWidget(view, 1);
    window.resize(614, 452);

    const auto reload = [&window, view, url] {
        window.setWindowTitle(QStringLiteral("loading"));
        view->load(url);
    };
    QObject::connect(go, &QPushButton::clicked, &window, reload);
    QObject::connect(view, &QWebEngineView::loadFinished, &window,
                     [&window] { window.setWindowTitle(QStringLiteral("loaded")); });
    EnterReloads reloads(reload);
    app.installEventFilter(&reloads);
    window.show();
    view->load(url);
    return QApplication::exec();
}
