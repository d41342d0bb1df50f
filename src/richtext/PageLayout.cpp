#include "richtext/PageLayout.h"

#include <QTextDocument>
#include <QVariant>

namespace {
constexpr const char *kProperty = "quilloPageLayout";
}

PageLayout PageLayout::fromDocument(const QTextDocument *document)
{
    PageLayout layout;
    if (!document)
        return layout;
    const QList<QVariant> values = document->property(kProperty).toList();
    if (values.size() != 6)
        return layout;
    layout.paperWidth = values.at(0).toInt();
    layout.paperHeight = values.at(1).toInt();
    layout.marginLeft = values.at(2).toInt();
    layout.marginRight = values.at(3).toInt();
    layout.marginTop = values.at(4).toInt();
    layout.marginBottom = values.at(5).toInt();
    return layout;
}

bool PageLayout::isStoredOn(const QTextDocument *document)
{
    return document && document->property(kProperty).isValid();
}

void PageLayout::storeOn(QTextDocument *document) const
{
    if (!document)
        return;
    document->setProperty(kProperty,
                          QList<QVariant>{paperWidth, paperHeight, marginLeft, marginRight, marginTop, marginBottom});
}
