// The font dialog behind the common-dialog control: face, style and size lists with a sample,
// and on request an effects group with strikethrough, underline and a text colour. Qt's own
// font dialog offers no colour, so this one is ours. It only shows and edits a FontChoice;
// QtCommonDialog keeps the values between uses.
#pragma once

#include "commondialog.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class FontDialog final : public QDialog
{
    Q_OBJECT
public:
    /// A standard text colour with its name as the colour list shows it.
    struct NamedColour
    {
        quint32 value; // 0x00BBGGRR
        const char16_t *name;
    };
    /// The sixteen colours of the colour list, in list order.
    static const NamedColour StandardColours[16];

    /// flags: the CommonDialog flag bits. ScreenFonts or PrinterFonts list the installed faces;
    /// Effects adds the strikethrough, underline and colour choices.
    explicit FontDialog(qint32 flags, QWidget *parent = nullptr);

    /// Shows choice in the controls. A face that is not listed stays in the face field, and OK
    /// waits until the user picks one that is.
    void setChoice(const FontChoice &choice);
    /// The values as the controls show them. Without the effects group, strikethrough, underline
    /// and colour are those last given to setChoice().
    FontChoice choice() const;

private:
    void buildControls(bool effects);
    void buildLists(QGridLayout *grid);
    void buildButtons(QGridLayout *grid);
    void buildEffects(QGridLayout *grid);
    void listFaces(qint32 flags);
    void faceTyped(const QString &text);
    void sizeTyped(const QString &text);
    void selectColour(quint32 colour);
    std::optional<float> typedSize() const;
    QString listedFace() const;
    void refresh();

    QLineEdit *m_faceEdit = nullptr;
    QListWidget *m_faceList = nullptr;
    QLineEdit *m_styleEdit = nullptr;
    QListWidget *m_styleList = nullptr;
    QLineEdit *m_sizeEdit = nullptr;
    QListWidget *m_sizeList = nullptr;
    QGroupBox *m_effects = nullptr;
    QCheckBox *m_strikethru = nullptr;
    QCheckBox *m_underline = nullptr;
    QComboBox *m_colour = nullptr;
    QLabel *m_sample = nullptr;
    QPushButton *m_ok = nullptr;
    FontChoice m_given;
};
