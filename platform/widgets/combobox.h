// Combo boxes with an editable field. A screen reader calls one by its accessible name, what the
// box is for, whatever entry it holds: Qt's own description of a combo box on Linux gives the
// current text as the name, so that a chosen entry hid what the box is.
#pragma once

#include <QComboBox>

class ComboBox final : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget *parent = nullptr);
};
