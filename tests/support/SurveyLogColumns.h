#pragma once

#include <sstream>
#include <string>
#include <vector>

// The survey log's Raw Depth (Hi) column (the tenth), row by row after the header.
inline std::vector<std::string> RawDepthColumn(const std::string& survey) {
    std::vector<std::string> column;
    std::istringstream rows(survey);
    std::string row;
    std::getline(rows, row);
    while (std::getline(rows, row)) {
        std::istringstream fields(row);
        std::string field;
        for (int i = 0; i < 10; ++i)
            std::getline(fields, field, ',');
        column.push_back(field);
    }
    return column;
}
