#include "itemdata/LookupService.h"

#include "base/MORNLIB.h"
#include "base/OdbcConnectString.h"
#include "base/OdbcPool.h"
#include "itemdata/DatabaseSettings.h"

#include <QMetaObject>

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

// Lets a worker thread reach the service only while it exists: the service
// clears the pointer under the lock when it goes away.
struct LookupService::Guard
{
    std::mutex mutex;
    LookupService* service = nullptr;
};

namespace {

std::atomic<int> running { 0 };

} // namespace

int LookupService::runningWork()
{
    return running;
}

LookupService::LookupService(QObject* parent)
    : QObject(parent)
    , m_guard(std::make_shared<Guard>())
{
    m_guard->service = this;
}

LookupService::~LookupService()
{
    std::lock_guard<std::mutex> lock(m_guard->mutex);
    m_guard->service = nullptr;
}

quint64 LookupService::run(std::function<void()> work, std::function<void()> done)
{
    const quint64 request = ++m_next;
    m_pending.insert(request);
    const auto finish = [request, done](LookupService* service) {
        // Queued to the service's thread, where a cancel may have come first.
        if (service->m_pending.remove(request) && done)
            done();
    };
    const std::shared_ptr<Guard> guard = m_guard;
    ++running;
    try {
        std::thread([guard, work, finish] {
            work();
            {
                std::lock_guard<std::mutex> lock(guard->mutex);
                if (LookupService* service = guard->service) {
                    QMetaObject::invokeMethod(
                        service, [service, finish] { finish(service); }, Qt::QueuedConnection);
                }
            }
            --running;
        }).detach();
    } catch (const std::system_error&) {
        --running;
        // No thread to be had: the work runs here rather than not at all.
        work();
        QMetaObject::invokeMethod(
            this, [this, finish] { finish(this); }, Qt::QueuedConnection);
    }
    return request;
}

void LookupService::cancel(quint64 request)
{
    m_pending.remove(request);
}

quint64 LookupService::lookUp(
    const QString& sku, const QString& inventoryConnect, const QString& cisConnect)
{
    auto result = std::make_shared<SkuLookup::Result>();
    // The number run() gives this request.
    const quint64 id = m_next + 1;
    return run([=] { *result = SkuLookup::run(sku, inventoryConnect, cisConnect); },
        [this, id, sku, result] { emit finished(id, sku, *result); });
}

quint64 LookupService::warmUp(const QString& inventoryConnect, const QString& cisConnect)
{
    auto states = std::make_shared<std::pair<DatabaseState, DatabaseState>>();
    const auto open = [](const QString& connect, const QString& sql) -> DatabaseState {
        if (MORNLIB::IsBlank(connect))
            return { DatabaseState::NotSet, QString() };
        const OdbcError error = OdbcPool::keepOpen(connect, DatabaseSettings::trialWork(sql));
        if (error.failed())
            return { DatabaseState::Unavailable, OdbcConnectString::masked(error.description) };
        return { DatabaseState::Connected, QString() };
    };
    const QString invSql = DatabaseSettings::trialStatement(DatabaseSettings::Database::Inventory);
    const QString cisSql = DatabaseSettings::trialStatement(DatabaseSettings::Database::Cis);
    const quint64 id = m_next + 1;
    return run(
        [=] {
            states->first = open(inventoryConnect, invSql);
            states->second = open(cisConnect, cisSql);
            // One lookup of a SKU no clerk types, on the kept connections:
            // the server then has the lookup's plan and the index at hand
            // before the first Enter.
            const auto answered = [](const DatabaseState& state, const QString& connect) {
                return state.kind == DatabaseState::Connected ? connect : QString();
            };
            SkuLookup::run(QString(), answered(states->first, inventoryConnect),
                answered(states->second, cisConnect));
        },
        [=] { emit warmedUp(id, inventoryConnect, states->first, cisConnect, states->second); });
}
