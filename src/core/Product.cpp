#include "core/Product.h"

#include "core/Version.h"

using namespace Qt::StringLiterals;

namespace Product {
QString name()
{
    return u"Quillane"_s;
}

QString webPage()
{
    return u"https://www.quillane.fr/"_s;
}

QString versionText()
{
    return QString::number(QUILLO_VERSION_MAJOR) + u'.' + QString::number(QUILLO_VERSION_MINOR) + u'.' +
           QString::number(QUILLO_VERSION_PATCH);
}
} // namespace Product
