// Baseline: a minimal Qt Widgets program that shows one borderless window;
// with the argument "text", the window shows a line of text (so its first
// picture waits, as the splash's does, for the installed fonts to be read).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("baseline-window"));
    window.resize(465, 161);
    if (argc > 1 && qstrcmp(argv[1], "text") == 0)
        (new QLabel(QStringLiteral("Click Anywhere To Enter."), &window))->move(8, 130);
    window.show();
    return QApplication::exec();
}
