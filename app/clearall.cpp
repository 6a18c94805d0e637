#include "clearall.h"

#include "textbox.h"
#include "undonote.h"

using namespace Qt::StringLiterals;

ClearAll::ClearAll(QWidget &window, std::span<const char *const> fields, UndoNote &note)
    : m_window(window)
    , m_fields(fields)
    , m_note(note)
{
    for (const char *role : m_fields)
        ControlText::onChanged(m_window.findChild<QWidget *>(QString::fromLatin1(role)), this,
                               [this] { fieldChanged(); });
    connect(&m_note, &UndoNote::undoRequested, this, &ClearAll::undo);
}

void ClearAll::clear()
{
    replace({}, u"全てクリアーしました。"_s);
}

void ClearAll::replace(const QMap<QString, QString> &texts, const QString &said)
{
    Q_EMIT aboutToClear();
    QMap<const char *, QString> before;
    m_writing = true;
    for (const char *role : m_fields) {
        QWidget *field = m_window.findChild<QWidget *>(QString::fromLatin1(role));
        before.insert(role, ControlText::text(field));
        ControlText::setText(field, texts.value(QString::fromLatin1(role)));
    }
    m_writing = false;
    m_before = before;
    m_note.say(said);
}

void ClearAll::undo()
{
    if (m_before.isEmpty())
        return;
    const QMap<const char *, QString> before = std::exchange(m_before, {});
    m_writing = true;
    for (const char *role : m_fields)
        ControlText::setText(m_window.findChild<QWidget *>(QString::fromLatin1(role)),
                             before.value(role));
    m_writing = false;
    m_note.hide();
    Q_EMIT settled();
}

void ClearAll::fieldChanged()
{
    if (m_writing || m_before.isEmpty())
        return;
    m_before.clear();
    m_note.hide();
    Q_EMIT settled();
}
