// A window destroyed by another program (`xdotool windowclose`, a desktop's "force close"):
// on X11 the window is gone while the toolkit still counts it as open, and the program would go
// on without any window. This watch reports it, so the program can end properly.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class DestroyedWindowWatch final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    /// Watches the X11 window of that id (QWidget::winId()); elsewhere it never reports.
    explicit DestroyedWindowWatch(quintptr windowId);
    ~DestroyedWindowWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    /// The window was destroyed by someone else.
    void destroyedFromOutside();

private:
    quintptr m_windowId;
};
