// The benchmarks' SMTP sink as a program of its own, so that other clients
// (Python's smtplib, say) can be measured against the very same peer.
//   smtp_sink [PORT]   prints the port, then serves until stdin ends or a signal
#include "SmtpSink.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char **argv)
{
    try {
        SmtpSink sink(argc > 1 ? static_cast<std::uint16_t>(std::atoi(argv[1])) : 0);
        std::printf("%u\n", unsigned(sink.Port()));
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        std::printf("%ld messages\n", sink.Messages());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
