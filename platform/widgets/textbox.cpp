#include "textbox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace {

// The document's raw characters with each paragraph break as CR LF, the only thing mapped.
QString fromRaw(QString raw)
{
    return raw.replace(QChar::ParagraphSeparator, u"\r\n"_s);
}

} // namespace

TextBox::TextBox(Lines lines, QWidget *parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    if (lines == Lines::Wrapping) {
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

QString TextBox::text() const
{
    // toPlainText() would turn U+00A0 into a space and U+2028 into a line break; the raw text
    // keeps them and marks each paragraph break with U+2029, the only thing mapped here.
    return fromRaw(document()->toRawText());
}

void TextBox::setText(const QString &text)
{
    setPlainText(text);
}

void TextBox::replaceText(const QString &text)
{
    QString lines = text;
    lines.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines); // each LF becomes a line break
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    // Shift+Enter would insert a line separator that does not read back as CR LF: every Enter
    // is a plain line break here.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()) {
        textCursor().insertBlock();
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData *TextBox::createMimeDataFromSelection() const
{
    // Qt's own copy folds U+00A0 into a space and U+2028 into a line break: a sender pasting
    // the document elsewhere would get other characters than the box shows and the mail sends.
    auto mime = new QMimeData;
    mime->setText(fromRaw(textCursor().selectedText()));
    return mime;
}

namespace ControlText {

QString text(const QWidget *control)
{
    if (auto box = qobject_cast<const TextBox *>(control))
        return box->text();
    if (auto line = qobject_cast<const QLineEdit *>(control))
        return line->text();
    if (auto combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (auto list = qobject_cast<const QListWidget *>(control)) {
        const auto selected = list->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
    Q_ASSERT_X(false, "ControlText::text", "control without a text");
    return {};
}

void onChanged(QWidget *control, QObject *context, const std::function<void()> &changed)
{
    if (auto line = qobject_cast<QLineEdit *>(control))
        QObject::connect(line, &QLineEdit::textChanged, context, changed);
    else if (auto box = qobject_cast<QPlainTextEdit *>(control))
        QObject::connect(box, &QPlainTextEdit::textChanged, context, changed);
    else if (auto combo = qobject_cast<QComboBox *>(control))
        QObject::connect(combo, &QComboBox::editTextChanged, context, changed);
    else if (auto list = qobject_cast<QListWidget *>(control))
        QObject::connect(list, &QListWidget::itemSelectionChanged, context, changed);
}

void setText(QWidget *control, const QString &text)
{
    if (auto box = qobject_cast<TextBox *>(control))
        box->setText(text);
    else if (auto line = qobject_cast<QLineEdit *>(control)) {
        // A new text is shown from its start, not scrolled to its end.
        line->setText(text);
        line->setCursorPosition(0);
    } else if (auto combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
    else
        Q_ASSERT_X(false, "ControlText::setText", "control without a writable text");
}

} // namespace ControlText
