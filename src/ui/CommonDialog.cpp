#include "ui/CommonDialog.h"

#include <QStringList>

CommonDialog::CommonDialog(DialogService& service, QWidget* owner)
    : m_service(service)
    , m_owner(owner)
{
}

QStringList CommonDialog::qtFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const int paren = description.indexOf(QLatin1Char('('));
        if (paren > 0)
            description = description.left(paren).trimmed();
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            // "*.*" means every file on the system the filters were written
            // for; here a name need not contain a dot.
            if (p == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
            } else {
                patterns << p;
                if (p.toUpper() != p)
                    patterns << p.toUpper();
            }
        }
        result << description + QLatin1String(" (") + patterns.join(QLatin1Char(' '))
                + QLatin1Char(')');
    }
    return result;
}

bool CommonDialog::showFile(DialogService::FileMode mode)
{
    DialogService::FileRequest request;
    request.mode = mode;
    request.fileName = m_fileName;
    request.title = m_title;
    request.filters = qtFilters(m_filter);
    request.filterIndex = m_filterIndex - 1;
    request.mustExist = (m_flags & FlagFileMustExist) != 0;
    const std::optional<QString> chosen = m_service.fileDialog(request, m_owner);
    if (!chosen || chosen->isEmpty())
        return false;
    m_fileName = *chosen;
    return true;
}

bool CommonDialog::ShowOpen()
{
    return showFile(DialogService::FileMode::Open);
}

bool CommonDialog::ShowSave()
{
    return showFile(DialogService::FileMode::Save);
}

bool CommonDialog::ShowColor()
{
    const int start = (m_flags & FlagColorStartFromSet) ? m_color : 0;
    const std::optional<int> chosen = m_service.colorDialog(start, m_owner);
    if (!chosen)
        return false;
    m_color = *chosen;
    return true;
}

bool CommonDialog::ShowPrinter(QPrinter* printer)
{
    return m_service.printerDialog(printer, m_owner);
}
