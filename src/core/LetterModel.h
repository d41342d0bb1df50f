#pragma once

#include <QString>
#include <QStringList>

// A letter model: everything the wizard holds for one letter, in a text file (Windows-1252,
// CR LF). Three groups of lines, each followed by a line "#": the sender card (9 lines), the
// recipient card (7), the references (date text, town, object, signature, the formula's two
// parts: 6); then the body, one file line per body line.
//
// Readers drop every line that is exactly "#", wherever it stands, and number the rest; so no
// value and no body line may be exactly "#": the writer refuses them instead of writing a file
// that would read back shifted.
struct LetterModel
{
    QStringList sender;     // 9 values
    QStringList recipient;  // 7 values
    QStringList references; // 6 values
    QString body;           // lines separated by CR LF

    // Reads a model; false with a French message naming the file when it cannot be read, has
    // fewer than 22 value lines, or lacks the "#" line after value 9, 16 or 22. *model is changed
    // only on success.
    static bool read(const QString &path, LetterModel *model, QString *error);
    // Writes the model, replacing the file whole; false with a French message (naming the field
    // when a value is exactly "#").
    bool write(const QString &path, QString *error) const;
};
