#include "richtext/RichClipboard.h"

#include "richtext/RichText.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QUrl>
#include <QVariant>

using namespace Qt::StringLiterals;

QStringList RichClipboard::rtfMimeTypes()
{
    return {u"text/rtf"_s, u"application/rtf"_s, u"text/richtext"_s,
            u"application/x-qt-windows-mime;value=\"Rich Text Format\""_s};
}

void RichClipboard::setRtf(QMimeData *mime, const QByteArray &rtf, const QString &plainText)
{
    if (!mime)
        return;
    for (const QString &type : rtfMimeTypes())
        mime->setData(type, rtf);
    mime->setText(plainText);
}

void RichClipboard::setRange(QMimeData *mime, const QTextDocument *document, int from, int to)
{
    if (!mime || !document)
        return;
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    const int last = qMax(0, document->characterCount() - 1);
    cursor.setPosition(qBound(0, qMin(from, to), last));
    cursor.setPosition(qBound(0, qMax(from, to), last), QTextCursor::KeepAnchor);
    QString text = cursor.selection().toPlainText();
    text.replace(QChar(0x2028), u'\n');
    text.remove(QChar::ObjectReplacementCharacter);
    setRtf(mime, RichText::writeRtf(document, from, to), text);
}

QByteArray RichClipboard::rtf(const QMimeData *mime)
{
    if (!mime)
        return {};
    for (const QString &type : rtfMimeTypes()) {
        if (mime->hasFormat(type)) {
            const QByteArray data = mime->data(type);
            if (RichText::looksLikeRtf(data))
                return data;
        }
    }
    return {};
}

bool RichClipboard::hasRichText(const QMimeData *mime)
{
    return !rtf(mime).isEmpty();
}

bool RichClipboard::insert(const QMimeData *mime, QTextCursor &cursor)
{
    if (!mime || cursor.isNull())
        return false;
    const QByteArray rtfData = rtf(mime);
    if (!rtfData.isEmpty()) {
        QTextDocument pasted;
        if (cursor.document())
            pasted.setDefaultFont(cursor.document()->defaultFont());
        const RichText::ReadResult result = RichText::readRtf(rtfData, &pasted);
        if (result.ok || !pasted.isEmpty()) {
            // Pictures are resources of the document they were read into: carry them over.
            if (QTextDocument *target = cursor.document()) {
                for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next()) {
                    for (auto it = block.begin(); !it.atEnd(); ++it) {
                        const QTextCharFormat format = it.fragment().charFormat();
                        if (!format.isImageFormat())
                            continue;
                        const QUrl name(format.toImageFormat().name());
                        const QVariant image = pasted.resource(QTextDocument::ImageResource, name);
                        if (image.isValid())
                            target->addResource(QTextDocument::ImageResource, name, image);
                    }
                }
            }
            cursor.insertFragment(QTextDocumentFragment(&pasted));
            return true;
        }
    }
    if (mime->hasHtml()) {
        cursor.insertFragment(QTextDocumentFragment::fromHtml(mime->html()));
        return true;
    }
    if (mime->hasText()) {
        cursor.insertText(mime->text());
        return true;
    }
    return false;
}
