// Message boxes shown with QMessageBox over the active window.
#pragma once

#include "messagebox.h"

class QtMessageBox final : public MessageBox
{
public:
    int show(const QString &prompt, int style, const QString &title) override;
    int ask(const QString &question, const QStringList &buttons, int defaultButton,
            int escapeButton) override;
};
