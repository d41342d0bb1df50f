#include "about/FrmAbout.h"

#include "core/Product.h"
#include "dialogs/WindowRegistry.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
const QString kFormName = u"frmAbout"_s;
}

FrmAbout *FrmAbout::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmAbout;
    WindowRegistry::add(kFormName, window);
    return window;
}

FrmAbout *FrmAbout::existing()
{
    return qobject_cast<FrmAbout *>(WindowRegistry::find(kFormName));
}

FrmAbout::FrmAbout()
{
    setObjectName(kFormName);
    setWindowTitle(u"A propos de "_s + Product::name());
    auto *layout = new QVBoxLayout(this);

    nameLabel = new QLabel(Product::name(), this);
    nameLabel->setObjectName(u"nameLabel"_s);
    QFont big = nameLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    nameLabel->setFont(big);
    nameLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(nameLabel);

    auto *purpose = new QLabel(u"Assistant à la création et à la rédaction de lettres type."_s, this);
    purpose->setAlignment(Qt::AlignCenter);
    layout->addWidget(purpose);

    versionLabel = new QLabel(u"v "_s + Product::versionText(), this);
    versionLabel->setObjectName(u"versionLabel"_s);
    versionLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(versionLabel);

    linkLabel = new QLabel(u"<a href=\"%1\">%1</a>"_s.arg(Product::webPage()), this);
    linkLabel->setObjectName(u"linkLabel"_s);
    linkLabel->setAlignment(Qt::AlignCenter);
    linkLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    linkLabel->setAccessibleName(u"Site web de "_s + Product::name());
    connect(linkLabel, &QLabel::linkActivated, this,
            [](const QString &link) { QDesktopServices::openUrl(QUrl(link)); });
    layout->addWidget(linkLabel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}
