#include "core/Clock.h"

#include <optional>

namespace {
std::optional<QDateTime> &fixedMoment()
{
    static std::optional<QDateTime> moment;
    return moment;
}
} // namespace

namespace Clock {
QDateTime now()
{
    return fixedMoment() ? *fixedMoment() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setFixed(const QDateTime &moment)
{
    fixedMoment() = moment;
}

void reset()
{
    fixedMoment().reset();
}
} // namespace Clock
