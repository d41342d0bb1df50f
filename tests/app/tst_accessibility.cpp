// Every window of both programs as a screen reader or a voice command meets it: each control a
// user can reach answers to the caption shown for it, and each caption is tied to its field.
#include "TestSupport.h"
#include "about/FrmAbout.h"
#include "app/Wiring.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "conversion/FrmConvert.h"
#include "dialogs/FrmImport.h"
#include "editor/CharacterTable.h"
#include "editor/FrmEditeur.h"
#include "editor/FrmRemplacer.h"
#include "printing/FrmPage.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString caption(QString text)
{
    return text.remove(u'&').trimmed();
}

// Qt's own parts of a control (a box's line edit, a tab bar's arrows) take the control's name.
bool isPartOfAControl(const QWidget *widget)
{
    if (widget->objectName().startsWith(u"qt_"_s))
        return true;
    for (const QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent) ||
            qobject_cast<const QTabBar *>(parent))
            return true;
    }
    return false;
}

// The name assistive technology reads, as Qt gives it: the name set, else a button's text, else
// the text of the label tied to the control.
QString nameOf(const QWidget *control, const QList<QLabel *> &labels)
{
    if (!control->accessibleName().isEmpty())
        return caption(control->accessibleName());
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return caption(button->text());
    for (const QLabel *label : labels) {
        if (label->buddy() == control)
            return caption(label->text());
    }
    return {};
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;

private slots:
    void initTestCase() { wireWindows(); }

    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        EtapeCourante = 0;
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        folder.reset();
    }

    void everyControlAnswersToItsCaption_data()
    {
        QTest::addColumn<std::function<QWidget *()>>("open");
        QTest::newRow("frmMenu") << std::function<QWidget *()>([] {
            Main();
            return static_cast<QWidget *>(FrmMenu::existing());
        });
        QTest::newRow("frmEditeur") << std::function<QWidget *()>([] { return FrmEditeur::instance(); });
        QTest::newRow("frmPage") << std::function<QWidget *()>([] { return FrmPage::instance(); });
        QTest::newRow("frmAssistant") << std::function<QWidget *()>([] {
            Main();
            return static_cast<QWidget *>(FrmAssistant::instance());
        });
        QTest::newRow("frmOptions") << std::function<QWidget *()>([] { return FrmOptions::instance(); });
        QTest::newRow("frmAbout") << std::function<QWidget *()>([] { return FrmAbout::instance(); });
        QTest::newRow("frmCaracteres") << std::function<QWidget *()>([] {
            auto *table = new CharacterTable(FrmEditeur::instance());
            table->setAttribute(Qt::WA_DeleteOnClose);
            return table;
        });
        QTest::newRow("frmRemplacer") << std::function<QWidget *()>([] {
            FrmEditeur *editor = FrmEditeur::instance();
            editor->showReplaceDialog();
            return static_cast<QWidget *>(editor->replaceDialog);
        });
        QTest::newRow("frmImport") << std::function<QWidget *()>([] {
            Main();
            return new FrmImport("Civilit\xE9;Nom;Ville\r\n;Roux;1000 Bourg\r\n", u"contacts.csv"_s,
                                 FrmMenu::existing());
        });
        QTest::newRow("frmConvert") << std::function<QWidget *()>([] { return FrmConvert::instance(); });
    }

    void everyControlAnswersToItsCaption()
    {
        QFETCH(std::function<QWidget *()>, open);
        QWidget *window = open();
        QVERIFY(window);
        const QList<QLabel *> labels = window->findChildren<QLabel *>();
        QList<QWidget *> controls;
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            if (widget->focusPolicy() != Qt::NoFocus && !widget->isWindow() && !isPartOfAControl(widget))
                controls.append(widget);
        }
        QVERIFY(!controls.isEmpty());
        for (const QWidget *control : std::as_const(controls)) {
            const QString name = nameOf(control, labels);
            const QByteArray which = control->metaObject()->className() + QByteArray(" ") +
                                     control->objectName().toUtf8() + " « " + name.toUtf8() + " »";
            QVERIFY2(!name.isEmpty(), which.constData());
            const auto *button = qobject_cast<const QAbstractButton *>(control);
            if (button && !caption(button->text()).isEmpty())
                QVERIFY2(name == caption(button->text()), which.constData());
            for (const QLabel *label : labels) {
                if (label->buddy() == control)
                    QVERIFY2(name == caption(label->text()), which.constData());
            }
        }
        // A label showing a control's name is that control's caption: tied to it, so that
        // assistive technology and its shortcut lead there.
        for (const QLabel *label : labels) {
            QList<QWidget *> named;
            for (QWidget *control : std::as_const(controls)) {
                if (nameOf(control, labels) == caption(label->text()))
                    named.append(control);
            }
            if (!named.isEmpty())
                QVERIFY2(named.contains(label->buddy()), qPrintable(label->text()));
        }
    }
};

QUILLO_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
