#include "dialogs/Buttons.h"

#include <QPushButton>

QPushButton *makeButton(const QString &objectName, const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}
