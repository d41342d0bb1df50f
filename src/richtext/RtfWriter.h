#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument as RTF that the common word processors read back the same: every
// character beyond ASCII as \uN with a Windows-1252 fallback, one braced entry per font, a
// colour table whose first entry is "automatic", \pard\plain at each paragraph, tables as rows of
// cells, lists with their list table and a marker for readers without lists, pictures as PNG,
// hyperlinks as fields, the page size and margins (A4 with 2.5 cm margins by default), and the
// headers and footers attached to the document (HeadersFooters), their page numbers as fields.
class RtfWriter
{
public:
    // resources: the document whose images the pictures name, when it is not document itself
    // (a copied range lives in a document of its own).
    explicit RtfWriter(const QTextDocument *document, const QTextDocument *resources = nullptr);
    ~RtfWriter();
    RtfWriter(const RtfWriter &) = delete;
    RtfWriter &operator=(const RtfWriter &) = delete;

    QByteArray write();

private:
    class Private;
    Private *d;
};
