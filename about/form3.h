// The version-information window: product name and version, the note on the confirmed system,
// the maker's notice, and two support buttons. The homepage button hands the address to the
// desktop shell; the support button starts a mail to the maker in the user's own mail client
// through the window's own pair of mail-handler controls. The window shares nothing with the
// main window and is shown modally by it.
#pragma once

#include "formdesign.h"
#include "mailhandler.h"
#include "services.h"

#include <QDialog>
#include <memory>

class Form3 final : public QDialog
{
    Q_OBJECT
public:
    Form3(const Services &services, QWidget *owner);
    ~Form3() override;

    /// The size of the client area.
    static QSize clientSize();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *control(const char *name) const;
    void onClick(const char *name, void (Form3::*handler)());

    void load();
    void command1Click();
    void command2Click();
    void command3Click();

    Services m_services;
    std::unique_ptr<MapiSession> m_mapiSession1;
    std::unique_ptr<MapiMessages> m_mapiMessages1;
};
