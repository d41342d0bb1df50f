#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>

class QTextDocument;

// Reads an RTF document into a QTextDocument: text in every code page, character and paragraph
// formats, lists, tables, pictures, hyperlinks, page size and margins. Headers and footers are
// read with the same care into documents of their own beside the body (HeadersFooters), their
// page numbers and dates kept as fields; footnotes and comments are left out. The reader makes one pass over the bytes
// with an explicit stack, never recurses, and holds every count an input could inflate to a limit, so no file can crash
// it or make it run for ever.
class RtfReader
{
public:
    struct Limits
    {
        qsizetype maxInputBytes = 256 * 1024 * 1024;
        int maxGroupDepth = 10000;
        qsizetype maxPictureBytes = 20 * 1024 * 1024;
        qsizetype maxTotalPictureBytes = 128 * 1024 * 1024;
        int maxTableEntries = 32767; // fonts, colours, lists
        int maxCellsPerRow = 63;
        int maxNestedTables = 16;
        qsizetype maxOutputCharacters = 50 * 1000 * 1000;
        int deadlineMilliseconds = 10000;
    };

    struct Result
    {
        bool ok = true;
        QString error;        // French, for the user; empty when ok
        QStringList warnings; // French: what could not be kept
    };

    explicit RtfReader(QTextDocument *document);
    ~RtfReader();
    RtfReader(const RtfReader &) = delete;
    RtfReader &operator=(const RtfReader &) = delete;

    void setLimits(const Limits &limits);
    // Replaces the document's content by the document in input. When the result is not ok,
    // the document holds what could be read before the fault.
    Result read(QByteArrayView input);

private:
    class Private;
    std::unique_ptr<Private> d;
};
