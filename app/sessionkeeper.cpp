#include "sessionkeeper.h"

#include "errorhandling.h"
#include "fontchoices.h"
#include "roles.h"
#include "sessionstore.h"
#include "textbox.h"
#include "textmarker.h"

#include <QEvent>
#include <QGuiApplication>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace {

QWidget *field(const QWidget &window, const char *role)
{
    return window.findChild<QWidget *>(QString::fromLatin1(role));
}

} // namespace

SessionKeeper::SessionKeeper(QWidget &window, SessionStore &store, MessageBox &messageBox)
    : m_window(window)
    , m_store(store)
    , m_messageBox(messageBox)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { write(true); });
}

SessionKeeper::~SessionKeeper() = default;

KeptSession SessionKeeper::collect() const
{
    return collect(m_window);
}

KeptSession SessionKeeper::collect(const QWidget &window)
{
    KeptSession session;
    for (const char *role : Role::Fields)
        session.fields.insert(QString::fromLatin1(role), ControlText::text(field(window, role)));
    const auto document = static_cast<TextBox *>(field(window, Role::Document));
    session.documentFont = FontChoices::of(document);
    if (const TextMarker *marks = TextMarker::of(document))
        session.guideWidth = marks->guideWidth();
    return session;
}

void SessionKeeper::restore(const KeptSession &session)
{
    for (const char *role : Role::Fields) {
        const QString key = QString::fromLatin1(role);
        // The date box holds today's date, which the start-up writes: never restored.
        if (key == QLatin1StringView(Role::DateBox) || !session.fields.contains(key))
            continue;
        if (auto list = qobject_cast<QListWidget *>(field(m_window, role))) {
            const auto entries = list->findItems(session.fields[key], Qt::MatchExactly);
            list->setCurrentItem(entries.value(0));
            if (entries.isEmpty())
                list->clearSelection();
        } else {
            ControlText::setText(field(m_window, role), session.fields[key]);
        }
    }
    const auto document = static_cast<TextBox *>(field(m_window, Role::Document));
    FontChoices::apply(document, session.documentFont);
    TextMarker *marks = TextMarker::of(document);
    if (marks && session.guideWidth > 0)
        marks->setGuideWidth(session.guideWidth);
}

bool SessionKeeper::likeNew(const KeptSession &session) const
{
    KeptSession withoutDate = session;
    const QString date = QString::fromLatin1(Role::DateBox);
    withoutDate.fields.insert(date, m_new.fields.value(date));
    return withoutDate == m_new;
}

// An unreadable session is moved aside with one warning that says where it went; one that
// cannot be moved stays as it is, and this instance writes elsewhere.
void SessionKeeper::takeUnreadable()
{
    const QString place = m_store.location();
    const QString aside = m_store.moveAside();
    m_messageBox.show(
        u"前回の作成内容を読み込めませんでした。新しい画面で始めます。\r"_s
            + (aside.isEmpty()
                   ? u"読み込めなかったファイル %1 は、そのまま残しました。"_s.arg(place)
                   : u"読み込めなかったファイルは %1 に移しました。"_s.arg(aside)),
        MessageBox::Exclamation, ErrorHandling::appTitle());
}

void SessionKeeper::offer()
{
    m_new = collect();
    const SessionStore::Kept kept = m_store.take(KeptSession::MaxBytes);
    const KeptSession::Parsed parsed = kept.found == SessionStore::Found::Kept
        ? KeptSession::parse(kept.bytes)
        : KeptSession::Parsed {};
    if (kept.found == SessionStore::Found::Unreadable
        || (kept.found == SessionStore::Found::Kept
            && parsed.reading == KeptSession::Reading::Unreadable)) {
        takeUnreadable();
    } else if (parsed.reading == KeptSession::Reading::Newer) {
        m_store.leave();
    } else if (kept.found == SessionStore::Found::Kept && likeNew(parsed.session)) {
        m_store.discard();
    } else if (kept.found == SessionStore::Found::Kept) {
        // いいえ, or Escape, may be a slip: the session is set aside, never deleted.
        if (m_messageBox.ask(u"前回の作成内容が残っています。復元しますか？"_s,
                             { u"はい"_s, u"いいえ"_s }, 0, 1)
            == 0) {
            restore(parsed.session);
            Q_EMIT restored();
        } else {
            m_store.setAside();
        }
    }
    watch();
}

void SessionKeeper::watch()
{
    for (const char *role : Role::Fields)
        ControlText::onChanged(field(m_window, role), this, [this] { changed(); });
    // The font dialog's choice reaches the document box as a font and a text colour.
    auto document = static_cast<TextBox *>(field(m_window, Role::Document));
    document->installEventFilter(this);
    if (TextMarker *marks = TextMarker::of(document))
        connect(marks, &TextMarker::guideWidthChanged, this, &SessionKeeper::changed);
    m_window.installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &SessionKeeper::keep);
    connect(qGuiApp, &QGuiApplication::aboutToQuit, this, &SessionKeeper::keep);
}

bool SessionKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window) {
        if (event->type() == QEvent::Close)
            closing();
    } else if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        changed();
    }
    return false;
}

// The first change starts the wait and later ones do not prolong it, so typing without a pause
// is still written every DelayMs.
void SessionKeeper::changed()
{
    if (m_held)
        return;
    m_changed = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void SessionKeeper::keep()
{
    write(false);
}

void SessionKeeper::hold()
{
    write(true);
    m_held = true;
    m_timer.stop();
}

void SessionKeeper::release()
{
    m_held = false;
    changed();
}

// The window closed by the user is the one end that may wait for the user: work that could not
// be kept is said once more, as the program ends right after.
void SessionKeeper::closing()
{
    write(false);
    if (!m_failure || m_endTold)
        return;
    m_endTold = true;
    m_messageBox.show(
        u"作成内容を保存できないまま終了します。\r"
        u"%1 に保存できませんでした（%2）。"_s.arg(m_failure->path, m_failure->reason),
        MessageBox::Exclamation, ErrorHandling::appTitle());
}

void SessionKeeper::write(bool timed)
{
    m_timer.stop();
    if (!m_changed || m_held)
        return;
    const KeptSession session = collect();
    m_failure.reset();
    if (likeNew(session))
        m_store.discard();
    else
        m_failure = m_store.save(session.toBytes());
    m_changed = bool(m_failure);
    if (!m_failure) {
        m_failureTold = false;
        return;
    }
    const Error error { RuntimeError::InternalError,
                        u"作成内容を %1 に保存できません（%2）。"_s.arg(m_failure->path,
                                                                        m_failure->reason) };
    qWarning("zelvora: %s", qUtf8Printable(error.description));
    if (!timed)
        return;
    // Tried again at the next period without a change; told once, not at every try, and again
    // only after a write that worked.
    m_timer.start();
    if (!m_failureTold) {
        m_failureTold = true;
        ErrorHandling::showWarning(m_messageBox, error);
    }
}
