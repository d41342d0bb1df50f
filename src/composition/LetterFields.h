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
    QString recipientName, recipientAddress, recipientResidence, recipientTown, recipientProvince, recipientQualifier,
        recipientFunction;
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

// Composes the thirteen values. The form of address follows FormOfAddress: the address block's
// line ("#dst1") as typed, the salutation ("#ref3") and the formula ("#ref5") with the qualifier
// in full, or "Madame, Monsieur" without a qualifier. batch: the recipient comes from a row of the
// batch list; in single mode a recipient without a qualifier has no form-of-address line in the
// address block. Fields left empty (or spaces only) leave no separator behind in the address
// blocks "#exp1", "#exp3" and "#dst3"; "#ref5" is empty when both formula parts are.
LetterFields composeLetterFields(const WizardValues &wizard, bool batch);

// The values of the letter last assembled, kept from one assembly to the next.
LetterFields &currentLetterFields();
