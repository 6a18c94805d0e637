// Unix signals delivered through the event loop: the handler only writes the signal's number to
// a socket pair, and a socket notifier reports it as a Qt signal, where any work is safe.
#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

class UnixSignals final : public QObject
{
    Q_OBJECT
public:
    /// Catches these signals from now on until destroyed; one instance per program.
    explicit UnixSignals(std::initializer_list<int> signalNumbers);
    ~UnixSignals() override;

Q_SIGNALS:
    /// One of the signals arrived.
    void received(int signalNumber);

private:
    void readSignal();

    QList<int> m_signals;
    QSocketNotifier *m_notifier = nullptr;
};
