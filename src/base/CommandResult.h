#pragma once

#include <QString>

// What a command without a window has to tell the user: nothing (Done), a
// notice, or a failure, with the message text and its title. The window
// shows a notice with the information icon and a failure with the
// exclamation icon; the batch command writes the text to standard error.
struct CommandResult
{
    enum class Status { Done, Notice, Failure };

    Status status = Status::Done;
    QString message;
    QString title = QStringLiteral("Alert:");

    bool done() const { return status == Status::Done; }
    static CommandResult notice(const QString& text) { return { Status::Notice, text }; }
    static CommandResult failure(const QString& text) { return { Status::Failure, text }; }
};
