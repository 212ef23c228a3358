#include "platform/qt/instance_listener.h"

#include <QSocketNotifier>
#include <QTimer>

namespace qorvi {

InstanceListener::InstanceListener(InstanceChannel& channel, Filter filter, QObject* parent)
    : QObject(parent), channel_(channel), filter_(std::move(filter)) {
    if (!channel_.listening())
        return;
    listenNotifier_ = new QSocketNotifier(channel_.listenFd(), QSocketNotifier::Read, this);
    connect(listenNotifier_, &QSocketNotifier::activated, this, [this] { acceptClients(); });
    idleTimer_ = new QTimer(this);
    idleTimer_->setInterval(kIdleCheckMs);
    connect(idleTimer_, &QTimer::timeout, this, [this] { dropIdleClients(); });
}

InstanceListener::~InstanceListener() {
    for (auto& [fd, notifier] : clients_) {
        delete notifier;
        channel_.closeClient(fd);
    }
}

void InstanceListener::acceptClients() {
    for (;;) {
        InstanceChannel::Accepted accepted = channel_.acceptPending();
        for (int fd : accepted.clients) {
            auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            clients_[fd] = notifier;
            connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readClient(fd); });
        }
        if (accepted.backOff) {
            // The queued connection stays readable; without a pause the
            // notifier would fire again at once, for as long as it lasts.
            listenNotifier_->setEnabled(false);
            QTimer::singleShot(kBackOffMs, this, [this] { listenNotifier_->setEnabled(true); });
            break;
        }
        if (!accepted.full)
            break;
        dropClient(channel_.clientToMakeRoom());
    }
    if (!clients_.empty() && !idleTimer_->isActive())
        idleTimer_->start();
}

void InstanceListener::dropClient(int fd) {
    auto it = clients_.find(fd);
    if (it != clients_.end()) {
        // The notifier goes before its descriptor, which the next accept may reuse.
        it->second->setEnabled(false);
        it->second->deleteLater();
        clients_.erase(it);
    }
    channel_.closeClient(fd);
}

void InstanceListener::dropIdleClients() {
    for (int fd : channel_.idleClients())
        dropClient(fd);
    if (clients_.empty())
        idleTimer_->stop();
}

void InstanceListener::readClient(int fd) {
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return;
    // Disabled while records are handled: a filter may run a nested loop.
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
