// Fuzz target: any bytes read as a contact card, sender or recipient, give exactly the card's
// fields, each one line, nothing lost in the decoding; and the card written back reads the same.
#include "FuzzFiles.h"
#include "core/ContactCard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString card = FuzzFiles::scratchPath(QStringLiteral("fiche.ini"));
    static const QString copy = FuzzFiles::scratchPath(QStringLiteral("copie.ini"));
    FuzzFiles::writeInput(card, data, size);
    for (const ContactCard::Kind kind : {ContactCard::Kind::Sender, ContactCard::Kind::Recipient}) {
        QStringList fields;
        if (!ContactCard::read(card, kind, &fields) || fields.size() != ContactCard::fieldCount(kind))
            std::abort();
        FuzzFiles::checkOneLine(fields);
        FuzzFiles::checkNothingLost(data, size, fields);
        QString error;
        if (!ContactCard::write(copy, kind, fields, &error))
            std::abort();
        QStringList again;
        if (!ContactCard::read(copy, kind, &again) || again != fields)
            std::abort();
    }
    return 0;
}
