#include "dialogs/Dialogs.h"

#include "core/Product.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace Dialogs {
namespace {

QMessageBox::Icon toMessageBoxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class RealBackend final : public Backend
{
public:
    Answer ask(QWidget *parent, const Request &request, QPrinter *printer) override
    {
        Answer answer;
        switch (request.kind) {
        case Request::Kind::Message: {
            QMessageBox box(toMessageBoxIcon(request.icon), request.title, request.text, request.buttons, parent);
            for (const auto &[button, caption] : request.buttonCaptions) {
                if (QAbstractButton *shown = box.button(button))
                    shown->setText(caption);
            }
            if (request.defaultButton != QMessageBox::NoButton)
                box.setDefaultButton(request.defaultButton);
            answer.button = static_cast<QMessageBox::StandardButton>(box.exec());
            answer.accepted = true;
            break;
        }
        case Request::Kind::OpenFile:
            answer.text = QFileDialog::getOpenFileName(parent, request.title, request.directory, request.filter,
                                                       &answer.selectedFilter);
            answer.accepted = !answer.text.isEmpty();
            break;
        case Request::Kind::SaveFile: {
            const QString start = request.initialText.isEmpty() ? request.directory
                                                                : QDir(request.directory).filePath(request.initialText);
            // The question about replacing a file is asked afterwards, once the default suffix is
            // added, so that it names the file that will be written.
            answer.text = QFileDialog::getSaveFileName(parent, request.title, start, request.filter,
                                                       &answer.selectedFilter, QFileDialog::DontConfirmOverwrite);
            answer.accepted = !answer.text.isEmpty();
            break;
        }
        case Request::Kind::Folder:
            answer.text = QFileDialog::getExistingDirectory(parent, request.title, request.directory);
            answer.accepted = !answer.text.isEmpty();
            break;
        case Request::Kind::Font:
            answer.font = QFontDialog::getFont(&answer.accepted, request.font, parent, request.title);
            break;
        case Request::Kind::Color:
            answer.color = QColorDialog::getColor(request.color, parent, request.title);
            answer.accepted = answer.color.isValid();
            break;
        case Request::Kind::Printer: {
            // The dialog picks its printer as soon as it is built: what a cancel must give back.
            const QPrinter::OutputFormat format = printer->outputFormat();
            const QString name = printer->printerName();
            const QString file = printer->outputFileName();
            QPrintDialog dialog(printer, parent);
            dialog.setWindowTitle(request.title);
            // Only the choice of printer and its settings: the letters are printed whole, later.
            dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
            dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
            dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
            if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
                if (QPushButton *confirm = buttons->button(QDialogButtonBox::Ok))
                    confirm->setText(request.acceptLabel);
            }
            answer.accepted = dialog.exec() == QDialog::Accepted;
            if (!answer.accepted) {
                if (format == QPrinter::NativeFormat && !name.isEmpty())
                    printer->setPrinterName(name);
                else
                    printer->setOutputFormat(format);
                printer->setOutputFileName(file);
            }
            break;
        }
        case Request::Kind::PageSetup: {
            QPageSetupDialog dialog(printer, parent);
            answer.accepted = dialog.exec() == QDialog::Accepted;
            break;
        }
        case Request::Kind::Input:
            answer.text = QInputDialog::getText(parent, request.title, request.text, QLineEdit::Normal,
                                                request.initialText, &answer.accepted);
            break;
        }
        return answer;
    }
};

std::shared_ptr<Backend> &currentBackend()
{
    static std::shared_ptr<Backend> backend = std::make_shared<RealBackend>();
    return backend;
}

Answer ask(QWidget *parent, Request request, QPrinter *printer = nullptr)
{
    if (request.title.isEmpty())
        request.title = Product::name();
    return currentBackend()->ask(parent, request, printer);
}

} // namespace

void setBackend(std::shared_ptr<Backend> backend)
{
    currentBackend() = backend ? std::move(backend) : std::make_shared<RealBackend>();
}

QMessageBox::StandardButton message(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                                    Icon icon, const QString &title, QMessageBox::StandardButton defaultButton)
{
    Request request;
    request.kind = Request::Kind::Message;
    request.text = text;
    request.buttons = buttons;
    request.icon = icon;
    request.title = title;
    request.defaultButton = defaultButton;
    return ask(parent, request).button;
}

