#include "TestSupport.h"
#include "about/FrmAbout.h"
#include "core/Version.h"

#include <QLabel>

using namespace Qt::StringLiterals;

class TestFrmAbout : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(QuilloTest::closeAllWindows().isEmpty()); }

    void showsNameVersionAndLink()
    {
        FrmAbout *about = FrmAbout::instance();
        QCOMPARE(FrmAbout::instance(), about); // one window per process
        QCOMPARE(about->versionLabel->text(), u"v "_s + QStringLiteral(QUILLO_VERSION_STRING));
        QVERIFY(about->linkLabel->text().contains(u"href=\"https://"_s));
        QVERIFY(about->linkLabel->textInteractionFlags() & Qt::LinksAccessibleByKeyboard);
    }
};

QUILLO_TEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
