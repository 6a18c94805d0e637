// The real platform services of the running program, wired once: the adapters behind every
// window, the progress window the mail handler reports its hand-offs to, the launcher that knows
// the desktop's calculator and editor, and the toolkit's own texts in the user's language.
// main() owns one for the program's lifetime; the tests build one to check the wiring.
#pragma once

#include "desktoplauncher.h"
#include "desktopnotifier.h"
#include "desktopshell.h"
#include "filesendersettings.h"
#include "handoffwindow.h"
#include "qtcommondialog.h"
#include "qtmessagebox.h"
#include "qtsenderdialog.h"
#include "sentfolder.h"
#include "services.h"
#include "systemclock.h"
#include "unixmailhandler.h"

#include <QTranslator>

class DesktopPlatform final
{
public:
    /// Needs the application object.
    DesktopPlatform();
    DesktopPlatform(const DesktopPlatform &) = delete;
    DesktopPlatform &operator=(const DesktopPlatform &) = delete;

    /// The services for the windows; valid as long as this object lives.
    const Services &services() const { return m_services; }
    /// The progress window of the mail hand-offs, which can stop a running one.
    HandOffWindow &handOff() { return m_handOff; }
    /// Installs the toolkit's translation for the system locale when one is installed; the
    /// splash needs none of it, so the program does this once the splash is on the screen.
    void installToolkitTexts();

private:
    QtMessageBox m_messageBox;
    DesktopLauncher m_launcher;
    SystemClock m_clock;
    QtCommonDialog m_fontDialog;
    DesktopShell m_shell;
    HandOffWindow m_handOff;
    SentFolder m_sentCopies;
    UnixMailHandler m_mail;
    DesktopNotifier m_notifier;
    FileSenderSettings m_senderSettings;
    QtSenderDialog m_senderDialog;
    QTranslator m_qtTexts;
    Services m_services;
};
