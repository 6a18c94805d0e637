// The main window. Classes and how data flows between them:
//  - Form1 (this file) lays out its controls from the design table in form1.cpp and holds the
//    event handlers. All data lives in the controls' texts; a handler reads controls, calls
//    plain logic or a platform service, and writes controls.
//  - compose/: the phrase catalogues, the assembly of the document from the fields, and the
//    marks for what readers may not see as written (textmarks, plainforms, linewrap).
//  - Role (app/roles.h): each control by what it holds; the design names stay the objects' names.
//  - mail/: the mail-handler interface, the sending procedure through its controls, the address
//    rules, and SendGuard, the policy of a send: refusals, questions, the record of what went.
//  - IssueSender (app/issuesender.h): the send button's work, asking SendGuard's questions in the
//    window's message boxes and telling a success by a notification or a StatusNote.
//  - platform/: the services given to the window (Services): message boxes, program launch,
//    the clock, the font dialog, the shell, the mail handler, notifications and the copies of
//    the issues sent.
//  - TextMarker (platform/widgets): the marks and the width guides of the document box and the
//    body box, each with a guide of its own; the document box's is the one sending checks by.
//  - FontChoices (platform/widgets): the font dialog's choice as the document box's font.
//  - Splash (app/splash.h): the start-up window shown by load().
//  - SessionKeeper (app/sessionkeeper.h): keeps the fields as they are typed, by their names,
//    and offers them back at the next start; main() creates it.
//  - Magazine (app/magazine.h): the メルマガ menu, the issues sent (BacknumberWindow), the next
//    issue, the author's own address and the test to it.
#pragma once

#include "documentassembly.h"
#include "documentsender.h"
#include "services.h"
#include "splash.h"

#include <QMainWindow>

#include <memory>

class ClearAll;
class IssueSender;
class QAction;
class TextBox;

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

    /// The fields and the document box now hold a restored session: the document counts as
    /// made from these fields.
    void sessionRestored();

Q_SIGNALS:
    /// 全てクリアー is about to empty the fields. Until clearAllSettled(), 元に戻す can bring
    /// them back, so what is kept of the work is what was there before.
    void clearedAll();
    /// The cleared fields are the work now (a field changed, or 元に戻す brought them back).
    void clearAllSettled();

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildControls(QWidget *client);
    void fillCatalogues();
    void createMenus();
    void connectHandlers();
    TextBox *documentBox() const;
    DocumentFields fields() const;
    void replaceDocument(const QString &text);
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
    OutgoingDocument outgoing() const;
    void sendDocument(const OutgoingDocument &document);
    bool holdsUnsentWork() const;
    void mnuDenClick();
    void mnuMemoClick();
    void mnuForm3Click();
    void unload();

    Services m_services;
    SplashFactory m_createSplash;
    std::unique_ptr<IssueSender> m_sender;
    ClearAll *m_clearAll = nullptr;
    // The fields the document box's text was last made or restored from.
    std::optional<DocumentFields> m_madeFrom;
};
