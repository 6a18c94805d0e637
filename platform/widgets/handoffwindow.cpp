#include "handoffwindow.h"

#include "clock.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A dialog whose every way of closing (the button, Escape, the close box) asks to cancel; the
// hand-off closes it when it is over.
class ProgressDialog final : public QDialog
{
public:
    ProgressDialog(std::function<void()> cancel)
        : m_cancel(std::move(cancel))
    { }
    void reject() override { m_cancel(); }

private:
    std::function<void()> m_cancel;
};

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

HandOffWindow::HandOffWindow(const Clock &clock)
    : m_clock(clock)
{
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, &HandOffWindow::show);
    m_tickTimer.setInterval(1000);
    connect(&m_tickTimer, &QTimer::timeout, this, &HandOffWindow::tick);
}

HandOffWindow::~HandOffWindow()
{
    finished();
}

void HandOffWindow::started(const QString &message, std::function<void()> cancel)
{
    m_message = message;
    m_cancel = std::move(cancel);
    m_startedAt = m_clock.seconds();
    qApp->installEventFilter(this);
    m_showTimer.start(ShowAfterMs);
}

void HandOffWindow::finished()
{
    if (!m_cancel)
        return;
    // Clicks and keys made during the hand-off may still wait in the window system's queue, to
    // be delivered once it is over: a second send. The window system is synchronised while the
    // filter still refuses them, so that everything made before this moment is dropped here.
    m_draining = true;
    QGuiApplication::sync();
    m_draining = false;
    qApp->removeEventFilter(this);
    m_showTimer.stop();
    m_tickTimer.stop();
    delete m_window;
    m_cancel = nullptr;
    if (m_afterStop)
        std::exchange(m_afterStop, nullptr)();
}

void HandOffWindow::stop(std::function<void()> afterwards)
{
    if (!m_cancel)
        return afterwards();
    m_afterStop = std::move(afterwards);
    m_cancel();
}

// Input for the program's windows is dropped here, so nothing clicked or typed during the
// hand-off is replayed after it; the progress window alone takes input.
bool HandOffWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(event->type()))
        return false;
    auto widget = qobject_cast<QWidget *>(watched);
    if (!widget) // a window's own events reach its widgets, and are judged there
        return false;
    if (m_window && widget->window() == m_window && !m_draining)
        return false;
    if (event->type() == QEvent::Close)
        event->ignore();
    return true;
}

void HandOffWindow::show()
{
    auto window = new ProgressDialog([this] {
        if (m_cancel)
            m_cancel();
    });
    m_window = window;
    window->setObjectName(u"HandOffWindow"_s);
    window->setWindowTitle(u"Zelvora"_s);
    window->setWindowModality(Qt::ApplicationModal);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint);
    m_label = new QLabel(window);
    m_label->setObjectName(u"Message"_s);
    auto cancel = new QPushButton(u"キャンセル"_s, window);
    cancel->setObjectName(u"CancelButton"_s);
    // The Enter or space that started the send, pressed again or held, must not cancel it: the
    // button takes neither the focus nor Enter, and the window has no default button.
    cancel->setFocusPolicy(Qt::NoFocus);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    auto layout = new QVBoxLayout(window);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
    tick();
    window->show();
    m_tickTimer.start();
}

void HandOffWindow::tick()
{
    if (m_label)
        m_label->setText(
            u"%1\n経過時間: %2 秒"_s.arg(m_message).arg(qint64(m_clock.seconds() - m_startedAt)));
}
