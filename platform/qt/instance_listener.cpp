#include "platform/qt/instance_listener.h"

#include <QSocketNotifier>

namespace qorvi {

InstanceListener::InstanceListener(InstanceChannel& channel, Filter filter, QObject* parent)
    : QObject(parent), channel_(channel), filter_(std::move(filter)) {
    if (!channel_.listening())
        return;
    listenNotifier_ = new QSocketNotifier(channel_.listenFd(), QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, [this] { acceptClients(); });
}

InstanceListener::~InstanceListener() {
    for (auto& [fd, notifier] : clients_) {
        delete notifier;
        channel_.closeClient(fd);
    }
}

void InstanceListener::acceptClients() {
    for (int fd : channel_.acceptPending()) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        clients_[fd] = notifier;
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readClient(fd); });
    }
}

void InstanceListener::readClient(int fd) {
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return;
    // Disabled while records are handled: opening files may run a nested loop.
    it->second->setEnabled(false);
    bool open = channel_.readClient(fd, [this](const PostedMessage& m) { filter_(m); });
    it = clients_.find(fd);
    if (it == clients_.end())
        return;
    if (open) {
        it->second->setEnabled(true);
    } else {
        it->second->deleteLater();
        clients_.erase(it);
    }
}

} // namespace qorvi
