// Baseline: a minimal Qt Widgets program that shows one borderless window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("baseline-window"));
    window.resize(465, 161);
    window.show();
    return QApplication::exec();
}
