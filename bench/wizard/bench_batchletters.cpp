// A batch of 500 selected recipients assembled into 500 editor tabs: the template read and
// filled 500 times, each letter placed in a tab of its own. Reports the resident memory peak.
#include "app/Translations.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/ProgramFolder.h"
#include "dialogs/WindowRegistry.h"
#include "editor/FrmEditeur.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLetters = 500;

QString peakResidentMemory()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return u"inconnu"_s;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    }
    return u"inconnu"_s;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    QTemporaryDir root;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), root.path());
    ProgramFolder::setOverride(root.path());
    Init_Dossiers();
    const QDir folder(DataPaths::recipientsFolder());
    for (int i = 0; i < kLetters; ++i) {
        QFile card(folder.filePath(u"Destinataire %1.ini"_s.arg(i, 3, 10, QChar(u'0'))));
        card.open(QIODevice::WriteOnly);
        card.write("Destinataire " + QByteArray::number(i) +
                   "\r\n12 rue de la R\xE9publique\r\nB\xE2timent C\r\n"
                   "75002 Paris\r\nFrance\r\nMadame\r\nDirectrice\r\n");
    }
    Main();
    FrmMenu *menu = FrmMenu::existing();
    menu->body->setPlainText(QString(u"Je me permets de vous écrire au sujet de notre dossier. "_s).repeated(12));
    menu->recipientMode->setCurrentIndex(1);
    menu->Tab1_Click();
    menu->recipientList->selectAll();

    QElapsedTimer timer;
    timer.start();
    Genere_Lettres(true);
    const qint64 elapsed = timer.elapsed();
    QTextStream out(stdout);
    out << "Lettres : " << FrmEditeur::existing()->letterCount() - 1 << Qt::endl;
    out << "Durée : " << elapsed << " ms" << Qt::endl;
    out << "Mémoire résidente maximale : " << peakResidentMemory() << Qt::endl;
    WindowRegistry::unloadAll();
    ProgramFolder::setOverride(QString());
    return 0;
}
