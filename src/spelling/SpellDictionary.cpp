#include "spelling/SpellDictionary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell/hunspell.hxx>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Words longer than this are not asked about: Hunspell refuses them anyway, and its suggestion
// search grows with the length.
constexpr qsizetype kLongestWord = 100;

// The encodings French dictionaries come in. Latin-9 is written out here because Qt only knows
// it through ICU, which a build may lack.
enum class Charset { Utf8, Latin1, Latin9, Other };

Charset charsetOf(const QString &name)
{
    const QString n = name.toUpper().remove(u'-').remove(u'_');
    if (n == u"UTF8")
        return Charset::Utf8;
    if (n == u"ISO88591" || n == u"LATIN1")
        return Charset::Latin1;
    if (n == u"ISO885915" || n == u"LATIN9")
        return Charset::Latin9;
    return Charset::Other;
}

// The eight places where Latin-9 differs from Latin-1.
constexpr struct
{
    char16_t unicode;
    unsigned char byte;
} kLatin9[] = {{0x20AC, 0xA4}, {0x0160, 0xA6}, {0x0161, 0xA8}, {0x017D, 0xB4},
               {0x017E, 0xB8}, {0x0152, 0xBC}, {0x0153, 0xBD}, {0x0178, 0xBE}};

int latin1Byte(char16_t u)
{
    return u <= 0xFF ? int(u) : -1;
}

int latin9Byte(char16_t u)
{
    for (const auto &pair : kLatin9) {
        if (pair.unicode == u)
            return pair.byte;
        // The Latin-1 characters whose places Latin-9 took (¤ ¦ ¨ ´ ¸ ¼ ½ ¾) are not in it.
        if (pair.byte == u)
            return -1;
    }
    return latin1Byte(u);
}

} // namespace

struct SpellDictionary::Private
{
    std::unique_ptr<Hunspell> hunspell;
    QString affixPath;
    QString encodingName;
    Charset charset = Charset::Utf8;
    // Only for the encodings other than the three above (through ICU when Qt has it).
    QByteArray codecName;

    // The word in the dictionary's encoding; nothing when a character has no place there.
    std::optional<std::string> encode(const QString &word) const
    {
        switch (charset) {
        case Charset::Utf8:
            return word.toStdString();
        case Charset::Latin1:
        case Charset::Latin9: {
            std::string bytes;
            bytes.reserve(size_t(word.size()));
            for (QChar c : word) {
                const int byte = charset == Charset::Latin9 ? latin9Byte(c.unicode()) : latin1Byte(c.unicode());
                if (byte < 0)
                    return std::nullopt;
                bytes += char(byte);
            }
            return bytes;
        }
        case Charset::Other: {
            QStringEncoder encoder(codecName.constData(), QStringConverter::Flag::Stateless);
            const QByteArray bytes = encoder.encode(word);
            if (encoder.hasError())
                return std::nullopt;
            return bytes.toStdString();
        }
        }
        return std::nullopt;
    }

    QString decode(const std::string &bytes) const
    {
        switch (charset) {
        case Charset::Utf8:
            return QString::fromStdString(bytes);
        case Charset::Latin1:
            return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        case Charset::Latin9: {
            QString text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
            for (QChar &c : text) {
                for (const auto &pair : kLatin9) {
                    if (c.unicode() == pair.byte)
                        c = QChar(pair.unicode);
                }
            }
            return text;
        }
        case Charset::Other: {
            QStringDecoder decoder(codecName.constData(), QStringConverter::Flag::Stateless);
            return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        }
        }
        return QString();
    }
};

SpellDictionary::SpellDictionary(std::unique_ptr<Private> d) : d(std::move(d)) {}

SpellDictionary::~SpellDictionary() = default;

