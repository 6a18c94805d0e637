// Zelvora: writes mail magazines and hands them to the system's mail handler.
#include "app/form1.h"
#include "platform/desktoplauncher.h"
#include "platform/errorhandling.h"
#include "platform/formdesign.h"
#include "platform/qtmessagebox.h"
#include "platform/services.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zelvora"_qs);
    QApplication::setFont(FormDesign::defaultFont());

    QtMessageBox messageBox;
    DesktopLauncher launcher;
    Services services;
    services.messageBox = &messageBox;
    services.launcher = &launcher;

    Form1 form1(services, nullptr);
    ErrorHandling::runHandler(messageBox, [&] { form1.load(); });
    form1.show();
    return app.exec();
}
