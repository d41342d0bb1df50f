#include "batch/ui/BatchProgress.h"

#include "core/Product.h"

#include <QProgressDialog>

using namespace Qt::StringLiterals;

BatchProgress::BatchProgress(QWidget *parent, const QString &text, int total)
{
    if (total <= kThreshold)
        return;
    dialog = std::make_unique<QProgressDialog>(text, u"Annuler"_s, 0, total, parent);
    dialog->setWindowTitle(Product::name());
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
}

BatchProgress::~BatchProgress() = default;

void BatchProgress::setValue(int done)
{
    if (dialog)
        dialog->setValue(done);
}

bool BatchProgress::cancelled() const
{
    return dialog && dialog->wasCanceled();
}