std::unique_ptr<SpellDictionary> SpellDictionary::load(const QString &affixPath, QString *error)
{
    const QFileInfo affix(affixPath);
    const QString wordsPath = affix.dir().filePath(affix.completeBaseName() + u".dic"_s);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return std::unique_ptr<SpellDictionary>();
    };
    for (const QString &path : {affixPath, wordsPath}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return fail(file.exists()
                            ? u"Le dictionnaire « %1 » ne peut pas être lu (%2)."_s.arg(QDir::toNativeSeparators(path),
                                                                                        file.errorString())
                            : u"Le dictionnaire « %1 » est introuvable."_s.arg(QDir::toNativeSeparators(path)));
        }
    }

    auto d = std::make_unique<Private>();
    d->affixPath = affixPath;
    d->hunspell =
        std::make_unique<Hunspell>(QFile::encodeName(affixPath).constData(), QFile::encodeName(wordsPath).constData());
    d->encodingName = QString::fromStdString(d->hunspell->get_dict_encoding());
    d->charset = charsetOf(d->encodingName);
    if (d->charset == Charset::Other) {
        // Hunspell writes "ISO8859-5" where the registries say "ISO-8859-5".
        QString name = d->encodingName;
        if (name.startsWith(u"ISO8859", Qt::CaseInsensitive))
            name.insert(3, u'-');
        d->codecName = name.toLatin1();
        if (!QStringEncoder(d->codecName.constData()).isValid()) {
            return fail(
                u"Le dictionnaire « %1 » est écrit dans un codage que ce programme ne sait pas lire (%2)."_s.arg(
                    QDir::toNativeSeparators(affixPath), d->encodingName));
        }
    }
    return std::unique_ptr<SpellDictionary>(new SpellDictionary(std::move(d)));
}

QStringList SpellDictionary::systemFolders()
{
    // Hunspell's own variable, then the XDG data folders (read directly: the standard paths of
    // a test run point elsewhere, and the system's dictionaries are the same for a test).
    QStringList folders = qEnvironmentVariable("DICPATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    QStringList bases;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + u"/.local/share"_s;
    bases << dataHome;
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = u"/usr/local/share:/usr/share"_s;
    bases << dataDirs.split(u':', Qt::SkipEmptyParts);
    for (const QString &base : std::as_const(bases)) {
        folders << base + u"/hunspell"_s << base + u"/myspell"_s << base + u"/myspell/dicts"_s;
    }
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + u"/hunspell"_s;
    folders.removeDuplicates();
    return folders;
}

QString SpellDictionary::findFrench(const QStringList &folders)
{
    for (const QString &name : {u"fr_FR"_s, u"fr"_s}) {
        for (const QString &folder : folders) {
            const QDir dir(folder);
            const QString affix = dir.filePath(name + u".aff"_s);
            if (QFileInfo(affix).isReadable() && QFileInfo(dir.filePath(name + u".dic"_s)).isReadable())
                return affix;
        }
    }
    return QString();
}

QString SpellDictionary::affixPath() const
{
    return d->affixPath;
}

QString SpellDictionary::encoding() const
{
    return d->encodingName;
}

bool SpellDictionary::isCorrect(const QString &word)
{
    if (word.isEmpty() || word.size() > kLongestWord)
        return false;
    const std::optional<std::string> bytes = d->encode(word);
    if (bytes && d->hunspell->spell(*bytes))
        return true;
    // Dictionaries write their elisions with one apostrophe or the other; the text may use
    // either.
    QString other = word;
    if (word.contains(u'\''))
        other.replace(u'\'', QChar(0x2019));
    else if (word.contains(QChar(0x2019)))
        other.replace(QChar(0x2019), u'\'');
    else
        return false;
    const std::optional<std::string> otherBytes = d->encode(other);
    return otherBytes && d->hunspell->spell(*otherBytes);
}

QStringList SpellDictionary::suggestions(const QString &word, int maximum)
{
    QStringList found;
    if (word.isEmpty() || word.size() > kLongestWord || maximum <= 0)
        return found;
    const std::optional<std::string> bytes = d->encode(word);
    if (!bytes)
        return found;
    for (const std::string &suggestion : d->hunspell->suggest(*bytes)) {
        const QString text = d->decode(suggestion);
        if (!text.isEmpty() && !found.contains(text))
            found << text;
        if (found.size() == maximum)
            break;
    }
    return found;
}

void SpellDictionary::addWord(const QString &word)
{
    if (const std::optional<std::string> bytes = d->encode(word))
        d->hunspell->add(*bytes);
}
