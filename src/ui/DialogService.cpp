#include "ui/DialogService.h"

#include "ui/PrintRangeDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

QMessageBox::Icon toQtIcon(DialogService::Icon icon)
{
    switch (icon) {
    case DialogService::Icon::Information:
        return QMessageBox::Information;
    case DialogService::Icon::Exclamation:
        return QMessageBox::Warning;
    case DialogService::Icon::Critical:
        return QMessageBox::Critical;
    case DialogService::Icon::Question:
        return QMessageBox::Question;
    case DialogService::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQtButton(DialogService::Answer answer)
{
    switch (answer) {
    case DialogService::Answer::Cancel:
        return QMessageBox::Cancel;
    case DialogService::Answer::Yes:
        return QMessageBox::Yes;
    case DialogService::Answer::No:
        return QMessageBox::No;
    case DialogService::Answer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The button Enter presses when the caller names none: the first one, as
// Qt's message box chooses it.
DialogService::Answer firstButtonOf(DialogService::Buttons buttons)
{
    return buttons == DialogService::Buttons::YesNo ? DialogService::Answer::Yes
                                                    : DialogService::Answer::Ok;
}

// A message box that can be put against the right edge of a screen area.
// It is moved once its size is known, before it first appears.
class PlacedMessageBox : public QMessageBox
{
public:
    PlacedMessageBox(DialogService::Icon icon, const QString& title, const QString& text,
        DialogService::Buttons buttons, DialogService::Answer defaultButton, QWidget* parent)
        : QMessageBox(toQtIcon(icon), title, text, QMessageBox::NoButton, parent)
    {
        switch (buttons) {
        case DialogService::Buttons::Ok:
            setStandardButtons(QMessageBox::Ok);
            break;
        case DialogService::Buttons::OkCancel:
            setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            setEscapeButton(QMessageBox::Cancel);
            break;
        case DialogService::Buttons::YesNo:
            setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            setEscapeButton(QMessageBox::No);
            break;
        }
        setDefaultButton(toQtButton(defaultButton));
    }

    QRect area;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        if (!area.isEmpty())
            move(area.right() + 1 - frameGeometry().width(),
                area.center().y() - frameGeometry().height() / 2);
    }
};

template <typename T> std::optional<T> takeNext(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = queue.front();
    queue.pop_front();
    return value;
}

} // namespace

DialogService& DialogService::instance()
{
    static DialogService service;
    return service;
}

void DialogService::setScripted(bool scripted)
{
    m_scripted = scripted;
}

void DialogService::reset()
{
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
    m_colors.clear();
    m_printers.clear();
    m_ranges.clear();
    m_rangeRequests.clear();
    m_messages.clear();
    m_inputRequests.clear();
    m_fileRequests.clear();
    m_colorRequests = 0;
    m_printerRequests = 0;
}

DialogService::Answer DialogService::message(
    const QString& text, Buttons buttons, Icon icon, const QString& title, QWidget* parent)
{
    return message(text, buttons, icon, title, firstButtonOf(buttons), parent);
}

DialogService::Answer DialogService::message(const QString& text, Buttons buttons, Icon icon,
    const QString& title, Answer defaultButton, QWidget* parent)
{
    const QRect area = m_nextArea;
    m_nextArea = QRect();
    m_messages.append(Message { text, title, icon, buttons, defaultButton, area });
    // Scripted with nothing queued, the first button is taken, whatever
    // the default: a test that wants the safe answer queues it.
    if (m_scripted)
        return takeNext(m_answers).value_or(firstButtonOf(buttons));

    PlacedMessageBox box(icon, title, text, buttons, defaultButton, parent);
    box.area = area;
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

QString DialogService::inputBox(
    const QString& prompt, const QString& title, const QString& defaultText, QWidget* parent)
{
    m_inputRequests.append(InputRequest { prompt, title, defaultText });
    if (m_scripted)
        return takeNext(m_inputs).value_or(QString());

    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

std::optional<QString> DialogService::fileDialog(const FileRequest& request, QWidget* parent)
{
    m_fileRequests.append(request);
    if (m_scripted)
        return takeNext(m_files).value_or(std::nullopt);

    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(
        request.mode == FileMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == FileMode::Save
            ? QFileDialog::AnyFile
            : (request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    // The save dialog does not ask before overwriting.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<int> DialogService::colorDialog(int startColor, QWidget* parent)
{
    ++m_colorRequests;
    if (m_scripted)
        return takeNext(m_colors).value_or(std::nullopt);

    const QColor start(startColor & 0xff, (startColor >> 8) & 0xff, (startColor >> 16) & 0xff);
    const QColor chosen = QColorDialog::getColor(start, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen.red() + 256 * chosen.green() + 65536 * chosen.blue();
}

bool DialogService::printerDialog(QPrinter* printer, QWidget* parent)
{
    ++m_printerRequests;
    if (m_scripted)
        return takeNext(m_printers).value_or(false);

    return makePrinterDialog(printer, parent)->exec() == QDialog::Accepted;
}

std::unique_ptr<QDialog> DialogService::makePrinterDialog(QPrinter* printer, QWidget* parent)
{
    auto dialog = std::make_unique<QPrintDialog>(printer, parent);
    dialog->setWindowTitle(QObject::tr("Printer Setup"));
    dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
    // The dialog only chooses the printer; nothing prints when it closes.
    for (QDialogButtonBox* buttons : dialog->findChildren<QDialogButtonBox*>()) {
        if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok))
            accept->setText(QObject::tr("OK"));
    }
    return dialog;
}

QSize DialogService::messageSize(
    const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    PlacedMessageBox box(icon, title, text, buttons, firstButtonOf(buttons), nullptr);
    box.adjustSize();
    return box.frameGeometry().size();
}

std::optional<PrintRange> DialogService::printRangeDialog(
    const PrintRangeRequest& request, QWidget* parent)
{
    m_rangeRequests.append(request);
    if (m_scripted) {
        if (m_ranges.empty())
            return request.initial;
        const ScriptedRange next = m_ranges.front();
        m_ranges.pop_front();
        if (!next.accept)
            return std::nullopt;
        return next.range;
    }

    PrintRangeDialog dialog(request.title, request.signsPerPage, request.signs,
        request.selectedSigns, request.initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.range();
}
