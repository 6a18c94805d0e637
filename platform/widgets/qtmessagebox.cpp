#include "qtmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

int QtMessageBox::show(const QString &prompt, int style, const QString &title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case Critical:
        icon = QMessageBox::Critical;
        break;
    case Question:
        icon = QMessageBox::Question;
        break;
    case Exclamation:
        icon = QMessageBox::Warning;
        break;
    case Information:
        icon = QMessageBox::Information;
        break;
    }
    // A lone CR separates the lines of a prompt.
    QString text = prompt;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return Ok;
}

int QtMessageBox::ask(const QString &question, const QStringList &buttons, int defaultButton,
                      int escapeButton)
{
    QMessageBox box(QMessageBox::Question, u"Zelvora"_s, question, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    QList<QPushButton *> pushButtons;
    for (const QString &caption : buttons)
        pushButtons << box.addButton(caption, QMessageBox::ActionRole);
    box.setDefaultButton(pushButtons.value(defaultButton));
    box.setEscapeButton(pushButtons.value(escapeButton));
    box.exec();
    const int pressed = int(pushButtons.indexOf(box.clickedButton()));
    return pressed < 0 ? escapeButton : pressed;
}
