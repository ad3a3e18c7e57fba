#pragma once

#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyNumberScanner.h"

#include <fstream>
#include <string>
#include <vector>

// Reference tables made by independent implementations (see data/README.md): '#' lines are
// comments, an '@' line starts a group with its parameters, every other line is one case.
struct GeodesyFixtureGroup {
    std::string parameterText; // the '@' line without the '@'
    std::vector<double> parameters;
    std::vector<std::vector<double>> cases;
};

inline std::vector<double> GeodesyFixtureNumbers(const std::string& text) {
    std::vector<double> numbers;
    std::size_t position = 0;
    for (std::string_view token = NextGeodesyToken(text, position); !token.empty();
         token = NextGeodesyToken(text, position)) {
        double value = 0;
        if (!ParseNumber(token, value))
            return {};
        numbers.push_back(value);
    }
    return numbers;
}

inline std::vector<GeodesyFixtureGroup> ReadGeodesyFixture(const std::string& name) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/" + name);
    std::vector<GeodesyFixtureGroup> groups;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '@') {
            groups.push_back({line.substr(1), GeodesyFixtureNumbers(line.substr(1)), {}});
        } else if (!groups.empty()) {
            groups.back().cases.push_back(GeodesyFixtureNumbers(line));
        }
    }
    return groups;
}
