// Message boxes, the way the windows ask for them: a prompt, a style value and a title.
#pragma once

#include <QString>
#include <QStringList>

class MessageBox
{
public:
    /// Style values: buttons in the low bits, the icon above them.
    enum Style : int {
        OkOnly = 0,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
    };
    /// Button values returned by show().
    enum Result : int { Ok = 1 };

    virtual ~MessageBox() = default;
    /// Shows a modal message box and returns the button that closed it. A CR in the prompt
    /// starts a new line.
    virtual int show(const QString &prompt, int style, const QString &title) = 0;
    /// Asks a question in a modal box with the question icon and the program's title. buttons
    /// are the captions, left to right ("&" marks the access key); Enter presses defaultButton,
    /// Escape and the close box press escapeButton. Returns the index of the button pressed.
    virtual int ask(const QString &question, const QStringList &buttons, int defaultButton,
                    int escapeButton)
        = 0;
};
