#include "ui/config/QtSettingsSearch.h"

#include <QMetaObject>

namespace uiconfig {

QtSettingsSearch::QtSettingsSearch(std::function<void()> delivered, QObject* parent)
    : QObject(parent), m_delivered(std::move(delivered)) {}

QtSettingsSearch::~QtSettingsSearch() {
    Cancel();
    Join();
}

void QtSettingsSearch::Join() {
    if (m_worker.joinable())
        m_worker.join();
}

void QtSettingsSearch::Start(const autoconfig::Address& address, Done done) {
    Cancel();
    // A cancelled search ends within a fraction of a second.
    Join();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stop = stop;
    m_worker = std::thread([this, address, options = m_options, stop, done = std::move(done)] {
        std::optional<autoconfig::Found> found;
        try {
            found = autoconfig::FindSettings(address, options, *stop);
        } catch (const std::exception&) {
            // Out of memory or a thread that could not start: nothing found.
            found.reset();
        }
        // Queued to this object: dropped by Qt if the object is gone, ignored once cancelled.
        QMetaObject::invokeMethod(
            this,
            [this, stop, done, found] {
                if (*stop)
                    return;
                done(found);
                m_delivered();
            },
            Qt::QueuedConnection);
    });
}

void QtSettingsSearch::Cancel() {
    if (m_stop)
        *m_stop = true;
}

}  // namespace uiconfig
