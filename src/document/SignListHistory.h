#pragma once

#include "document/SignListModel.h"

#include <QObject>
#include <QString>

#include <vector>

class QUndoStack;

// Undo and redo for the sign list. Every change the list reports is
// recorded; the changes between begin() and end() form one step named after
// the command that made them (a change outside such a bracket is a step of
// its own). Undoing a step puts the rows back as they were and asks the
// window to show the row that was current before the command; redoing it
// shows the row that was current after it.
class SignListHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepLimit = 100;

    explicit SignListHistory(SignListModel& model, QObject* parent = nullptr);
    ~SignListHistory() override;

    QUndoStack* stack() const { return m_stack; }

    void begin(const QString& text, int currentRow);
    void end(int currentRow);

signals:
    // After an undo or redo: the grid row to make current and load.
    void rowToShow(int row);

private:
    friend class SignListStep;
    void record(SignListChange&& change);
    void apply(const std::vector<SignListChange>& changes, bool forward, int row);

    SignListModel& m_model;
    QUndoStack* m_stack;
    int m_depth = 0;
    bool m_applying = false;
    QString m_text;
    int m_rowBefore = 1;
    std::vector<SignListChange> m_pending;
};
