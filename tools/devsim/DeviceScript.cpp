#include "tools/devsim/DeviceScript.h"

#include "positioning/gnss/NmeaChecksum.h"
#include "positioning/gnss/NmeaParser.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

std::string Sentence(const std::string& body) {
    return NmeaSentence(body);
}

} // namespace

std::string NmeaSentence(const std::string& body) {
    return "$" + body + "*" + NmeaChecksum(body);
}

std::string NmeaCoordinate(double degrees, bool longitude, char* hemisphere) {
    *hemisphere = longitude ? (degrees < 0 ? 'W' : 'E') : (degrees < 0 ? 'S' : 'N');
    degrees = std::fabs(degrees);
    int whole = static_cast<int>(degrees);
    double minutes = (degrees - whole) * 60.0;
    if (minutes >= 59.999995) { // would print as 60.00000
        minutes = 0;
        ++whole;
    }
    char text[32];
    std::snprintf(text, sizeof text, longitude ? "%03d%08.5f" : "%02d%08.5f", whole, minutes);
    return text;
}

namespace {

// Waits until `deadline`, handing on what the program writes meanwhile. False when stopped.
bool WaitUntil(PseudoTerminal& terminal, SteadyClock::time_point deadline,
               const std::atomic<bool>* stop,
               const std::function<void(const std::string&)>& received) {
    while (true) {
        if (stop && stop->load())
            return false;
        if (received) {
            const std::string bytes = terminal.read();
            if (!bytes.empty())
                received(bytes);
        }
        const auto now = SteadyClock::now();
        if (now >= deadline)
            return true;
        std::this_thread::sleep_for(
            std::min<SteadyClock::duration>(deadline - now, std::chrono::milliseconds(20)));
    }
}

} // namespace

DeviceScript DeviceScript::parse(std::string_view text) {
    DeviceScript script;
    std::vector<std::string> epoch;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        start = end + 1;
        if (!line.empty() && line.front() == '#')
            continue;
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            if (!epoch.empty())
                script.epochs.push_back(std::move(epoch));
            epoch.clear();
            continue;
        }
        epoch.emplace_back(line);
    }
    if (!epoch.empty())
        script.epochs.push_back(std::move(epoch));
    return script;
}

DeviceScript DeviceScript::load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

DeviceScript DeviceScript::demoGnss(int epochs, double startLatitude, double startLongitude) {
    DeviceScript script;
    constexpr double SpeedKnots = 5.0;
    constexpr double CourseDegrees = 45.0;
    constexpr double MetresPerDegree = 111'320.0;
    const double stepMetres = SpeedKnots * 1852.0 / 3600.0;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < epochs; ++i) {
        const double north = i * stepMetres * std::cos(CourseDegrees * pi / 180);
        const double east = i * stepMetres * std::sin(CourseDegrees * pi / 180);
        const double latitude = startLatitude + north / MetresPerDegree;
        const double longitude =
            startLongitude + east / (MetresPerDegree * std::cos(startLatitude * pi / 180));
        const int seconds = (12 * 3600 + i) % 86400;
        char time[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        char ns = 'N', ew = 'E';
        const std::string lat = NmeaCoordinate(latitude, false, &ns);
        const std::string lon = NmeaCoordinate(longitude, true, &ew);
        const double altitude = 35.0 + 0.1 * std::sin(i / 10.0);
        const double speed = SpeedKnots + 0.2 * std::sin(i / 7.0);
        char body[160];
        std::vector<std::string> epoch;
        std::snprintf(body, sizeof body, "GPGGA,%s,%s,%c,%s,%c,4,12,0.8,%.3f,M,36.2,M,1.0,0001",
                      time, lat.c_str(), ns, lon.c_str(), ew, altitude);
        epoch.push_back(Sentence(body));
        std::snprintf(body, sizeof body, "GPRMC,%s,A,%s,%c,%s,%c,%.2f,%.1f,150626,,,R", time,
                      lat.c_str(), ns, lon.c_str(), ew, speed, CourseDegrees);
        epoch.push_back(Sentence(body));
        std::snprintf(body, sizeof body, "GPVTG,%.1f,T,%.1f,M,%.2f,N,%.2f,K,R", CourseDegrees,
                      CourseDegrees - 5.0, speed, speed * 1.852);
        epoch.push_back(Sentence(body));
        std::snprintf(body, sizeof body, "GPHDT,%.1f,T", CourseDegrees + std::sin(i / 5.0));
        epoch.push_back(Sentence(body));
        script.epochs.push_back(std::move(epoch));
    }
    return script;
}

DeviceScript DeviceScript::demoSounder(int soundings) {
    DeviceScript script;
    for (int i = 0; i < soundings; ++i) {
        const double depth = 12.0 + 3.0 * std::sin(i / 50.0) + 0.05 * std::sin(i * 1.7);
        char body[64];
        std::snprintf(body, sizeof body, "SDDPT,%.2f,0.50", depth);
        script.epochs.push_back({Sentence(body)});
    }
    return script;
}

size_t DeviceScript::lineCount() const {
    size_t count = 0;
    for (const auto& epoch : epochs)
        count += epoch.size();
    return count;
}

std::string DeviceScript::bytes() const {
    std::string all;
    for (const auto& epoch : epochs)
        for (const auto& line : epoch) {
            all += line;
            all += lineEnd;
        }
    return all;
}

bool PlayScript(PseudoTerminal& terminal, const DeviceScript& script, const PlayPace& pace,
                const std::atomic<bool>* stop,
                const std::function<void(const std::string&)>& received) {
    if (pace.mode == PlayPace::Mode::PerEpoch) {
        auto due = SteadyClock::now();
        for (const auto& epoch : script.epochs) {
            if (!WaitUntil(terminal, due, stop, received))
                return false;
            std::string bytes;
            for (const auto& line : epoch)
                bytes += line + script.lineEnd;
            if (!terminal.write(bytes, pace.dropUnread ? 0 : 5000) && !pace.dropUnread)
                return false;
            due += std::chrono::milliseconds(pace.epochIntervalMs);
        }
        return true;
    }

    const std::string bytes = script.bytes();
    const double secondsPerByte = 10.0 / (pace.baudRate > 0 ? pace.baudRate : 9600);
    const auto start = SteadyClock::now();
    size_t sent = 0;
    while (sent < bytes.size()) {
        const double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();
        const size_t due =
            std::min(bytes.size(), static_cast<size_t>(elapsed / secondsPerByte) + 1);
        if (due > sent) {
            if (!terminal.write(std::string_view(bytes).substr(sent, due - sent)))
                return false;
            sent = due;
        }
        const auto next = start + std::chrono::duration_cast<SteadyClock::duration>(
                                      std::chrono::duration<double>(sent * secondsPerByte));
        if (!WaitUntil(terminal, next, stop, received))
            return false;
    }
    return true;
}
