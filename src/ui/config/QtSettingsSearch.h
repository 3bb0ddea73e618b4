#pragma once
// The settings search of "Find settings" on a worker thread of its own; the result comes back
// to the window thread through Qt's event queue, so the dialog keeps painting meanwhile.
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "autoconfig/Search.h"
#include "config/FindSettingsPage.h"

namespace uiconfig {

class QtSettingsSearch final : public QObject, public config::SettingsSearch {
    Q_OBJECT
public:
    // delivered runs on the window thread after each result has been handed over.
    explicit QtSettingsSearch(std::function<void()> delivered, QObject* parent = nullptr);
    // Stops a running search and waits for its thread, which sees the stop within a fraction
    // of a second.
    ~QtSettingsSearch() override;

    void Start(const autoconfig::Address& address, Done done) override;
    void Cancel() override;

private:
    void Join();

    std::function<void()> m_delivered;
    autoconfig::SearchOptions m_options = autoconfig::SearchOptions::FromEnvironment();
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::thread m_worker;
};

}  // namespace uiconfig
