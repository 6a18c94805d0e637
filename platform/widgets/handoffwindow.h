// The mail handler's progress window. While a hand-off runs, no window of the program takes
// clicks or keys (they are refused, never queued for later) and none can be closed; when the
// hand-off takes more than half a second, a small modal window says that the mail is being
// sent, counts the seconds and offers "キャンセル" (Escape and the close box cancel too).
#pragma once

#include "handoffmonitor.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class Clock;
class QDialog;
class QLabel;

class HandOffWindow final : public QObject, public HandOffMonitor
{
    Q_OBJECT
public:
    /// How long a hand-off runs before the window shows, so that quick sends do not flicker.
    static constexpr int ShowAfterMs = 500;

    /// clock counts the seconds shown; it must outlive the window.
    explicit HandOffWindow(const Clock &clock);
    ~HandOffWindow() override;

    void started(const QString &message, std::function<void()> cancel) override;
    void finished() override;
    /// Stops a running hand-off as the user's "キャンセル" does, helper programs and all, and
    /// runs afterwards once it is over; with none running, runs afterwards at once.
    void stop(std::function<void()> afterwards);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    void tick();

    QString m_message;
    std::function<void()> m_cancel;
    const Clock &m_clock;
    double m_startedAt = 0;
    std::function<void()> m_afterStop;
    QTimer m_showTimer;
    QTimer m_tickTimer;
    QPointer<QDialog> m_window;
    QLabel *m_label = nullptr;
    bool m_draining = false; // the hand-off is over; input made during it is still dropped
};
