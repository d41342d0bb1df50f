// Fuzz target: any bytes given to the RTF reader must neither crash it, nor make it hang, nor
// leave a document that the writer and the reader cannot take again.
#include "richtext/RichCase.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

namespace {
QGuiApplication *application = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    (void)argc;
    (void)argv;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int fakeArgc = 1;
    static char name[] = "fuzz_rtf";
    static char *fakeArgv[] = {name, nullptr};
    application = new QGuiApplication(fakeArgc, fakeArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Most inputs are made to start like RTF, so that the fuzzer spends its time inside the reader.
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!input.isEmpty() && (input.at(0) & 1) && !input.startsWith("{\\rtf"))
        input.prepend("{\\rtf1\\ansi ");
    QTextDocument document;
    RtfReader reader(&document);
    RtfReader::Limits limits;
    limits.deadlineMilliseconds = 20000;
    limits.maxOutputCharacters = 2 * 1000 * 1000;
    reader.setLimits(limits);
    const RtfReader::Result result = reader.read(input);
    if (!result.ok)
        return 0;
    const QByteArray written = RichText::writeRtf(&document);
    QTextDocument again;
    if (!RichText::readRtf(written, &again).ok)
        std::abort(); // what we write we must be able to read
    if (again.toPlainText() != document.toPlainText())
        std::abort();
    RichCase::toUpper(&again, 0, again.characterCount());
    return 0;
}
