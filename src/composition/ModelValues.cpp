#include "composition/ModelValues.h"

#include "core/LetterModel.h"

namespace {

QString filled(const QString &value)
{
    return value.trimmed().isEmpty() ? QString() : value;
}

} // namespace

WizardValues valuesOfModel(const LetterModel &model)
{
    WizardValues w;
    const QStringList &s = model.sender;
    w.senderName = filled(s.value(0));
    w.senderAddress = filled(s.value(1));
    w.senderResidence = filled(s.value(2));
    w.senderTown = filled(s.value(3));
    w.senderProvince = filled(s.value(4));
    w.senderPhone = filled(s.value(5));
    w.senderMobile = filled(s.value(6));
    w.senderQualifier = filled(s.value(7));
    w.senderFunction = filled(s.value(8));
    setRecipient(&w, model.recipient);
    const QStringList &r = model.references;
    w.dateText = filled(r.value(0));
    w.town = filled(r.value(1));
    w.object = filled(r.value(2));
    w.signature = filled(r.value(3));
    w.formulaFirst = filled(r.value(4));
    w.formulaSecond = filled(r.value(5));
    w.body = filled(model.body);
    return w;
}

void setRecipient(WizardValues *values, const QStringList &card)
{
    values->recipientName = filled(card.value(0));
    values->recipientAddress = filled(card.value(1));
    values->recipientResidence = filled(card.value(2));
    values->recipientTown = filled(card.value(3));
    values->recipientProvince = filled(card.value(4));
    values->recipientQualifier = filled(card.value(5));
    values->recipientFunction = filled(card.value(6));
}
