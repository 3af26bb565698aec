#include "app/core/clock.h"

namespace tavo {

namespace {
QDateTime &fixedTime()
{
    static QDateTime t;
    return t;
}
} // namespace

QDateTime Clock::now()
{
    return fixedTime().isValid() ? fixedTime() : QDateTime::currentDateTime();
}

void Clock::set(const QDateTime &fixed)
{
    fixedTime() = fixed;
}

} // namespace tavo
