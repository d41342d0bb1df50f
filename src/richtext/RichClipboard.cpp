#include "richtext/RichClipboard.h"

#include "richtext/RichText.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QUrl>
#include <QVariant>

#include <atomic>

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

bool RichClipboard::canInsert(const QMimeData *mime)
{
    return mime && (hasRichText(mime) || mime->hasText());
}

bool RichClipboard::insert(const QMimeData *mime, QTextCursor &cursor)
{
    if (!mime || cursor.isNull())
        return false;
    const QByteArray rtfData = rtf(mime);
    if (!rtfData.isEmpty() && insertRtf(cursor, rtfData))
        return true;
    if (mime->hasText()) {
        cursor.insertText(mime->text());
        return true;
    }
    return false;
}

bool RichClipboard::insertRtf(QTextCursor &cursor, const QByteArray &rtf)
{
    QTextDocument *target = cursor.document();
    if (!target)
        return false;
    QTextDocument pasted;
    pasted.setDefaultFont(target->defaultFont());
    const RichText::ReadResult read = RichText::readRtf(rtf, &pasted);
    if (!read.ok && pasted.isEmpty())
        return false;
    QTextCursor renamer(&pasted);
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QVariant resource = pasted.resource(QTextDocument::ImageResource, QUrl(image.name()));
            const QString name = newImageName();
            target->addResource(QTextDocument::ImageResource, QUrl(name), resource);
            image.setName(name);
            renamer.setPosition(fragment.position());
            renamer.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            renamer.setCharFormat(image);
        }
    }
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    return true;
}

QString RichClipboard::newImageName()
{
    static std::atomic<int> counter = 0;
    return u"quillo-image:%1"_s.arg(++counter);
}
