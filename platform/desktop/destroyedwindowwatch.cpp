#include "destroyedwindowwatch.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

DestroyedWindowWatch::DestroyedWindowWatch(quintptr windowId)
    : m_windowId(windowId)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DestroyedWindowWatch::~DestroyedWindowWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool DestroyedWindowWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto event = static_cast<const xcb_generic_event_t *>(message);
    // The toolkit listens to its windows' structure events, the destruction among them.
    if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY
        && reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window == m_windowId)
        Q_EMIT destroyedFromOutside();
    return false;
}
