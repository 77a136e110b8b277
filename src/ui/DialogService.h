#pragma once

#include "printing/PrintRange.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// Every message box, input box and common dialog (file, colour, printer) of
// the program goes through this one service. In normal use it shows the
// real dialog. Tests switch it to scripted mode: nothing is ever shown, the
// next answers come from queues the test fills, and every request is
// recorded so that the test can read back what the user would have seen.
class DialogService
{
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message
    {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        // The button Enter presses: what the box offered as its default.
        Answer defaultButton = Answer::Ok;
        // Where on the screen the box was placed (see placeNextMessage);
        // empty when it was shown over its parent.
        QRect area;
    };

    struct InputRequest
    {
        QString prompt;
        QString title;
        QString defaultText;
    };

    enum class FileMode { Open, Save };
    struct FileRequest
    {
        FileMode mode = FileMode::Open;
        QString fileName; // initial file name
        QString title;
        QStringList filters; // Qt name filters, e.g. "Jpeg Files (*.jpg)"
        int filterIndex = 0; // 0-based index into filters
        bool mustExist = false;
    };

    // What the print range question offers: the command's title, the
    // format's cells per sheet, the signs of the whole list and of the
    // selected rows, and the choice to start from.
    struct PrintRangeRequest
    {
        QString title;
        int signsPerPage = 4;
        int signs = 0;
        int selectedSigns = 0;
        PrintRange initial;
    };

    // The process-wide service.
    static DialogService& instance();

    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title,
        QWidget* parent = nullptr);
    // The same with the button Enter presses named: a question whose Yes
    // (or Ok) would replace or delete data passes No (or Cancel), which is
    // then also the Escape button.
    Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title,
        Answer defaultButton, QWidget* parent = nullptr);
    // The typed text, or "" when the user cancels.
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText,
        QWidget* parent = nullptr);
    // The chosen path, or nothing on cancel.
    std::optional<QString> fileDialog(const FileRequest& request, QWidget* parent = nullptr);
    // The chosen colour as red + 256 * green + 65536 * blue, or nothing on cancel.
    std::optional<int> colorDialog(int startColor, QWidget* parent = nullptr);
    // Printer setup on the given printer; false on cancel (the printer is then unchanged).
    bool printerDialog(QPrinter* printer, QWidget* parent = nullptr);
    // The first cell, the pages and the rows to print, or nothing on cancel.
    // Scripted with nothing queued, the request's starting choice is taken.
    std::optional<PrintRange> printRangeDialog(
        const PrintRangeRequest& request, QWidget* parent = nullptr);

    // The next message box is shown against the right edge of this screen
    // area, centred top to bottom, instead of over its parent: it then
    // leaves the rest of the screen (a preview) uncovered.
    void placeNextMessage(const QRect& area) { m_nextArea = area; }
    // The size a message box with this content takes on screen.
    static QSize messageSize(const QString& text, Buttons buttons, Icon icon, const QString& title);
    // The printer setup dialog as printerDialog shows it.
    static std::unique_ptr<QDialog> makePrinterDialog(QPrinter* printer, QWidget* parent);

    // --- scripting for tests ---
    void setScripted(bool scripted);
    bool isScripted() const { return m_scripted; }
    void queueAnswer(Answer answer) { m_answers.push_back(answer); }
    void queueInput(const QString& text) { m_inputs.push_back(text); }
    void queueFile(const std::optional<QString>& path) { m_files.push_back(path); }
    void queueColor(const std::optional<int>& color) { m_colors.push_back(color); }
    void queuePrinter(bool accept) { m_printers.push_back(accept); }
    // The next print range question: this choice, or cancelled when nothing.
    void queuePrintRange(const std::optional<PrintRange>& range)
    {
        m_ranges.push_back({ range.has_value(), range.value_or(PrintRange()) });
    }

    const QList<Message>& messages() const { return m_messages; }
    const QList<InputRequest>& inputRequests() const { return m_inputRequests; }
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    int colorRequests() const { return m_colorRequests; }
    int printerRequests() const { return m_printerRequests; }
    const QList<PrintRangeRequest>& printRangeRequests() const { return m_rangeRequests; }
    // Forget what was recorded and queued.
    void reset();

private:
    DialogService() = default;

    bool m_scripted = false;
    std::deque<Answer> m_answers;
    std::deque<QString> m_inputs;
    std::deque<std::optional<QString>> m_files;
    std::deque<std::optional<int>> m_colors;
    std::deque<bool> m_printers;
    struct ScriptedRange
    {
        bool accept = true;
        PrintRange range;
    };
    std::deque<ScriptedRange> m_ranges;
    QList<PrintRangeRequest> m_rangeRequests;
    QList<Message> m_messages;
    QList<InputRequest> m_inputRequests;
    QList<FileRequest> m_fileRequests;
    int m_colorRequests = 0;
    int m_printerRequests = 0;
    QRect m_nextArea;
};
