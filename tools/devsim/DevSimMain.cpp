// tavrin-devsim: a serial device on a pseudo-terminal, for trying the program without a
// receiver or a sounder.
//
//   tavrin-devsim --link /tmp/gnss --demo gnss --epoch-ms 1000
//   tavrin-devsim --link /tmp/sounder --script soundings.txt --baud 9600 --loop
//
// Map the link to a port number in the settings file ([SERIAL_PORTS] COM1=/tmp/gnss) and
// start acquisition.

#include "tools/devsim/DeviceScript.h"
#include "tools/devsim/PseudoTerminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) {
    stopRequested = true;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: tavrin-devsim --link PATH (--script FILE | --demo gnss|sounder)\n"
                 "                     [--epochs N] [--epoch-ms MS | --baud RATE]\n"
                 "                     [--repeat N | --loop] [--line-end crlf|lf|cr]\n"
                 "                     [--wait-ms MS] [--capture FILE] [--drop-unread]\n"
                 "  --link      where to put the link to the program's end of the terminal\n"
                 "  --script    device lines, one per line; a blank line ends an epoch\n"
                 "  --demo      a generated receiver (GGA, RMC, VTG, HDT) or sounder (DPT)\n"
                 "  --epochs    epochs the demo generates (default 3600)\n"
                 "  --epoch-ms  one epoch every MS milliseconds (default 1000)\n"
                 "  --baud      send byte by byte as fast as a line at RATE baud would\n"
                 "  --repeat    play the script N times (default 1); --loop: until stopped\n"
                 "  --wait-ms   wait before playing, so the program can open its end\n"
                 "  --capture   append what the program writes (corrections) to FILE\n"
                 "  --drop-unread  play on while the program does not read (not started yet,\n"
                 "              stopped): what it does not take is lost, as on a serial line\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string link, scriptPath, demo, lineEnd = "crlf", capturePath;
    int epochs = 3600, repeat = 1, waitMs = 0;
    PlayPace pace;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        auto number = [&]() {
            const std::string text = value();
            char* end = nullptr;
            const long parsed = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end || parsed < 0 || parsed > 100'000'000) {
                std::fprintf(stderr, "tavrin-devsim: %s needs a number, not \"%s\"\n",
                             option.c_str(), text.c_str());
                std::exit(2);
            }
            return static_cast<int>(parsed);
        };
        if (option == "--link")
            link = value();
        else if (option == "--script")
            scriptPath = value();
        else if (option == "--demo")
            demo = value();
        else if (option == "--epochs")
            epochs = number();
        else if (option == "--epoch-ms")
            pace.epochIntervalMs = number();
        else if (option == "--baud") {
            pace.mode = PlayPace::Mode::PerByte;
            pace.baudRate = number();
        } else if (option == "--repeat")
            repeat = number();
        else if (option == "--loop")
            repeat = 0;
        else if (option == "--line-end")
            lineEnd = value();
        else if (option == "--wait-ms")
            waitMs = number();
        else if (option == "--capture")
            capturePath = value();
        else if (option == "--drop-unread")
            pace.dropUnread = true;
        else {
            Usage();
            return option == "--help" || option == "-h" ? 0 : 2;
        }
    }
    if (link.empty() || scriptPath.empty() == demo.empty()) {
        Usage();
        return 2;
    }

    try {
        DeviceScript script;
        if (!scriptPath.empty())
            script = DeviceScript::load(scriptPath);
        else if (demo == "gnss")
            script = DeviceScript::demoGnss(epochs);
        else if (demo == "sounder")
            script = DeviceScript::demoSounder(epochs);
        else {
            Usage();
            return 2;
        }
        if (lineEnd == "crlf")
            script.lineEnd = "\r\n";
        else if (lineEnd == "lf")
            script.lineEnd = "\n";
        else if (lineEnd == "cr")
            script.lineEnd = "\r";
        else {
            Usage();
            return 2;
        }

        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        PseudoTerminal terminal(link);
        std::printf("tavrin-devsim: %s -> %s, %zu lines\n", terminal.linkPath().c_str(),
                    terminal.devicePath().c_str(), script.lineCount());
        std::fflush(stdout);

        std::ofstream capture;
        if (!capturePath.empty()) {
            capture.open(capturePath, std::ios::binary | std::ios::app);
            if (!capture)
                throw std::runtime_error("cannot write " + capturePath);
        }
        auto received = [&](const std::string& bytes) {
            if (capture.is_open()) {
                capture.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                capture.flush();
            }
        };

        PlayPace waitPace;
        waitPace.epochIntervalMs = waitMs;
        if (waitMs > 0) // an empty epoch paces the wait and drains what arrives meanwhile
            PlayScript(terminal, DeviceScript{{{}, {}}}, waitPace, &stopRequested, received);

        for (int round = 0; (repeat == 0 || round < repeat) && !stopRequested; ++round)
            if (!PlayScript(terminal, script, pace, &stopRequested, received))
                break;
        // Closing our end hangs the terminal up and drops what the program has not read yet:
        // give it a moment to read the last lines.
        PlayPace linger;
        linger.epochIntervalMs = 1000;
        PlayScript(terminal, DeviceScript{{{}, {}}}, linger, &stopRequested, received);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavrin-devsim: %s\n", error.what());
        return 1;
    }
    return 0;
}
