#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Gaz;

// One line of an analysis's result list: the absolute result of a gas, the total, or the
// share of a gas in the total.
struct CalculatedGaz {
    std::uint32_t colour = 0;
    std::string name;
    std::string description;
    std::string key;
    std::string shortText;
    std::string label;
    double concentration = 0;  // percent
    double area = 0;           // the response: area, or the peak value in peak mode
    double peakMaximum = 0;
    std::uint8_t derived = 0;  // 1 for the total and the shares

    static constexpr const char* totalName = "сумм_газ";

    static CalculatedGaz absolute(const Gaz& gas, double concentration, double area, double peakMaximum);
    static CalculatedGaz total(double concentration);
    static CalculatedGaz relative(const Gaz& gas, double share);
};

using CalculatedGazes = std::vector<CalculatedGaz>;
