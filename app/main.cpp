// Zelvora: writes mail magazines and hands them to the system's mail handler.
#include "desktopplatform.h"
#include "destroyedwindowwatch.h"
#include "displayguard.h"
#include "errorhandling.h"
#include "filesessionstore.h"
#include "form1.h"
#include "form2.h"
#include "formdesign.h"
#include "sessionkeeper.h"
#include "unixsignals.h"

#include <QApplication>

#include <csignal>

using namespace Qt::StringLiterals;

// Without a display Qt prints an English message and aborts with a core dump. Someone who starts
// the program from a text console or over ssh gets this line in both languages and status 1.
static const char NoDisplay[]
    = "zelvora: 画面に接続できません。デスクトップの中から起動してください / "
      "cannot connect to a display: start Zelvora from a desktop session\n";

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
    if (!displayChosen(argc, argv))
        return DisplayGuard::noDisplay(NoDisplay);
    // A display that is named but cannot be opened gets the same line.
    auto displayGuard = std::make_unique<DisplayGuard>(NoDisplay);
    QApplication app(argc, argv);
    displayGuard.reset();
    // The dock and the window list find the icon and name through the desktop entry's name.
    QGuiApplication::setDesktopFileName(u"example.tavrinsoft.Zelvora"_s);
    QApplication::setApplicationName(u"Zelvora"_s);
    QApplication::setFont(FormDesign::defaultFont());

    // The real platform behind every window; it outlives the windows that use it.
    DesktopPlatform platform;
    const Services &services = platform.services();
    Clock &clock = *services.clock;

    // The splash window is painted first and the main window is built while it shows; the main
    // window's start-up then takes this splash window over.
    std::unique_ptr<Splash> splash = std::make_unique<Form2>(clock);
    splash->show();
    splash->refresh();
    platform.installToolkitTexts();
    Form1 form1(services, [&]() -> std::unique_ptr<Splash> {
        return splash ? std::move(splash) : std::make_unique<Form2>(clock);
    });
    ErrorHandling::runHandler(*services.messageBox, [&] { form1.load(); });
    // The last session is offered back; from now on the work is kept as it is typed.
    FileSessionStore sessionStore;
    SessionKeeper keeper(form1, sessionStore, *services.messageBox);
    // While 全てクリアー can still be taken back, the work kept is what was there before it.
    QObject::connect(&form1, &Form1::clearedAll, &keeper, &SessionKeeper::hold);
    QObject::connect(&form1, &Form1::clearAllSettled, &keeper, &SessionKeeper::release);
    QObject::connect(&keeper, &SessionKeeper::restored, &form1, &Form1::sessionRestored);
    keeper.offer();
    form1.show();

    // Every end keeps the work. A logout, a shutdown or a closed terminal (signals), and the
    // window destroyed by another program, end the program once a running hand-off is stopped
    // with the helper programs it started.
    const auto end = [&] {
        keeper.keep();
        platform.handOff().stop([] { QApplication::exit(0); });
    };
    UnixSignals endSignals { SIGTERM, SIGHUP, SIGINT };
    QObject::connect(&endSignals, &UnixSignals::received, &keeper, end);
    DestroyedWindowWatch windowWatch(form1.winId());
    QObject::connect(&windowWatch, &DestroyedWindowWatch::destroyedFromOutside, &keeper, end);
    return app.exec();
}
