// The splash window as the start-up sequence drives it.
#pragma once

#include <functional>
#include <memory>

class Splash
{
public:
    virtual ~Splash() = default;
    /// Shows the window without blocking and without an owner.
    virtual void show() = 0;
    /// Paints the whole window at once, so that it is on the screen before returning.
    virtual void refresh() = 0;
    /// Runs the window's unload handler while it is still on the screen, then destroys it.
    virtual void unload() = 0;
};

/// Creates a new splash window.
using SplashFactory = std::function<std::unique_ptr<Splash>()>;
