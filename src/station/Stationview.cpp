#include "station/Stationview.h"

#include "library/Numstr.h"
#include "settings/Configuration.h"
#include "station/Nivrasystem.h"

StationView::StationView(const Configuration& configuration, const NivraSystem& system)
    : configuration_(configuration), system_(system)
{
}

std::string StationView::caption() const
{
    return configuration_.windowCaption();
}

bool StationView::warmUpItemVisible() const
{
    return configuration_.deviceType != modelLT4KS;
}

std::string StationView::timeModeHint() const
{
    return " Режим работы по времени с интервалом " + std::to_string(system_.timeModePeriod()) + " сек";
}

std::string StationView::summatorModeHint() const
{
    return " Режим запуска при показаниях газосумматора более чем: " + lib::formatReal(configuration_.thresholdValue, 3)
           + "%";
}

bool StationView::summatorModeEnabled() const
{
    return configuration_.summatorUse || configuration_.thresholdByTotalGas;
}

bool StationView::saveButtonEnabled() const
{
    return !system_.saveAllValues();
}

bool StationView::summatorStripVisible() const
{
    return configuration_.summatorShow && configuration_.summatorUse;
}

bool StationView::summatorChartVisible() const
{
    return configuration_.summatorShowWindow && configuration_.summatorUse;
}

bool StationView::adcIndicatorVisible() const
{
    return configuration_.showAdcValue;
}

void StationView::refreshState()
{
    if (system_.isIdle()) {
        blink_ = 0;
        stateText_ = idleText;
        stateGradient_ = idleGradient;
        return;
    }
    stateText_ = blink_++ % 2 == 0 ? workingText : "";
    stateGradient_ = workingGradient;
}
