// The common-dialog control of the running program: keeps the font values the user last
// accepted and shows FontDialog with them. Until the first accepted choice it holds the
// program's own default font, which the document box always takes.
#pragma once

#include "commondialog.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QtCommonDialog final : public CommonDialog
{
public:
    /// owner: the window the dialog is modal to; without one, the window active when it opens.
    explicit QtCommonDialog(QWidget *owner = nullptr);

    void setFlags(qint32 flags) override;
    qint32 flags() const override;
    /// Shows FontDialog with the current values; OK takes the new ones, Cancel keeps them.
    /// Throws Error 24574 when Flags asks for neither screen nor printer fonts.
    void showFont() override;
    FontChoice font() const override;
    void setFont(const FontChoice &font) override;

    /// The values before any choice: the first installed face of the program's default font,
    /// 9 points, regular, no effects, black.
    static FontChoice defaultChoice();

private:
    QPointer<QWidget> m_owner;
    qint32 m_flags = 0;
    mutable std::optional<FontChoice> m_choice;
};
