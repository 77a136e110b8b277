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
// shows the row that was current after it. The history keeps at most
// StepLimit steps and, whatever their number, drops its oldest steps while
// the rows it holds take more than its memory budget (the newest step is
// always kept, so the last command can be taken back).
class SignListHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepLimit = 100;
    static constexpr qint64 MemoryBudgetBytes = qint64(256) * 1024 * 1024;

    explicit SignListHistory(SignListModel& model, QObject* parent = nullptr);
    ~SignListHistory() override;

    QUndoStack* stack() const { return m_stack; }

    void begin(const QString& text, int currentRow);
    void end(int currentRow);

    // The memory the rows of the kept steps take, as estimated; and the
    // budget (tests set a small one).
    qint64 heldBytes() const;
    void setMemoryBudget(qint64 bytes) { m_budgetBytes = bytes; }

signals:
    // After an undo or redo: the grid row to make current and load.
    void rowToShow(int row);

private:
    friend class SignListStep;
    void record(SignListChange&& change);
    void push(
        const QString& text, std::vector<SignListChange>&& changes, int rowBefore, int rowAfter);
    // Drops the oldest steps while the history is over its budget.
    void keepWithinBudget();
    void apply(const std::vector<SignListChange>& changes, bool forward, int row);

    SignListModel& m_model;
    QUndoStack* m_stack;
    int m_depth = 0;
    bool m_applying = false;
    QString m_text;
    int m_rowBefore = 1;
    std::vector<SignListChange> m_pending;
    qint64 m_budgetBytes = MemoryBudgetBytes;
};
