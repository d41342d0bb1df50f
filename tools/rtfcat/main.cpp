// rtfcat: reads an RTF file and prints its text, its RTF as the program writes it, or Qt's HTML.
#include "richtext/RichText.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void printErr(const QString &message)
{
    const QByteArray bytes = message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// A paragraph's text without the object-replacement character that stands for each picture or
// embedded object: plain text holds only text.
QString textOf(const QTextBlock &block)
{
    return block.text().remove(QChar::ObjectReplacementCharacter);
}

// One line per paragraph, and one per table cell: a cell's paragraphs are joined by spaces,
// and a table inside a cell gives its own cells' lines.
void appendFrame(const QTextFrame *frame, QString &out);

void appendTable(const QTextTable *table, QString &out)
{
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            QString cellText;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto *nested = qobject_cast<const QTextTable *>(it.currentFrame())) {
                    if (!cellText.isEmpty())
                        out += cellText + u'\n';
                    cellText.clear();
                    appendTable(nested, out);
                } else if (!it.currentFrame()) {
                    const QString text = textOf(it.currentBlock());
                    if (!text.isEmpty())
                        cellText += (cellText.isEmpty() ? QString() : u" "_s) + text;
                }
            }
            out += cellText + u'\n';
        }
    }
}

void appendFrame(const QTextFrame *frame, QString &out)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *child = it.currentFrame()) {
            if (const auto *table = qobject_cast<const QTextTable *>(child))
                appendTable(table, out);
            else
                appendFrame(child, out);
        } else {
            out += textOf(it.currentBlock()) + u'\n';
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // No window is ever shown: the offscreen platform spares the need for a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3 ||
        (arguments.at(1) != u"text"_s && arguments.at(1) != u"rtf"_s && arguments.at(1) != u"html"_s)) {
        printErr(u"Usage : rtfcat text|rtf|html FICHIER"_s);
        return 2;
    }
    const QString mode = arguments.at(1);
    QFile file(arguments.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        printErr(u"Impossible d'ouvrir le fichier « %1 » : %2"_s.arg(arguments.at(2), file.errorString()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    QTextDocument document;
    const RichText::ReadResult result = RichText::readRtf(bytes, &document);
    if (!result.ok) {
        printErr(result.error);
        return 1;
    }
    for (const QString &warning : result.warnings)
        printErr(warning);

    QByteArray output;
    if (mode == u"text"_s) {
        QString text;
        appendFrame(document.rootFrame(), text);
        text.replace(QChar(0x2028), u'\n');
        output = text.toUtf8();
    } else if (mode == u"rtf"_s) {
        output = RichText::writeRtf(&document);
    } else {
        output = document.toHtml().toUtf8();
    }
    std::fwrite(output.constData(), 1, size_t(output.size()), stdout);
    return 0;
}
