#pragma once

#include "analysis/Calculatedgaz.h"
#include "device/Curvepoint.h"
#include "chromatogram/Gazarea.h"
#include "chromatogram/Plotlayout.h"
#include "library/Mytime.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ByteReader;
class ByteWriter;
class GazOptions;
class SampleBuffer;

// The chromatogram of one analysis: samples against time, the gas windows marked over them,
// and what the drawing needs to scale them. The live curve fills from the acquisition buffer;
// the history keeps thinned archive copies. Main thread only, except that appendSamples takes
// the buffer's lock.
class MyGraphics {
public:
    // Longer sample or mark lists are not read back: only archive copies go into the history.
    static constexpr std::int32_t maxStoredCount = 2000;
    static constexpr std::size_t maxTextLength = 255;  // CP1251 bytes of a stored text
    static constexpr std::string_view analysisFileMagic = "NivraGazCurve";
    static constexpr std::uint8_t analysisFileVersion = 1;
    static constexpr std::string_view analysisFolderName = "Analiz";

    struct SignalRange {
        double minimum = 0;
        double maximum = 0;
        bool operator==(const SignalRange&) const = default;
    };

    // What the ".rzg" file of a finished analysis is made from; set once on the live curve by
    // the work-cycle controller.
    struct AnalysisFileSource {
        const GazOptions* gases = nullptr;
        const CalculatedGazes* results = nullptr;  // the calculation's list
        std::function<bool()> saveScienceValues;   // the controller's "save_science_values"
        std::filesystem::path programDirectory;    // holds "Analiz"; empty: the current directory
        std::function<lib::LocalSeconds()> clock = lib::localSecondsNow;
    };

    // Samples.
    void clearSamples();
    // Copies, under the buffer's lock, the buffer's samples this curve does not have yet, each
    // with the buffer's zero shift removed.
    void appendSamples(SampleBuffer& buffer);
    std::size_t sampleCount() const { return samples_.size(); }
    // Value and elapsed seconds; std::out_of_range for an index outside the curve.
    const CurvePoint& sample(std::size_t index) const { return samples_[index]; }
    const CurvePoints& samples() const { return samples_; }
    void setSamples(CurvePoints samples) { samples_ = std::move(samples); }

    // Fields.
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    std::uint32_t backgroundColour() const { return backgroundColour_; }
    void setBackgroundColour(std::uint32_t colour) { backgroundColour_ = colour; }
    std::uint32_t frameColour() const { return frameColour_; }
    void setFrameColour(std::uint32_t colour) { frameColour_ = colour; }
    bool archived() const { return archived_; }
    void setArchived(bool archived) { archived_ = archived; }
    std::int32_t pointCount() const { return pointCount_; }
    void setPointCount(std::int32_t count) { pointCount_ = count; }

    // Signal scale: a manual maximum of 0 means automatic.
    void setManualRange(double minimum, double maximum);
    SignalRange range() const;
    double minimum() const { return minimum_; }
    double manualMaximum() const { return manualMaximum_; }
    double autoMaximum() const { return autoMaximum_; }
    void setAutoMaximum(double maximum) { autoMaximum_ = maximum; }
    // The largest sample (1.0 without samples) raised to the first nice scale value at or
    // above it; beyond the largest nice value it stays as it is.
    void updateAutoMaximum();
    static double niceMaximum(double largest);
    static const std::vector<double>& niceScaleValues();

    // The operator's range: zoom in and out by ten, or automatic. A maximum below
    // minimumManualMaximum or above maximumManualMaximum is refused (false, nothing changes);
    // otherwise the minimum goes back to 0.
    static constexpr double minimumManualMaximum = 0.0001;
    static constexpr double maximumManualMaximum = 20000;
    // From an automatic range the step starts at the automatic maximum of the samples held now,
    // also when the curve has not been drawn since they came.
    bool zoomIn() { return requestMaximum(0.1 * shownMaximum()); }
    bool zoomOut() { return requestMaximum(10 * shownMaximum()); }
    void automaticRange() { requestMaximum(0); }
    bool automatic() const { return manualMaximum_ == 0; }

    // The three handles beside the chart. Dragging one down by dy pixels of a panel panelHeight
    // high adds dy × (maximum − minimum) / panelHeight to what it holds, so the curve follows the
    // mouse: the upper handle moves the maximum, the lower one the minimum, the middle one both.
    // A moved maximum stays at or above minimumManualMaximum (the middle handle keeps the range's
    // height there), since a manual maximum of 0 would mean automatic. A range without height or
    // turned over is refused: false, nothing changes. The lower handle leaves an automatic
    // maximum automatic.
    enum class RangeHandle { upper, middle, lower };
    bool dragRange(RangeHandle handle, int dy, int panelHeight);

    const PlotLayout& layout() const { return layout_; }
    void setLayout(const PlotLayout& layout) { layout_ = layout; }

    // Marks, one per gas of the table, and the result list they were built from (none: no
    // results box).
    void buildMarks(const GazOptions& gases, const CalculatedGazes* results, std::int32_t pointsPerSecond);
    const std::vector<GazArea>& marks() const { return marks_; }
    void setMarks(std::vector<GazArea> marks) { marks_ = std::move(marks); }
    const CalculatedGazes* results() const { return results_; }

    // Serialisation shared by the ".rzg" file and the history. Reading stops at the first
    // field that is damaged or missing and returns false; fields not read keep their values.
    void writeTo(ByteWriter& out) const;
    bool readFrom(ByteReader& in);

    // The ".rzg" file of a finished analysis; true when a file was written. Failures are
    // silent: the analysis goes on without the file.
    void setAnalysisFileSource(AnalysisFileSource source) { fileSource_ = std::move(source); }
    // Only a cycle that ended normally leaves a file.
    bool saveAnalysisFile(bool endedNormally) const;
    // "Analiz/<yyyy-mm-dd>/<hh-nn>.rzg" under the program directory for that moment.
    static std::filesystem::path analysisFilePath(const std::filesystem::path& programDirectory, lib::LocalSeconds now);

    // The thinned copy the history keeps: blocks of samplesPerSecond / 2 samples averaged.
    std::unique_ptr<MyGraphics> makeArchiveCopy(std::int32_t samplesPerSecond, const GazOptions& gases,
                                                const CalculatedGazes* results) const;
    static std::int32_t archiveStep(std::int32_t samplesPerSecond);

private:
    std::string analysisFileContents() const;
    bool requestMaximum(double maximum);
    double shownMaximum();

    std::string title_;
    std::uint32_t backgroundColour_ = 0xFFFFFF;
    std::uint32_t frameColour_ = 0;
    CurvePoints samples_;
    std::vector<GazArea> marks_;
    const CalculatedGazes* results_ = nullptr;
    bool archived_ = false;
    std::int32_t pointCount_ = 0;
    double manualMaximum_ = 0;
    double autoMaximum_ = 0;
    double minimum_ = 0;
    PlotLayout layout_;
    AnalysisFileSource fileSource_;
};
