#include "desktopplatform.h"

#include <QGuiApplication>
#include <QLibraryInfo>

using namespace Qt::StringLiterals;

DesktopPlatform::DesktopPlatform()
    : m_handOff(m_clock)
    , m_mail(UnixMailHandler::Options(), &m_handOff, &m_sentCopies)
    , m_notifier(QGuiApplication::desktopFileName())
    , m_services { &m_messageBox, &m_launcher,   &m_clock,          &m_fontDialog,
                   &m_shell,      &m_mail,       &m_notifier,       &m_sentCopies,
                   &m_senderSettings, &m_senderDialog }
{ }

void DesktopPlatform::installToolkitTexts()
{
    // The toolkit's own texts (a text box's context menu) in the user's language.
    if (m_qtTexts.load(QLocale::system(), u"qtbase"_s, u"_"_s,
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTexts);
}
