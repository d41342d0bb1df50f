#include "composition/LetterFields.h"

#include "composition/FormOfAddress.h"
#include "core/ProperCase.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {
enum Field { Exp1, Exp2, Exp3, Exp4, Dst1, Dst2, Dst3, Ref1, Ref2, Ref3, Ref4, Ref5, Ref6 };
const QString kLineBreak = u"\r\n"_s;
} // namespace

const std::array<QString, LetterFields::Count> &LetterFields::placeholders()
{
    static const std::array<QString, Count> names = {
        u"#exp1"_s, u"#exp2"_s, u"#exp3"_s, u"#exp4"_s, u"#dst1"_s, u"#dst2"_s, u"#dst3"_s,
        u"#ref1"_s, u"#ref2"_s, u"#ref3"_s, u"#ref4"_s, u"#ref5"_s, u"#ref6"_s,
    };
    return names;
}

bool LetterFields::isBold(int index)
{
    return index == Exp1 || index == Dst1 || index == Ref2 || index == Ref6;
}

QString LetterFields::value(const QString &placeholder) const
{
    for (int i = 0; i < Count; ++i) {
        if (placeholders()[size_t(i)].compare(placeholder, Qt::CaseInsensitive) == 0)
            return values[size_t(i)];
    }
    return QString();
}

QString Bracketed(const QString &text)
{
    return text.isEmpty() ? QString() : u'(' + text + u')';
}

namespace {

// The parts that are not empty (spaces only count as empty), joined by the separator: an address
// block has no dangling comma and no empty line for a field left empty.
QString joinFilled(std::initializer_list<QString> parts, const QString &separator)
{
    QStringList filled;
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            filled.append(part);
    }
    return filled.join(separator);
}

} // namespace

LetterFields composeLetterFields(const WizardValues &w, bool batch)
{
    using FormOfAddress::Use;
    LetterFields f;
    f[Exp1] = joinFilled({w.senderQualifier, w.senderName}, u" "_s);
    f[Exp2] = w.senderFunction;
    f[Exp3] = joinFilled({joinFilled({w.senderAddress, w.senderResidence}, u", "_s),
                          joinFilled({w.senderTown, Bracketed(w.senderProvince.trimmed())}, u" "_s)},
                         kLineBreak);
    f[Exp4] = (w.senderPhone.trimmed().isEmpty() ? QString() : w.senderPhone + kLineBreak) + w.senderMobile;

    f[Dst1] = FormOfAddress::compose(w.recipientQualifier, w.recipientFunction, Use::AddressBlock);
    f[Dst2] = w.recipientName;
    f[Dst3] = joinFilled({w.recipientAddress, w.recipientResidence,
                          joinFilled({w.recipientTown, Bracketed(properCase(w.recipientProvince.trimmed()))}, u" "_s)},
                         kLineBreak);

    // The salutation and the formula write the qualifier in full and, without one, address the
    // reader as "Madame, Monsieur".
    const QString salutation = FormOfAddress::compose(w.recipientQualifier, w.recipientFunction, Use::Salutation);
    f[Ref1] = w.town + u", "_s + w.dateText;
    f[Ref2] = u"Objet : "_s + w.object;
    f[Ref3] = salutation + u',';
    f[Ref4] = w.body;
    f[Ref6] = w.signature;
    if (!w.formulaFirst.trimmed().isEmpty() || !w.formulaSecond.trimmed().isEmpty())
        f[Ref5] = w.formulaFirst.trimmed() + u", "_s + salutation + u", "_s + w.formulaSecond.trimmed();

    // A single letter whose recipient has no qualifier has no form-of-address line in its block.
    if (!batch && w.recipientQualifier.trimmed().isEmpty())
        f[Dst1].clear();
    if (w.town.trimmed().isEmpty())
        f[Ref1] = w.dateText;
    if (w.noObject)
        f[Ref2].clear();
    return f;
}

LetterFields &currentLetterFields()
{
    static LetterFields fields;
    return fields;
}
