// The splash window: the product's picture, its description and the maker's notice, put up by
// the main window's start-up and held on the screen for a little more than five seconds by its
// Unload handler. It exists only during the start-up.
#pragma once

#include "splash.h"

#include <QPixmap>
#include <QWidget>

class Clock;

class Form2 final : public QWidget, public Splash
{
    Q_OBJECT
public:
    /// The clock measures the wait of the Unload handler.
    explicit Form2(Clock &clock);

    void show() override;
    void refresh() override;
    void unload() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void unloadHandler(qint16 &cancel);

    Clock &m_clock;
    QPixmap m_picture;
};
