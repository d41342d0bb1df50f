#include "LetterFields.h"

#include "ProperCase.h"

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

LetterFields Get_Valeurs(const WizardValues &w, bool batch)
{
    LetterFields f;
    f[Exp1] = w.senderQualifier + u' ' + w.senderName;
    f[Exp2] = w.senderFunction;
    f[Exp3] =
        w.senderAddress + u", "_s + w.senderResidence + kLineBreak + w.senderTown + u' ' + Bracketed(w.senderProvince);
    f[Exp4] = (w.senderPhone.isEmpty() ? QString() : w.senderPhone + kLineBreak) + w.senderMobile;

    f[Dst1] = w.recipientQualifier + u" le "_s + w.recipientFunction;
    f[Dst2] = w.recipientName;
    f[Dst3] = w.recipientAddress + kLineBreak + w.recipientResidence + kLineBreak + w.recipientTown + u' ' +
              Bracketed(properCase(w.recipientProvince));

    f[Ref1] = w.town + u", "_s + w.dateText;
    f[Ref2] = u"Objet : "_s + w.object;
    f[Ref3] = f[Dst1] + u',';
    f[Ref4] = w.body;
    f[Ref6] = w.signature;
    f[Ref5] = w.formulaFirst + u", "_s + f[Dst1] + u", "_s + w.formulaSecond;

    if (!batch && w.recipientQualifier.isEmpty()) {
        f[Dst1].clear();
        f[Ref3].clear();
    }
    if (w.town.isEmpty())
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
