#include "document/SignListHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <memory>

namespace {

// The memory a row takes: the row itself and each text's characters with
// the string's own header. Texts shared with the list are counted too, so
// the estimate errs on the large side.
qint64 rowBytes(const SignRow& row)
{
    qint64 bytes = qint64(sizeof(SignRow));
    for (const QString& field : row.fields) {
        if (!field.isNull())
            bytes += qint64(sizeof(QChar)) * field.capacity() + 32;
    }
    return bytes;
}

qint64 changesBytes(const std::vector<SignListChange>& changes)
{
    qint64 bytes = 0;
    for (const SignListChange& change : changes) {
        bytes += qint64(sizeof(SignListChange));
        for (const SignRow& row : change.removed)
            bytes += rowBytes(row);
        for (const SignRow& row : change.inserted)
            bytes += rowBytes(row);
    }
    return bytes;
}

} // namespace

// One undo step: changes already made to the list, replayed forwards by
// redo and backwards by undo.
class SignListStep : public QUndoCommand
{
public:
    using Changes = std::shared_ptr<const std::vector<SignListChange>>;

    SignListStep(SignListHistory& history, const QString& text, Changes changes, qint64 bytes,
        int rowBefore, int rowAfter)
        : QUndoCommand(text)
        , m_history(history)
        , m_changes(std::move(changes))
        , m_bytes(bytes)
        , m_rowBefore(rowBefore)
        , m_rowAfter(rowAfter)
    {
    }

    void redo() override
    {
        // The first redo comes from the push: the command has run already.
        if (m_done) {
            m_history.apply(*m_changes, true, m_rowAfter);
        }
        m_done = true;
    }

    void undo() override { m_history.apply(*m_changes, false, m_rowBefore); }

    // The same step, to be pushed again when older ones are dropped.
    SignListStep* copy() const
    {
        return new SignListStep(m_history, text(), m_changes, m_bytes, m_rowBefore, m_rowAfter);
    }
    qint64 bytes() const { return m_bytes; }

private:
    SignListHistory& m_history;
    Changes m_changes;
    qint64 m_bytes;
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
    push(m_text, std::move(m_pending), m_rowBefore, currentRow);
    m_pending.clear();
}

void SignListHistory::push(
    const QString& text, std::vector<SignListChange>&& changes, int rowBefore, int rowAfter)
{
    const qint64 bytes = changesBytes(changes);
    m_stack->push(new SignListStep(*this, text,
        std::make_shared<const std::vector<SignListChange>>(std::move(changes)), bytes, rowBefore,
        rowAfter));
    keepWithinBudget();
}

qint64 SignListHistory::heldBytes() const
{
    qint64 bytes = 0;
    for (int i = 0; i < m_stack->count(); ++i)
        bytes += static_cast<const SignListStep*>(m_stack->command(i))->bytes();
    return bytes;
}

void SignListHistory::keepWithinBudget()
{
    // Right after a push the newest step is the last one and there is
    // nothing to redo. Keep the newest steps that fit, and always the last.
    const int count = m_stack->count();
    qint64 kept = 0;
    int first = count;
    while (first > 0) {
        const qint64 bytes = static_cast<const SignListStep*>(m_stack->command(first - 1))->bytes();
        if (first < count && kept + bytes > m_budgetBytes)
            break;
        kept += bytes;
        --first;
    }
    if (first == 0)
        return;
    // The undo stack cannot drop its oldest commands by itself: it is built
    // again from the kept steps, which share their rows with the old ones.
    std::vector<SignListStep*> steps;
    for (int i = first; i < count; ++i)
        steps.push_back(static_cast<const SignListStep*>(m_stack->command(i))->copy());
    m_stack->clear();
    for (SignListStep* step : steps)
        m_stack->push(step);
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
    push(tr("Edit"), std::move(single), row, row);
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
