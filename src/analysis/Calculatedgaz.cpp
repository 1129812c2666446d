#include "analysis/Calculatedgaz.h"

#include "analysis/Gaz.h"
#include "library/Numstr.h"

namespace {

std::string number(double value)
{
    return lib::formatReal(value, -1, -1);
}

} // namespace

CalculatedGaz CalculatedGaz::absolute(const Gaz& gas, double concentration, double area, double peakMaximum)
{
    CalculatedGaz result;
    result.colour = gas.colour;
    result.name = gas.name;
    result.description = gas.name + ": площадь = " + number(area) + ", конц. = " + number(concentration) + "%";
    result.key = gas.name + "_абс";
    result.shortText = " " + number(concentration) + "% ";
    result.label = gas.label;
    result.concentration = concentration;
    result.area = area;
    result.peakMaximum = peakMaximum;
    return result;
}

CalculatedGaz CalculatedGaz::total(double concentration)
{
    CalculatedGaz result;
    result.name = totalName;
    result.description = std::string(totalName) + " = " + number(concentration) + "%";
    result.key = totalName;
    result.label = "GS";
    result.concentration = concentration;
    result.derived = 1;
    return result;
}

CalculatedGaz CalculatedGaz::relative(const Gaz& gas, double share)
{
    CalculatedGaz result;
    result.colour = gas.colour;
    result.name = gas.name + "_отн";
    result.description = gas.name + " = " + number(share) + "%";
    result.key = gas.name + "_отн";
    result.label = gas.label + "r";
    result.concentration = share;
    result.derived = 1;
    return result;
}
