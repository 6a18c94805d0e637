// Message boxes shown with QMessageBox over the active window.
#pragma once

#include "messagebox.h"

class QtMessageBox final : public MessageBox
{
public:
    int show(const QString &prompt, int style, const QString &title) override;
};
