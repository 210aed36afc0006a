#pragma once

#include <functional>

class QObject;

// Wakes the event loop from a signal handler: a non-blocking pipe, made as
// the program starts so that a handler finds it whenever it runs.
class SignalWake
{
public:
    SignalWake();
    SignalWake(const SignalWake&) = delete;
    SignalWake& operator=(const SignalWake&) = delete;

    // Async-signal-safe. Wakes that come before the loop looks are one.
    void notify() const;
    // act runs on the loop, once for the wakes that came, for as long as
    // owner lives. False when no pipe could be had.
    bool onWake(QObject* owner, std::function<void()> act) const;

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};
