// Fuzz target: any bytes read as a letter model are either refused with a message, or give the
// model's 9 + 7 + 6 values, each one line, nothing lost in the decoding; and a model written
// back reads the same.
#include "FuzzFiles.h"
#include "core/LetterModel.h"

namespace {

QStringList valuesOf(const LetterModel &model)
{
    return model.sender + model.recipient + model.references + QStringList{model.body};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString file = FuzzFiles::scratchPath(QStringLiteral("modele.txt"));
    static const QString copy = FuzzFiles::scratchPath(QStringLiteral("copie.txt"));
    FuzzFiles::writeInput(file, data, size);
    LetterModel model;
    QString error;
    if (!LetterModel::read(file, &model, &error)) {
        if (error.isEmpty())
            std::abort(); // the user is always told why
        return 0;
    }
    if (model.sender.size() != 9 || model.recipient.size() != 7 || model.references.size() != 6)
        std::abort();
    FuzzFiles::checkOneLine(model.sender + model.recipient + model.references);
    FuzzFiles::checkNothingLost(data, size, valuesOf(model));
    // The writer may refuse what a model cannot hold (a value that is only "#"), with a message.
    if (!model.write(copy, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    LetterModel again;
    if (!LetterModel::read(copy, &again, &error) || valuesOf(again) != valuesOf(model))
        std::abort();
    return 0;
}
