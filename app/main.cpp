// Zelvora: writes mail magazines and hands them to the system's mail handler.
#include "desktoplauncher.h"
#include "desktopshell.h"
#include "errorhandling.h"
#include "form1.h"
#include "form2.h"
#include "formdesign.h"
#include "handoffwindow.h"
#include "qtcommondialog.h"
#include "qtmessagebox.h"
#include "services.h"
#include "systemclock.h"
#include "unixmailhandler.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

using namespace Qt::StringLiterals;

// Without a display Qt prints an English message and aborts with a core dump. Someone who starts
// the program from a text console or over ssh gets one line in both languages and status 1.
static bool displayChosen(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    // "-platform offscreen" on the command line needs no display either.
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}

int main(int argc, char *argv[])
{
    if (!displayChosen(argc, argv)) {
        std::fputs("zelvora: 画面に接続できません。デスクトップの中から起動してください / "
                   "cannot connect to a display: start Zelvora from a desktop session\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // The dock and the window list find the icon and name through the desktop entry's name.
    QGuiApplication::setDesktopFileName(u"example.tavrinsoft.Zelvora"_s);
    QApplication::setApplicationName(u"Zelvora"_s);
    QApplication::setFont(FormDesign::defaultFont());

    // The real platform behind every window; they outlive the windows that use them.
    QtMessageBox messageBox;
    DesktopLauncher launcher;
    SystemClock clock;
    QtCommonDialog fontDialog;
    DesktopShell shell;
    HandOffWindow handOff(clock);
    UnixMailHandler mail(UnixMailHandler::Options(), &handOff);
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
    if (qtTexts.load(QLocale::system(), u"qtbase"_s, u"_"_s,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    Form1 form1(services, [&]() -> std::unique_ptr<Splash> {
        return splash ? std::move(splash) : std::make_unique<Form2>(clock);
    });
    ErrorHandling::runHandler(messageBox, [&] { form1.load(); });
    form1.show();
    return app.exec();
}
