// The main window. Classes and how data flows between them:
//  - Form1 (this file) lays out its controls from the design table in form1.cpp and holds the
//    event handlers. All data lives in the controls' texts; a handler reads controls, calls
//    plain logic or a platform service, and writes controls.
//  - compose/: the phrase catalogues, the assembly of the document from the fields, and the
//    marks for what readers may not see as written (textmarks, plainforms, linewrap).
//  - mail/: the sending procedure through the mail-handler controls, and the address check.
//  - platform/: the services given to the window (Services): message boxes, program launch,
//    the clock, the font dialog, the shell, the mail handler, notifications and the copies of
//    the issues sent.
//  - TextMarker (platform/widgets): the marks and the width guide of the document box; SendCheck
//    (app/sendcheck.h) asks once before a marked document is handed off.
//  - StatusNote (platform/widgets): the note that tells a successful send where the desktop has
//    no notification service.
//  - Splash (app/splash.h): the start-up window shown by load().
//  - SessionKeeper (app/sessionkeeper.h): keeps the fields as they are typed, by their names,
//    and offers them back at the next start; main() creates it.
#pragma once

#include "formdesign.h"
#include "mapi.h"
#include "services.h"
#include "splash.h"

#include <QDateTime>
#include <QMainWindow>

class QAction;
class StatusNote;

class Form1 final : public QMainWindow
{
    Q_OBJECT
public:
    Form1(const Services &services, SplashFactory createSplash, QWidget *parent = nullptr);
    ~Form1() override;

    /// The window's start-up: today's date into the date box, then the splash window for a
    /// little more than five seconds. Runs before the window is first shown.
    void load();

    /// The size of the client area below the menu bar.
    static QSize clientSize();

protected:
    void changeEvent(QEvent *event) override;

private:
    void createMenus();
    void connectHandlers();
    QWidget *control(const char *name) const;
    QString textOf(const char *name) const;
    void setTextOf(const char *name, const QString &text);
    /// Connects a menu item or a button to its handler; errors the handler does not trap go
    /// to the top-level handling, and the program keeps running.
    void handle(QAction *action, void (Form1::*handler)());
    void onClick(const char *name, void (Form1::*handler)());

    void command1Click();
    void command2Click();
    void command3Click();
    void command4Click();
    void command5Click();
    void command7Click();
    void command8Click();
    void command9Click();
    void mnuDenClick();
    void mnuMemoClick();
    void mnuForm3Click();
    void unload();
    bool confirmSendingAgain(const QString &document, const QString &address);
    void tellSent(const QString &name, const QString &address);

    Services m_services;
    SplashFactory m_createSplash;
    std::unique_ptr<MapiSession> m_mapiSession1;
    std::unique_ptr<MapiMessages> m_mapiMessages1;
    StatusNote *m_sentNote = nullptr;
    // The last issue handed off, so that the same one is not sent twice by mistake.
    struct
    {
        QString document;
        QString address;
        QDateTime at;
    } m_lastSent;
};
