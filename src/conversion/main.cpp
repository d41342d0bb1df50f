#include "Product.h"
#include "Translations.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installFrench(app);
    // The import of the previous version's data comes with its own window.
    QWidget window;
    window.setObjectName(u"frmConvert"_s);
    window.setWindowTitle(u"Conversion des fichiers"_s);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(u" En attente de conversion..."_s, &window));
    window.resize(480, 160);
    window.show();
    return QApplication::exec();
}
