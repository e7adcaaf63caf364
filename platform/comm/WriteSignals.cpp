#include "platform/comm/WriteSignals.h"

#include <csignal>
#include <mutex>

void IgnoreWriteSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : { SIGPIPE, SIGXFSZ }) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL
                && !(current.sa_flags & SA_SIGINFO)) {
                struct sigaction ignore {};
                ignore.sa_handler = SIG_IGN;
                sigemptyset(&ignore.sa_mask);
                sigaction(signal, &ignore, nullptr);
            }
        }
    });
}
