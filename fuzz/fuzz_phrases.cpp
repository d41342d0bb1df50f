// Fuzz target: any bytes read as a phrase file of the writing assistant give its lists in order,
// whatever the number of lists asked (fewer lists are the first ones of more), each fragment one
// line and never empty, nothing lost in the decoding; and the lists written back read the same.
#include "FuzzFiles.h"
#include "core/PhraseFile.h"

namespace {

constexpr int kLists = 8;

QStringList fragmentsOf(const QList<QStringList> &lists)
{
    QStringList all;
    for (const QStringList &list : lists)
        all += list;
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString file = FuzzFiles::scratchPath(QStringLiteral("phrases.ini"));
    static const QString copy = FuzzFiles::scratchPath(QStringLiteral("copie.ini"));
    FuzzFiles::writeInput(file, data, size);
    QList<QStringList> lists, fewer;
    if (!PhraseFile::read(file, kLists, &lists) || lists.size() != kLists)
        std::abort();
    const int fewerCount = 1 + int(size % kLists);
    if (!PhraseFile::read(file, fewerCount, &fewer) || fewer != lists.mid(0, fewerCount))
        std::abort();
    const QStringList fragments = fragmentsOf(lists);
    for (const QString &fragment : fragments) {
        if (fragment.isEmpty())
            std::abort();
    }
    FuzzFiles::checkOneLine(fragments);
    FuzzFiles::checkNothingLost(data, size, fragments);
    QString error;
    if (!PhraseFile::write(copy, lists, &error))
        std::abort();
    QList<QStringList> again;
    if (!PhraseFile::read(copy, kLists, &again) || again != lists)
        std::abort();
    return 0;
}
