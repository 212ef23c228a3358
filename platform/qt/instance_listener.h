#pragma once

// Delivers the records posted to this instance's channel to a message
// filter, from the Qt event loop. It keeps the channel's bounds: a silent
// connection goes after the idle time-out, the quietest one makes room when
// all places are taken, and taking connections pauses while the process has
// no descriptor left.

#include "platform/instance_channel.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace qorvi {

class InstanceListener : public QObject {
    Q_OBJECT
public:
    using Filter = std::function<bool(const PostedMessage&)>;
    // `channel` must be listening and outlive the listener.
    InstanceListener(InstanceChannel& channel, Filter filter, QObject* parent = nullptr);
    ~InstanceListener() override;

    static constexpr int kBackOffMs = 500;
    static constexpr int kIdleCheckMs = 1000;

private:
    void acceptClients();
    void readClient(int fd);
    void dropClient(int fd);
    void dropIdleClients();

    InstanceChannel& channel_;
    Filter filter_;
    QSocketNotifier* listenNotifier_ = nullptr;
    QTimer* idleTimer_ = nullptr;
    std::map<int, QSocketNotifier*> clients_;
};

} // namespace qorvi
