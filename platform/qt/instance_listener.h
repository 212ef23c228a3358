#pragma once

// Delivers the records posted to this instance's channel to a message
// filter, from the Qt event loop.

#include "platform/instance_channel.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace qorvi {

class InstanceListener : public QObject {
    Q_OBJECT
public:
    using Filter = std::function<bool(const PostedMessage&)>;
    // `channel` must be listening and outlive the listener.
    InstanceListener(InstanceChannel& channel, Filter filter, QObject* parent = nullptr);
    ~InstanceListener() override;

private:
    void acceptClients();
    void readClient(int fd);

    InstanceChannel& channel_;
    Filter filter_;
    QSocketNotifier* listenNotifier_ = nullptr;
    std::map<int, QSocketNotifier*> clients_;
};

} // namespace qorvi
