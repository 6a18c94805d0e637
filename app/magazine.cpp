#include "magazine.h"

#include "backnumbers.h"
#include "backnumberwindow.h"
#include "clearall.h"
#include "clock.h"
#include "errorhandling.h"
#include "keptsession.h"
#include "messagebox.h"
#include "nextissue.h"
#include "recipientaddress.h"
#include "roles.h"
#include "sendersettings.h"
#include "sentcopies.h"
#include "textbox.h"

#include <QMenuBar>

using namespace Qt::StringLiterals;

Magazine::Magazine(const Services &services, Window window, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_window(std::move(window))
{ }

Magazine::~Magazine() = default;

void Magazine::addMenu(QMenuBar *menuBar)
{
    QMenu *menu = menuBar->addMenu(u"メルマガ(&M)"_s);
    menu->setObjectName(u"mnuMagazine"_s);
    const struct
    {
        const char *name;
        QString caption;
        void (Magazine::*handler)();
    } items[] = {
        { "mnuBacknumbers", u"バックナンバー(&B)…"_s, &Magazine::showBacknumbers },
        { "mnuNextIssue", u"前号から次号を作る(&N)"_s, &Magazine::nextFromNewest },
        { "mnuTestSend", u"自分にテスト送信(&T)"_s, &Magazine::sendTest },
    };
    for (const auto &item : items) {
        QAction *action = menu->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        ErrorHandling::connectHandler(*m_services.messageBox, action, &QAction::triggered, this,
                                      item.handler);
    }
    QAction *sender = menu->addAction(u"差出人の設定(&F)…"_s);
    sender->setObjectName(u"mnuSender"_s);
    connect(sender, &QAction::triggered, this, [this] { askSender(); });
}

QString Magazine::textOf(const char *role) const
{
    return ControlText::text(m_window.client->findChild<QWidget *>(QString::fromLatin1(role)));
}

void Magazine::warn(const QString &text) const
{
    m_services.messageBox->show(text, MessageBox::Exclamation, ErrorHandling::appTitle());
}

void Magazine::showBacknumbers()
{
    if (!m_backnumbers) {
        m_backnumbers = new BacknumberWindow(m_services.sentCopies->folder(), *m_services.shell,
                                             m_window.client->window());
        connect(m_backnumbers, &BacknumberWindow::nextIssueRequested, this, &Magazine::nextFrom);
    }
    m_backnumbers->show();
    m_backnumbers->raise();
    m_backnumbers->activateWindow();
}

void Magazine::nextFromNewest()
{
    // The newest copy that can be read: a damaged one is passed over, as the list shows it.
    for (const QString &copy : Backnumbers::files(m_services.sentCopies->folder())) {
        if (Backnumbers::summary(copy).problem.isEmpty())
            return nextFrom(copy);
    }
    warn(u"まだ送信した号がありません。"_s);
}

void Magazine::nextFrom(const QString &copy)
{
    // A copy kept with its fields needs no more of it; an older one gives its text.
    Backnumbers::Issue issue { {}, Backnumbers::fields(copy), {}, false };
    if (!issue.fields)
        issue = Backnumbers::read(copy);
    if (!issue.problem.isEmpty())
        return warn(u"この号は読めませんでした: "_s + issue.problem);
    enum { Yes, No };
    if (m_window.holdsUnsentWork()
        && m_services.messageBox->ask(u"まだ送信していない内容があります。次号の内容に"
                                      u"置き換えますか？（置き換えた後も「元に戻す」で戻せます）"_s,
                                      { u"はい"_s, u"いいえ"_s }, No, No)
            != Yes)
        return;
    QMap<QString, QString> texts;
    if (issue.fields) {
        const QString today = NextIssue::dateText(m_services.clock->currentDate());
        texts = NextIssue::from(*issue.fields, today, m_window.documentPlaceholder);
        ControlText::setText(
            m_window.client->findChild<QWidget *>(QString::fromLatin1(Role::DateBox)), today);
    } else {
        for (const char *role : Role::Fields)
            texts.insert(QString::fromLatin1(role), textOf(role));
        texts.insert(QString::fromLatin1(Role::Document), issue.text);
    }
    m_window.replacer->replace(texts,
                               issue.fields ? u"次号を作りました。"_s
                                            : u"この号には作成時の各欄が残っていないため、"
                                              u"作成文書の欄だけに読み込みました。"_s);
    Q_EMIT issueStarted();
}

void Magazine::sendTest()
{
    std::optional<Sender> author = m_services.senderSettings->load();
    if (!author)
        author = askSender();
    if (!author)
        return;
    m_window.send({ author->name, author->address, textOf(Role::Document), {}, {}, true });
}

std::optional<Sender> Magazine::askSender()
{
    SenderSettings &settings = *m_services.senderSettings;
    const Sender offered = settings.load().value_or(
        Sender { Sender::offered(textOf(Role::EmailLine), settings.transportSender()), {} });
    const auto problem = [](const Sender &typed) {
        return RecipientAddress::isValid(typed.address)
            ? QString()
            : u"メールアドレスを「名前@ドメイン」の形で、半角で入力してください。"_s;
    };
    const std::optional<Sender> sender = m_services.senderDialog->ask(offered, problem);
    if (!sender)
        return std::nullopt;
    if (const auto failure = settings.save(*sender))
        warn(u"差出人の設定を保存できませんでした（%1）: %2"_s.arg(settings.location(), *failure));
    return sender;
}
