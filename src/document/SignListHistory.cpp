#include "document/SignListHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

// One undo step: changes already made to the list, replayed forwards by
// redo and backwards by undo.
class SignListStep : public QUndoCommand
{
public:
    SignListStep(SignListHistory& history, const QString& text,
        std::vector<SignListChange>&& changes, int rowBefore, int rowAfter)
        : QUndoCommand(text)
        , m_history(history)
        , m_changes(std::move(changes))
        , m_rowBefore(rowBefore)
        , m_rowAfter(rowAfter)
    {
    }

    void redo() override
    {
        // The first redo comes from the push: the command has run already.
        if (m_done) {
            m_history.apply(m_changes, true, m_rowAfter);
        }
        m_done = true;
    }

    void undo() override { m_history.apply(m_changes, false, m_rowBefore); }

private:
    SignListHistory& m_history;
    std::vector<SignListChange> m_changes;
    int m_rowBefore;
    int m_rowAfter;
    bool m_done = false;
};

SignListHistory::SignListHistory(SignListModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_stack(new QUndoStack(this))
{
    m_stack->setUndoLimit(StepLimit);
    m_model.setChangeObserver([this](SignListChange&& change) { record(std::move(change)); });
}

SignListHistory::~SignListHistory()
{
    m_model.setChangeObserver(nullptr);
}

void SignListHistory::begin(const QString& text, int currentRow)
{
    if (m_depth++ > 0)
        return;
    m_text = text;
    m_rowBefore = currentRow;
    m_pending.clear();
}

void SignListHistory::end(int currentRow)
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (m_pending.empty())
        return;
    m_stack->push(new SignListStep(*this, m_text, std::move(m_pending), m_rowBefore, currentRow));
    m_pending.clear();
}

void SignListHistory::record(SignListChange&& change)
{
    if (m_applying)
        return;
    if (m_depth > 0) {
        m_pending.push_back(std::move(change));
        return;
    }
    const int row = change.first;
    std::vector<SignListChange> single;
    single.push_back(std::move(change));
    m_stack->push(new SignListStep(*this, tr("Edit"), std::move(single), row, row));
}

void SignListHistory::apply(const std::vector<SignListChange>& changes, bool forward, int row)
{
    m_applying = true;
    if (forward) {
        for (const SignListChange& c : changes)
            m_model.replaceRows(c.first, int(c.removed.size()), c.inserted);
    } else {
        for (auto it = changes.rbegin(); it != changes.rend(); ++it)
            m_model.replaceRows(it->first, int(it->inserted.size()), it->removed);
    }
    m_applying = false;
    emit rowToShow(row);
}
