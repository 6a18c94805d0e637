// Text boxes and "the text of a control": what the windows read and write in their fields.
// A multi-line box stores its line breaks as CR LF and gives back exactly the characters it
// holds: no folding of no-break spaces, line separators or fullwidth forms.
#pragma once

#include <QPlainTextEdit>

#include <functional>

class TextBox final : public QPlainTextEdit
{
    Q_OBJECT
public:
    enum class Lines {
        Wrapping, // wraps at the box's width, no scroll bars
        Scrolling, // long lines scroll sideways; both scroll bars
    };

    explicit TextBox(Lines lines, QWidget *parent = nullptr);

    /// The content, with every paragraph break as CR LF.
    QString text() const;
    /// Replaces the content; CR LF (or a lone CR or LF) becomes a line break. Forgets what
    /// could be undone.
    void setText(const QString &text);
    /// Replaces the content as setText() does, as one edit that Ctrl+Z undoes.
    void replaceText(const QString &text);

    // Where the lines on the screen are, for what is drawn over them (the marks and the guide).
    using QPlainTextEdit::blockBoundingGeometry;
    using QPlainTextEdit::contentOffset;
    using QPlainTextEdit::firstVisibleBlock;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    /// What copy, cut and drag hand out: the selected characters as text() reads them.
    QMimeData *createMimeDataFromSelection() const override;
};

namespace ControlText {

/// The text of a text box, the selected entry of a list box (empty while none is selected), or
/// the edit field of a combo box.
QString text(const QWidget *control);
/// Writes the text of a text box or the edit field of a combo box.
void setText(QWidget *control, const QString &text);
/// Calls changed, in context, whenever the text of the control changes (for a list box, its
/// selection): typed, pasted or written by the program.
void onChanged(QWidget *control, QObject *context, const std::function<void()> &changed);

} // namespace ControlText
