#include "editor/EditorGeometry.h"

#include "core/AtomicFile.h"
#include "richtext/Twips.h"

#include <QFile>
#include <QLocale>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace EditorGeometry {
namespace {

// Profile functions hand back at most this many characters of a value.
constexpr int kValueBuffer = 10;

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The values are plain digits; Latin-1 keeps any other byte of the file as it was.
    QString text = QString::fromLatin1(file.readAll());
    text.replace(u"\r\n"_s, u"\n"_s);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSectionLine(const QString &line, QString *name)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[') || !trimmed.endsWith(u']'))
        return false;
    *name = trimmed.mid(1, trimmed.size() - 2).trimmed();
    return true;
}

// The key of a "key=value" line, or an empty string for any other line.
QString keyOf(const QString &line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals <= 0 || line.trimmed().startsWith(u';'))
        return {};
    return line.left(equals).trimmed();
}

} // namespace

QString readValue(const QString &path, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QString &line : readLines(path)) {
        QString name;
        if (isSectionLine(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (inSection && keyOf(line).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(line).isEmpty()) {
            QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
            // Values written with quotes by hand come back without them, as the profile functions do.
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            return value.left(kValueBuffer);
        }
    }
    return {};
}

bool writeValues(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values)
{
    QStringList lines = readLines(path);
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (!isSectionLine(lines.at(i), &name))
            continue;
        if (sectionStart >= 0) {
            sectionEnd = i;
            break;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            sectionStart = i;
    }
    if (sectionStart < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u"["_s + section + u"]"_s);
        sectionStart = lines.size() - 1;
        sectionEnd = lines.size();
    }
    for (const auto &[key, value] : values) {
        bool replaced = false;
        for (qsizetype i = sectionStart + 1; i < sectionEnd; ++i) {
            if (keyOf(lines.at(i)).compare(key, Qt::CaseInsensitive) == 0 && !keyOf(lines.at(i)).isEmpty()) {
                lines[i] = key + u'=' + value;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            // New keys go after the section's last non-empty line.
            qsizetype at = sectionEnd;
            while (at > sectionStart + 1 && lines.at(at - 1).trimmed().isEmpty())
                --at;
            lines.insert(at, key + u'=' + value);
            ++sectionEnd;
        }
    }
    return AtomicFile::replace(path, lines.join(u"\r\n"_s).toLatin1() + "\r\n");
}

std::optional<double> toNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Stored read(const QString &path)
{
    const QString section = u"EDITEUR"_s;
    Stored stored;
    const std::optional<double> state = toNumber(readValue(path, section, u"Windows"_s));
    // The state is a 16-bit integer in the file's format: anything else is not a state.
    if (!state || std::round(*state) < -32768 || std::round(*state) > 32767)
        return stored;
    stored.state = int(std::lround(*state));
    if (*stored.state != 0 && *stored.state != 1)
        return stored;
    // Applied in this order, each one stopping the rest when it is not a number.
    std::optional<double> *const targets[] = {&stored.height, &stored.width, &stored.left, &stored.top};
    const QString keys[] = {u"Hauteur"_s, u"Largeur"_s, u"PositionX"_s, u"PositionY"_s};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> value = toNumber(readValue(path, section, keys[i]));
        if (!value)
            break;
        *targets[i] = value;
    }
    return stored;
}

bool write(const QString &path, int state, int height, int width, int left, int top)
{
    QList<std::pair<QString, QString>> values{{u"Windows"_s, QString::number(state)}};
    if (state == 0) {
        values.append({u"Hauteur"_s, QString::number(height)});
        values.append({u"Largeur"_s, QString::number(width)});
        values.append({u"PositionX"_s, QString::number(left)});
        values.append({u"PositionY"_s, QString::number(top)});
    }
    return writeValues(path, u"EDITEUR"_s, values);
}

QRect keepOnScreen(const QRect &window, const QList<QRect> &screenAreas)
{
    if (screenAreas.isEmpty())
        return window;
    const QRect *nearest = nullptr;
    qint64 best = -1;
    for (const QRect &area : screenAreas) {
        const QRect shared = area.intersected(window);
        if (shared.width() >= qMin(100, window.width()) && shared.height() >= qMin(40, window.height()) &&
            shared.top() == qMax(window.top(), area.top()) && window.top() >= area.top())
            return window;
        const QPoint delta = area.center() - window.center();
        const qint64 distance = qint64(delta.x()) * delta.x() + qint64(delta.y()) * delta.y();
        if (!nearest || distance < best) {
            nearest = &area;
            best = distance;
        }
    }
    const QRect &area = *nearest;
    QRect moved = window;
    moved.setWidth(qMin(window.width(), area.width()));
    moved.setHeight(qMin(window.height(), area.height()));
    moved.moveLeft(qBound(area.left(), window.left(), area.right() - moved.width() + 1));
    moved.moveTop(qBound(area.top(), window.top(), area.bottom() - moved.height() + 1));
    return moved;
}

QRect openingGeometry(const QSize &design, int neededWidth, const QRect &available)
{
    QRect window(QPoint(), QSize(qMax(design.width(), neededWidth), design.height()));
    if (available.isEmpty())
        return window;
    window.setSize(window.size().boundedTo(available.size()));
    window.moveTo(available.left() + (available.width() - window.width()) / 2,
                  available.top() + (available.height() - window.height()) / 2);
    return window;
}

bool readSpellChecking(const QString &path)
{
    const std::optional<double> value = toNumber(readValue(path, u"EDITEUR"_s, u"Orthographe"_s));
    return !value || *value != 0;
}

bool writeSpellChecking(const QString &path, bool on)
{
    return writeValues(path, u"EDITEUR"_s, {{u"Orthographe"_s, on ? u"1"_s : u"0"_s}});
}

std::optional<PrintedLine> printedLine(int leftMargin, int rightMargin, double dpi, double textMargin)
{
    const qint64 lineWidth = qint64(kPageWidth) - leftMargin - rightMargin;
    if (lineWidth <= 0)
        return std::nullopt;
    // The wrapping width is whole pixels; the margin around the text takes up the fraction, so
    // the lines are exactly as wide as on paper.
    const double exact = lineWidth * dpi / Twips::kPerInch;
    PrintedLine line;
    line.lineWidth = int(lineWidth);
    line.wrapWidth = int(std::ceil(exact + 2 * textMargin));
    line.documentMargin = (line.wrapWidth - exact) / 2;
    return line;
}

} // namespace EditorGeometry
