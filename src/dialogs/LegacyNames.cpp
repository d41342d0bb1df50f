#include "dialogs/LegacyNames.h"

#include "core/LegacyFileNames.h"
#include "dialogs/Dialogs.h"

using namespace Qt::StringLiterals;

namespace LegacyNames {

void offerRenames(QWidget *parent, const QList<Folder> &folders)
{
    QList<std::pair<QString, QList<LegacyFileNames::Entry>>> found;
    QStringList named;
    for (const Folder &folder : folders) {
        const QList<LegacyFileNames::Entry> entries = LegacyFileNames::find(folder.path, folder.suffixes);
        if (entries.isEmpty())
            continue;
        found.append({folder.path, entries});
        named += LegacyFileNames::describe(folder.path, entries);
    }
    if (named.isEmpty())
        return;
    QString question =
        named.size() == 1 ? u"Ce fichier a un nom écrit dans l'ancien codage de Windows : sous ce nom, il ne peut être "
                            u"ni vu ni ouvert."_s
                          : u"Ces fichiers ont un nom écrit dans l'ancien codage de Windows : sous ce nom, ils ne "
                            u"peuvent être ni vus ni ouverts."_s;
    for (const QString &line : std::as_const(named))
        question += u"\n- "_s + line;
    question += named.size() == 1 ? u"\nVoulez-vous le renommer ainsi ?"_s : u"\nVoulez-vous les renommer ainsi ?"_s;
    if (Dialogs::message(parent, question, QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question) !=
        QMessageBox::Yes)
        return;

    QStringList failures;
    for (const auto &[path, entries] : std::as_const(found))
        LegacyFileNames::renameAll(path, entries, &failures);
    if (!failures.isEmpty())
        Dialogs::message(parent, failures.join(u'\n'), QMessageBox::Ok, Dialogs::Icon::Warning);
}

} // namespace LegacyNames
