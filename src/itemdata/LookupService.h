#pragma once

#include "itemdata/DatabaseState.h"
#include "itemdata/SkuLookup.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

// Runs SKU lookups and other database work off the thread of the object
// that owns the service (the window's), each on a thread of its own, and
// hands the outcome back on the owner's thread. Each database's part ends
// within the pool's deadline, so a lookup reports within two deadlines at
// most; a request may be cancelled, after which its outcome is dropped. The
// service does not wait for running work when it goes away: their outcomes
// are then dropped, and the pool closes their connections.
//
// Requests are numbered, so that many may run at once (a list looked up row
// by row) and their outcomes told apart.
class LookupService : public QObject
{
    Q_OBJECT

public:
    explicit LookupService(QObject* parent = nullptr);
    ~LookupService() override;

    // Looks the SKU up in the two databases (a blank string: not used);
    // finished() tells the outcome. Returns the request's number.
    quint64 lookUp(const QString& sku, const QString& inventoryConnect, const QString& cisConnect);

    // Opens one connection to each set database and keeps it open for the
    // pool's lifetime, proving each table with a statement that returns no
    // row, then runs one lookup on those that answered, so that the first
    // real one finds everything ready; warmedUp() tells what each database
    // showed.
    quint64 warmUp(const QString& inventoryConnect, const QString& cisConnect);

    // Runs any work off this thread and calls `done` on it afterwards,
    // unless cancelled or the service is gone by then.
    quint64 run(std::function<void()> work, std::function<void()> done);

    // Drops the outcome of a request that has not reported yet.
    void cancel(quint64 request);
    // How many requests have not reported yet.
    int pending() const { return m_pending.size(); }
    // How many threads of any service are running work right now; the
    // program does not wait for them at exit.
    static int runningWork();

signals:
    void finished(quint64 request, const QString& sku, const SkuLookup::Result& result);
    void warmedUp(quint64 request, const QString& inventoryConnect, const DatabaseState& inventory,
        const QString& cisConnect, const DatabaseState& cis);

private:
    struct Guard;
    std::shared_ptr<Guard> m_guard;
    quint64 m_next = 0;
    QSet<quint64> m_pending;
};
