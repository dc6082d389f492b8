#pragma once

#include <QFuture>
#include <QList>
#include <QtConcurrent/QtConcurrentMap>

#include <type_traits>

// Maps a table's pages on every core a batch at a time, in order: one batch is mapped while the
// caller reads the next and writes the results of the one before, so that neither the cores nor
// the file wait on each other, and memory holds about three batches.
template<typename Item, typename Map> class BatchMap
{
public:
    using Result = std::invoke_result_t<Map, const Item &>;

    explicit BatchMap(Map map)
        : m_map(std::move(map))
    { }
    // A batch still running when the caller gives up (a fault) is finished first, as it may use
    // what the caller's map refers to.
    ~BatchMap()
    {
        m_running.cancel();
        m_running.waitForFinished();
    }
    BatchMap(const BatchMap &) = delete;
    BatchMap &operator=(const BatchMap &) = delete;

    // Starts on items, if any, and gives the results of the batch started before, in its order.
    QList<Result> next(QList<Item> items)
    {
        QList<Result> done;
        if (m_started) {
            m_running.waitForFinished();
            done = m_running.results();
        }
        m_started = !items.isEmpty();
        if (m_started)
            m_running = QtConcurrent::mapped(std::move(items), m_map);
        return done;
    }

private:
    Map m_map;
    QFuture<Result> m_running;
    bool m_started = false;
};
