#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

// The pocket lock. While a clip plays, holding the Exit key (the right soft
// key: F3, Escape or Back) for two seconds locks every key, so that nothing
// in a pocket pauses, seeks or stops the music; the same hold unlocks them.
// A tap of that key does nothing while a clip plays, so no tap locks.
class KeyLock : public QObject
{
    Q_OBJECT
public:
    static constexpr int holdMs = 2000;

    explicit KeyLock(QObject* parent = nullptr);

    static bool isLockKey(std::uint16_t keyCode);
    // A key while a clip plays, its repeats told apart; true when it goes
    // no further: the lock's own key, and every key while locked.
    bool key(std::uint16_t keyCode, bool press, bool repeat);
    bool isLocked() const { return locked_; }
    // The clip is over: the list's keys are never locked.
    void reset();

signals:
    void changed(bool locked);
    // A key pressed while locked, to say how to unlock.
    void refused();

private:
    QTimer hold_;
    bool held_ = false;
    bool locked_ = false;
};
