// The smallest Qt Widgets program that puts up a window with one Japanese label in the windows'
// font: the yardstick for Zelvora's start-up.
#include "formdesign.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(FormDesign::defaultFont());
    QWidget window;
    window.setWindowTitle(u"Minimal"_s);
    QLabel label(u"メールマガジン作成支援ソフト"_s, &window);
    window.resize(200, 100);
    window.show();
    return app.exec();
}
