#pragma once

#include <QDialog>

class QLabel;

// The about box: the product's name, its version and a link to its web page.
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    static FrmAbout *instance();
    static FrmAbout *existing();

    QLabel *nameLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *linkLabel = nullptr;

private:
    FrmAbout();
};