QMessageBox::StandardButton choose(QWidget *parent, const QString &text,
                                   const QList<std::pair<QMessageBox::StandardButton, QString>> &buttons, Icon icon,
                                   const QString &title, QMessageBox::StandardButton defaultButton)
{
    Request request;
    request.kind = Request::Kind::Message;
    request.text = text;
    request.icon = icon;
    request.title = title;
    request.defaultButton = defaultButton;
    request.buttons = QMessageBox::NoButton;
    for (const auto &[button, caption] : buttons)
        request.buttons |= button;
    request.buttonCaptions = buttons;
    return ask(parent, request).button;
}

QString openFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                     QString *selectedFilter)
{
    Request request;
    request.kind = Request::Kind::OpenFile;
    request.title = title;
    request.directory = directory;
    request.filter = filter;
    const Answer answer = ask(parent, request);
    if (selectedFilter)
        *selectedFilter = answer.selectedFilter;
    return answer.accepted ? answer.text : QString();
}

QString withSuffix(const QString &name, const QString &suffix)
{
    if (suffix.isEmpty() || name.isEmpty() || name.endsWith(u'.' + suffix, Qt::CaseInsensitive))
        return name;
    return name + u'.' + suffix;
}

QString saveFileName(QWidget *parent, const QString &title, const QString &directory, const QString &filter,
                     const QString &proposedName, const QString &defaultSuffix, QString *selectedFilter)
{
    QString folder = directory;
    QString proposed = withSuffix(proposedName, defaultSuffix);
    for (;;) {
        Request request;
        request.kind = Request::Kind::SaveFile;
        request.title = title;
        request.directory = folder;
        request.filter = filter;
        request.initialText = proposed;
        request.defaultSuffix = defaultSuffix;
        const Answer answer = ask(parent, request);
        if (selectedFilter)
            *selectedFilter = answer.selectedFilter;
        if (!answer.accepted || answer.text.isEmpty())
            return QString();
        const QString path = withSuffix(answer.text, defaultSuffix);
        const QFileInfo chosen(path);
        if (!chosen.exists())
            return path;
        const QString question = u"Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?"_s.arg(chosen.fileName());
        if (message(parent, question, QMessageBox::Yes | QMessageBox::No, Icon::Warning, title, QMessageBox::No) ==
            QMessageBox::Yes)
            return path;
        folder = chosen.absolutePath();
        proposed = chosen.fileName();
    }
}

QString existingFolder(QWidget *parent, const QString &title, const QString &directory)
{
    Request request;
    request.kind = Request::Kind::Folder;
    request.title = title;
    request.directory = directory;
    const Answer answer = ask(parent, request);
    return answer.accepted ? answer.text : QString();
}

bool chooseFont(QWidget *parent, QFont *font, const QString &title)
{
    Request request;
    request.kind = Request::Kind::Font;
    request.title = title;
    request.font = *font;
    const Answer answer = ask(parent, request);
    if (answer.accepted)
        *font = answer.font;
    return answer.accepted;
}

bool chooseColor(QWidget *parent, QColor *color, const QString &title)
{
    Request request;
    request.kind = Request::Kind::Color;
    request.title = title;
    request.color = *color;
    const Answer answer = ask(parent, request);
    if (answer.accepted)
        *color = answer.color;
    return answer.accepted;
}

bool setUpPrinter(QWidget *parent, QPrinter *printer)
{
    Request request;
    request.kind = Request::Kind::Printer;
    request.title = u"Configurer l'impression"_s;
    request.acceptLabel = u"OK"_s;
    return ask(parent, request, printer).accepted;
}

bool setUpPage(QWidget *parent, QPrinter *printer)
{
    Request request;
    request.kind = Request::Kind::PageSetup;
    return ask(parent, request, printer).accepted;
}

bool inputText(QWidget *parent, const QString &title, const QString &prompt, QString *text)
{
    Request request;
    request.kind = Request::Kind::Input;
    request.title = title;
    request.text = prompt;
    request.initialText = *text;
    const Answer answer = ask(parent, request);
    if (answer.accepted)
        *text = answer.text;
    return answer.accepted;
}

} // namespace Dialogs
