#include "ctl/run_ctl.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <pthread.h>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    // SIGINT and SIGTERM end `watch` cleanly: every thread blocks them, and one thread takes them
    // with sigwait and asks the program to stop, outside any signal handler.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    std::stop_source stop;
    std::thread([&stop, endSignals] {
        int signal = 0;
        sigwait(&endSignals, &signal);
        stop.request_stop();
    }).detach();

    const std::vector<std::string> args(argv + 1, argv + argc);
    brenvik::ctl::CtlHooks hooks;
    hooks.stop = stop.get_token();
    const int status = brenvik::ctl::RunCtl(args, std::cout, std::cerr, hooks);
    std::cout.flush();
    // The signal thread may still wait; the process ends without it.
    std::_Exit(status);
}
