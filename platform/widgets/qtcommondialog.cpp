#include "qtcommondialog.h"

#include "error.h"
#include "fontdialog.h"
#include "formdesign.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

using namespace Qt::StringLiterals;

QtCommonDialog::QtCommonDialog(QWidget *owner)
    : m_owner(owner)
{ }

FontChoice QtCommonDialog::font() const
{
    // Looking the faces up takes a while; the program's start-up need not wait for it.
    if (!m_choice)
        m_choice = defaultChoice();
    return *m_choice;
}

FontChoice QtCommonDialog::defaultChoice()
{
    const QFont font = FormDesign::defaultFont();
    QString name;
    for (const QString &face : font.families()) {
        if (QFontDatabase::hasFamily(face)) {
            // The name the face list shows, which may be a localised one.
            name = QFontInfo(QFont(face)).family();
            break;
        }
    }
    // None of the Japanese faces is installed: the face the system draws the default font with.
    if (name.isEmpty())
        name = QFontInfo(font).family();
    // Never empty: the document box refuses an empty face.
    if (name.isEmpty())
        name = font.families().value(0, u"sans-serif"_s);
    FontChoice choice;
    choice.families = { name };
    choice.size = 9.0;
    return choice;
}

void QtCommonDialog::setFlags(qint32 flags)
{
    m_flags = flags;
}

qint32 QtCommonDialog::flags() const
{
    return m_flags;
}

void QtCommonDialog::showFont()
{
    if (!(m_flags & (ScreenFonts | PrinterFonts)))
        throw RuntimeError::error(RuntimeError::NoFonts);
    QWidget *owner = m_owner ? m_owner.data() : QApplication::activeWindow();
    FontDialog dialog(m_flags, owner);
    dialog.setChoice(font());
    if (dialog.exec() == QDialog::Accepted)
        m_choice = dialog.choice();
}

void QtCommonDialog::setFont(const FontChoice &font)
{
    m_choice = font;
}
