#pragma once
// The program's one clock: screens and logic ask it for "now"; tests set it.

#include <QDateTime>

namespace tavo {

class Clock
{
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    // Fixes the time returned by now() (an invalid value goes back to the system clock).
    static void set(const QDateTime &fixed);
};

} // namespace tavo
