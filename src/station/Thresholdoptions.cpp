#include "station/Thresholdoptions.h"

#include "library/Numstr.h"
#include "settings/Configuration.h"

ThresholdOptions::Values ThresholdOptions::read(const Configuration& configuration)
{
    return {configuration.thresholdByTotalGas, lib::formatReal(configuration.thresholdValue, shownDecimals)};
}

void ThresholdOptions::store(Configuration& configuration, const Values& values)
{
    configuration.thresholdByTotalGas = values.fromRegistration;
    configuration.thresholdValue = lib::parseReal(values.threshold);
}
