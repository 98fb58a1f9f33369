#include "Platform/Linux/TerminationSignals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t terminationSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

bool TerminationSignals::blockInEveryThread() {
    const sigset_t set = terminationSet();
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (!blockInEveryThread()) {
        return;
    }
    const sigset_t set = terminationSet();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

TerminationSignals::~TerminationSignals() {
    notifier_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        const sigset_t set = terminationSet();
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

void TerminationSignals::readSignal() {
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        emit terminationRequested(static_cast<int>(info.ssi_signo));
    }
}
