// 全てクリアー and its way back: empties every field the author fills in and the document box,
// then offers 元に戻す in a note beside the buttons until the next change of any field. The
// window forwards the signals to whoever keeps the work, so that what is kept until then is the
// work as it was before.
#pragma once

#include <QMap>
#include <QObject>
#include <QString>

#include <span>

class UndoNote;
class QWidget;

class ClearAll final : public QObject
{
    Q_OBJECT
public:
    /// fields: the roles of the controls of window that are emptied, in this order. The note
    /// lives in window.
    ClearAll(QWidget &window, std::span<const char *const> fields, UndoNote &note);

    /// Empties the fields and shows the note.
    void clear();
    /// Gives the fields these texts by role (empty where none is given) and shows the note
    /// saying said; 元に戻す brings back what they held, as after clear().
    void replace(const QMap<QString, QString> &texts, const QString &said);
    /// Brings back what the last clear() emptied, if the note still offers it.
    void undo();
    /// Whether 元に戻す is offered.
    bool offered() const { return !m_before.isEmpty(); }

Q_SIGNALS:
    /// The fields are about to be emptied or replaced.
    void aboutToClear();
    /// The note is gone: a field changed, or the fields are back.
    void settled();

private:
    void fieldChanged();

    QWidget &m_window;
    std::span<const char *const> m_fields;
    UndoNote &m_note;
    QMap<const char *, QString> m_before; // empty: nothing to bring back
    bool m_writing = false;
};
