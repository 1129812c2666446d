#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <string_view>

namespace bench {

// The main of a benchmark that paints with Qt: fonts and widgets need the application object,
// no display is needed to paint offscreen. With --png=FILE it only writes its picture there,
// for people to look at.
inline int runQtBenchmarks(int argc, char* argv[], const std::function<int(const char*)>& savePicture = {})
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    constexpr std::string_view pngOption = "--png=";
    for (int i = 1; i < argc && savePicture; ++i)
        if (std::string_view(argv[i]).starts_with(pngOption))
            return savePicture(argv[i] + pngOption.size());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
