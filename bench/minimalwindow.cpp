// The smallest Qt Widgets program that puts up a window with one Japanese line in the windows'
// font: a QLabel that is itself the window, nothing else. The yardstick for Zelvora's start-up.
#include "formdesign.h"

#include <QApplication>
#include <QLabel>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(FormDesign::defaultFont());
    QLabel label(u"メールマガジン作成支援ソフト"_s);
    label.show();
    return app.exec();
}
