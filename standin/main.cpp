// yejian-standin: the local stand-in of the 叶笺 service (see --help).

#include "standin/standin_server.h"

#include <pthread.h>
#include <signal.h>

#include <iostream>

using namespace yejian::standin;

int main(int argc, char** argv)
{
    CommandLine command;
    try {
        command = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "yejian-standin: " << error.what() << std::endl;
        return 2;
    }
    if (command.action == CommandLineAction::show_help) {
        std::cout << usage_text();
        return 0;
    }
    if (command.action == CommandLineAction::show_version) {
        std::cout << "yejian-standin 0.1" << std::endl;
        return 0;
    }

    // The signals are taken by sigwait below; every thread started from here on has them blocked.
    // A shell starts background jobs with SIGINT ignored, and an ignored signal never reaches
    // sigwait: take both back to their defaults first.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

    try {
        StandinServer server(command.options);
        server.start();
        const std::string& address = command.options.bind_address;
        std::cout << "yejian-standin: listening on https://" << address << ":" << server.https_port()
                  << "/ (sign-in) and http://" << address << ":" << server.http_port() << "/\n"
                  << "yejian-standin: https_port=" << server.https_port() << " http_port=" << server.http_port()
                  << std::endl;
        int received = 0;
        sigwait(&stop_signals, &received);
        std::cout << "yejian-standin: stopping on signal " << received << std::endl;
        server.stop();
    } catch (const StartError& error) {
        std::cerr << "yejian-standin: " << error.what() << std::endl;
        return 1;
    }
    std::cout << "yejian-standin: stopped" << std::endl;
    return 0;
}
