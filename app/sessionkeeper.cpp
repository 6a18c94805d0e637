#include "sessionkeeper.h"

#include "error.h"
#include "errorhandling.h"
#include "sessionstore.h"
#include "textbox.h"
#include "textmarker.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace {

// Every field of the main window: its text boxes, the document box, the combo boxes' texts and
// the list's selected decoration.
constexpr const char *Kept[] = {
    "Text1", "Text2",  "Text3",  "Text4", "Text5",  "Text6",  "Text7", "Text8",
    "Text9", "Text10", "Text11", "Text",  "Combo1", "Combo2", "List1",
};
// The date box holds today's date, which the start-up writes: never restored, never a change
// worth offering.
constexpr auto DateBox = "Text9";
constexpr auto DocumentBox = "Text";

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
    KeptSession session;
    for (const char *name : Kept)
        session.fields.insert(
            QString::fromLatin1(name),
            ControlText::text(m_window.findChild<QWidget *>(QString::fromLatin1(name))));
    const auto document = m_window.findChild<QWidget *>(QString::fromLatin1(DocumentBox));
    const QFont font = document->font();
    KeptFont &kept = session.documentFont;
    kept.families = font.families().isEmpty() ? QStringList { font.family() } : font.families();
    kept.pointSize = font.pointSizeF();
    kept.bold = font.bold();
    kept.italic = font.italic();
    kept.strikeOut = font.strikeOut();
    kept.underline = font.underline();
    kept.colour = document->palette().color(QPalette::Text).rgb() & 0xFFFFFF;
    if (const TextMarker *marks = TextMarker::of(static_cast<const TextBox *>(document)))
        session.guideWidth = marks->guideWidth();
    return session;
}

void SessionKeeper::restore(const KeptSession &session)
{
    for (const char *name : Kept) {
        const QString key = QString::fromLatin1(name);
        const auto field = m_window.findChild<QWidget *>(key);
        if (key == QLatin1StringView(DateBox) || !session.fields.contains(key))
            continue;
        if (auto list = qobject_cast<QListWidget *>(field)) {
            const auto entries = list->findItems(session.fields[key], Qt::MatchExactly);
            list->setCurrentItem(entries.value(0));
            if (entries.isEmpty())
                list->clearSelection();
        } else {
            ControlText::setText(field, session.fields[key]);
        }
    }
    const auto document = m_window.findChild<QWidget *>(QString::fromLatin1(DocumentBox));
    const KeptFont &kept = session.documentFont;
    QFont font = document->font();
    font.setFamilies(kept.families);
    font.setPointSizeF(kept.pointSize);
    font.setBold(kept.bold);
    font.setItalic(kept.italic);
    font.setStrikeOut(kept.strikeOut);
    font.setUnderline(kept.underline);
    document->setFont(font);
    QPalette palette = document->palette();
    palette.setColor(QPalette::Text, QColor(QRgb(kept.colour)));
    document->setPalette(palette);
    TextMarker *marks = TextMarker::of(static_cast<const TextBox *>(document));
    if (marks && session.guideWidth > 0)
        marks->setGuideWidth(session.guideWidth);
}

bool SessionKeeper::likeNew(const KeptSession &session) const
{
    KeptSession withoutDate = session;
    withoutDate.fields.insert(QString::fromLatin1(DateBox),
                              m_new.fields.value(QString::fromLatin1(DateBox)));
    return withoutDate == m_new;
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
        const QString place = m_store.location();
        m_store.moveAside();
        m_messageBox.show(u"前回の作成内容を読み込めませんでした。新しい画面で始めます。\r"
                          u"読み込めなかったファイルは %1 に移しました。"_s.arg(place + u".bad"_s),
                          MessageBox::Exclamation, ErrorHandling::appTitle());
    } else if (parsed.reading == KeptSession::Reading::Newer) {
        m_store.leave();
    } else if (kept.found == SessionStore::Found::Kept) {
        if (!likeNew(parsed.session)
            && m_messageBox.ask(u"前回の作成内容が残っています。復元しますか？"_s,
                                { u"はい"_s, u"いいえ"_s }, 0, 1)
                == 0)
            restore(parsed.session);
        else
            m_store.discard();
    }
    watch();
}

void SessionKeeper::watch()
{
    for (const char *name : Kept) {
        QWidget *field = m_window.findChild<QWidget *>(QString::fromLatin1(name));
        if (auto line = qobject_cast<QLineEdit *>(field))
            connect(line, &QLineEdit::textChanged, this, &SessionKeeper::changed);
        else if (auto box = qobject_cast<QPlainTextEdit *>(field))
            connect(box, &QPlainTextEdit::textChanged, this, &SessionKeeper::changed);
        else if (auto combo = qobject_cast<QComboBox *>(field))
            connect(combo, &QComboBox::editTextChanged, this, &SessionKeeper::changed);
        else if (auto list = qobject_cast<QListWidget *>(field))
            connect(list, &QListWidget::itemSelectionChanged, this, &SessionKeeper::changed);
    }
    // The font dialog's choice reaches the document box as a font and a text colour.
    auto document = m_window.findChild<TextBox *>(QString::fromLatin1(DocumentBox));
    document->installEventFilter(this);
    if (TextMarker *marks = TextMarker::of(document))
        connect(marks, &TextMarker::guideWidthChanged, this, &SessionKeeper::changed);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &SessionKeeper::keep);
    connect(qGuiApp, &QGuiApplication::aboutToQuit, this, &SessionKeeper::keep);
}

bool SessionKeeper::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        changed();
    return false;
}

// The first change starts the wait and later ones do not prolong it, so typing without a pause
// is still written every DelayMs.
void SessionKeeper::changed()
{
    m_changed = true;
    if (!m_timer.isActive())
        m_timer.start();
}

void SessionKeeper::keep()
{
    write(false);
}

void SessionKeeper::write(bool tellFailure)
{
    m_timer.stop();
    if (!m_changed)
        return;
    const KeptSession session = collect();
    const auto error = ErrorHandling::trap([&] {
        if (likeNew(session))
            m_store.discard();
        else
            m_store.save(session.toBytes());
    });
    m_changed = bool(error);
    if (!error) {
        m_failureTold = false;
        return;
    }
    qWarning("zelvora: %s", qUtf8Printable(error->description));
    // Told once, not at every keystroke's write; again only after a write that worked.
    if (tellFailure && !m_failureTold) {
        m_failureTold = true;
        ErrorHandling::showWarning(m_messageBox, *error);
    }
}
