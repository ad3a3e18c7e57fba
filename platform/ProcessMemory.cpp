#include "platform/ProcessMemory.h"

#include <cstdlib>
#include <fstream>
#include <string>

long ProcessStatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    return -1;
}

void ResetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
