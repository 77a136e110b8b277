#include "ui/DialogService.h"

#include "ui/PrintRangeDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

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

// A scripted dialog with nothing queued takes the first button.
DialogService::Answer firstButton(DialogService::Buttons buttons)
{
    return buttons == DialogService::Buttons::YesNo ? DialogService::Answer::Yes
                                                    : DialogService::Answer::Ok;
}

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
    m_messages.append(Message { text, title, icon, buttons });
    if (m_scripted)
        return takeNext(m_answers).value_or(firstButton(buttons));

    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::NoButton, parent);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
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

    QPrintDialog dialog(printer, parent);
    dialog.setWindowTitle(QObject::tr("Printer Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
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
