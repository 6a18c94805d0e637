// Zelvora: writes mail magazines and hands them to the system's mail handler.
#include "form1.h"
#include "form2.h"
#include "desktoplauncher.h"
#include "desktopshell.h"
#include "errorhandling.h"
#include "formdesign.h"
#include "qtcommondialog.h"
#include "qtmessagebox.h"
#include "services.h"
#include "systemclock.h"
#include "unixmailhandler.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Zelvora"_qs);
    QApplication::setFont(FormDesign::defaultFont());

    // The real platform behind every window; they outlive the windows that use them.
    QtMessageBox messageBox;
    DesktopLauncher launcher;
    SystemClock clock;
    QtCommonDialog fontDialog;
    DesktopShell shell;
    UnixMailHandler mail(UnixMailHandler::defaultOptions());
    Services services;
    services.messageBox = &messageBox;
    services.launcher = &launcher;
    services.clock = &clock;
    services.fontDialog = &fontDialog;
    services.shell = &shell;
    services.mail = &mail;

    // The splash window is painted first and the main window is built while it shows; the main
    // window's start-up then takes this splash window over.
    std::unique_ptr<Splash> splash = std::make_unique<Form2>(clock);
    splash->show();
    splash->refresh();
    // The toolkit's own texts (a text box's context menu) in the user's language; the splash
    // has none.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), u"qtbase"_qs, u"_"_qs,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    Form1 form1(services, [&]() -> std::unique_ptr<Splash> {
        return splash ? std::move(splash) : std::make_unique<Form2>(clock);
    });
    ErrorHandling::runHandler(messageBox, [&] { form1.load(); });
    form1.show();
    return app.exec();
}
