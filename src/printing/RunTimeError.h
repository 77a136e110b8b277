#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The run-time error that drawing surfaces and picture loading raise: a
// number and a description, as the error reports show them to the user.
// The print job's painters and the calibration test page catch it and hand
// it to their error report; nothing else in the program throws it.
class RunTimeError : public std::exception
{
public:
    // The numbers the program raises.
    enum Number : int {
        Overflow = 6,
        FileNotFound = 53,
        PermissionDenied = 70,
        InvalidPropertyValue = 380,
        InvalidPicture = 481,
        PrinterError = 482,
    };

    RunTimeError(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

    // A printer that cannot start or carry on a document.
    static RunTimeError printerError(const QString& detail = QString());
    // An output file the program will not write (a link another user made).
    static RunTimeError permissionDenied(const QString& reason);
    // A picture file that cannot be read as an image.
    static RunTimeError invalidPicture(const QString& path, const QString& detail = QString());
    // A whole number that does not fit where it has to go.
    static RunTimeError overflow();

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};
