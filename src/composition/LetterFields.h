#pragma once

#include <QString>

#include <array>

// What the wizard holds for one letter, as plain values: the window hands this snapshot to the
// letter assembly, which never reads a widget.
struct WizardValues
{
    // The sender card.
    QString senderName, senderAddress, senderResidence, senderTown, senderProvince, senderPhone, senderMobile,
        senderQualifier, senderFunction;
    // The recipient card: from the single-mode fields, or from one row of the batch list.
    QString recipientName, recipientAddress, recipientResidence, recipientTown, recipientProvince,
        recipientQualifier, recipientFunction;
    // The references and the body.
    QString dateText, town, object, signature, formulaFirst, formulaSecond, body;
    bool noObject = false;
};

// The thirteen values that replace the template's placeholders, in the order they are replaced.
struct LetterFields
{
    static constexpr int Count = 13;
    static const std::array<QString, Count> &placeholders(); // "#exp1" ... "#ref6"
    // Whether the value is set in bold in the letter: "#exp1", "#dst1", "#ref2", "#ref6".
    static bool isBold(int index);

    std::array<QString, Count> values;

    QString &operator[](int index) { return values[size_t(index)]; }
    const QString &operator[](int index) const { return values[size_t(index)]; }
    // The value of a placeholder by name ("#dst2"); empty for an unknown name.
    QString value(const QString &placeholder) const;
};

// "(x)" when x is not empty, else nothing.
QString Bracketed(const QString &text);

// Composes the thirteen values. batch: the recipient comes from a row of the batch list, in
// which case an empty recipient qualifier is kept as it is; in single mode an empty qualifier
// leaves the form of address and the salutation line empty.
LetterFields Get_Valeurs(const WizardValues &wizard, bool batch);

// The values of the letter last assembled, kept from one assembly to the next.
LetterFields &currentLetterFields();
