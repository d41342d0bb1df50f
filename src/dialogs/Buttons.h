#pragma once

#include <QString>

class QPushButton;
class QWidget;

// A push button of the program's windows: named for tests and assistive technology, with its
// tooltip, and never a default button, because Enter belongs to the fields (it adds an entry to
// a list, or validates a typed value) and must not press a button behind the user's back.
QPushButton *makeButton(const QString &objectName, const QString &text, const QString &tip = QString(),
                        QWidget *parent = nullptr);
