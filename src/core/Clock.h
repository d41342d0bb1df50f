#pragma once

#include <QDate>
#include <QDateTime>

// Today's date and the time of day, swappable so tests pin them.
namespace Clock {
QDateTime now();
QDate today();
// Tests: every later call answers this moment until reset().
void setFixed(const QDateTime &moment);
void reset();
} // namespace Clock
