#pragma once

#include "library/Mytime.h"

#include <boost/signals2/signal.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The operator's event journal "события.txt": one stamped line per event, newest last, kept
// between runs and written back whole when the program closes.
class Log {
public:
    using Clock = std::function<lib::LocalSeconds()>;

    // Lines kept before a new one is added, so the journal holds at most one more.
    static constexpr std::size_t keptLines = 256;

    static constexpr std::string_view programStarted = "Запуск программы";
    static constexpr std::string_view journalCleared = "Очищен журнал";
    static constexpr std::string_view calibrationDone = "Произведена калибровка хроматографа";
    static constexpr std::string_view calibrationSaved = "Результат калибровки сохранен в файл";
    static constexpr std::string_view calibrationLoaded = "Результат калибровки загружен из файла";
    static constexpr std::string_view programClosed = "Закрытие программы";

    explicit Log(Clock clock = lib::localSecondsNow);

    // Remembers the path and loads the file's lines; a missing file gives an empty journal.
    void open(std::filesystem::path path);
    // A non-empty text gets the time stamp; an empty one is an empty line.
    void add(std::string_view text);
    void clear();
    // Rewrites the file whole; a failure leaves the previous file and is not reported.
    void save() const;

    const std::vector<std::string>& lines() const { return lines_; }
    const std::filesystem::path& path() const { return path_; }

    // "[9:05:07 3.03.2007]" and the five blanks that precede the text.
    static std::string stamp(const lib::LocalTimeFields& now);

    // Once per change of the lines, so that the journal page repaints once. Main thread.
    boost::signals2::signal<void()> changed;

private:
    Clock clock_;
    std::filesystem::path path_;
    std::vector<std::string> lines_;
};
