// The smallest Qt Widgets program that puts up a window: the yardstick for Zelvora's start-up.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(u"Minimal"_qs);
    window.resize(200, 100);
    window.show();
    return app.exec();
}
