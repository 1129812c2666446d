// Full disk and failing writes: every store of the station, written while a fault stands in its
// way, must report the failure as it always does (most stores say nothing), keep its previous
// file whole, let the program go on, and write again once the fault is gone.
//
// Each case runs in a child process of its own, where the faults can be set up without
// privileges: a file size limit (writes fail with EFBIG), a folder where the file should be, a
// file where the folder should be, and a full file system (a small tmpfs in a private mount
// namespace where the system allows one; skipped where it does not). Prints
// "RESULT disk_faults_survived <n>" and "RESULT disk_faults_skipped <n>".

#include "analysis/Gazopts.h"
#include "chromatogram/Graphics.h"
#include "chromatogram/Summcurve.h"
#include "library/Decimalseparator.h"
#include "library/Lockobject.h"
#include "library/Numstr.h"
#include "platform/Atomicfile.h"
#include "platform/Filedescriptor.h"
#include "platform/Filesteps.h"
#include "results/History.h"
#include "results/Log.h"
#include "results/Resultsfile.h"
#include "results/Textfile.h"
#include "results/Textgrid.h"
#include "settings/Configuration.h"
#include "support/Testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <optional>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int unavailableExit = 77;
const lib::LocalSeconds fixedNow = lib::toLocalSeconds(2024, 5, 17, 10, 30, 0);

// The station's stores in one folder, as the program keeps them.
class Station {
public:
    explicit Station(fs::path folder) : folder_(std::move(folder))
    {
        fs::create_directories(folder_ / MyGraphics::analysisFolderName);
        lib::setDecimalSeparator(',');
        configuration.loadProgramSettings(folder_);
        results = {CalculatedGaz::absolute(gases.gas(0), 0, 10.0, 2.0),
                   CalculatedGaz::absolute(gases.gas(1), 0.5, 5.0, 1.0)};
        history.setClock([] { return fixedNow; });
        journal.open(folder_ / "события.txt");
        table.open(folder_ / "data.tim");
        exportFile.setFolder(folder_ / "TextData");
        live.setSamples(CurvePoints(40));
        live.setAnalysisFileSource({&gases, &results, [] { return true; }, folder_, [] { return fixedNow; }});
    }

    const fs::path& folder() const { return folder_; }

    // The first result carries the generation, so every store shows which write it holds.
    void setGeneration(int generation) { results[0].concentration = generation; }

    Configuration configuration;
    lib::lock_object bufferLock;
    GazOptions gases{bufferLock};
    CalculatedGazes results;
    History history{configuration, gases, results};
    TSummCurve trend;
    Log journal{[] { return fixedNow; }};
    TextGrid table{[] { return fixedNow; }};
    TextFile exportFile{[] { return fixedNow; }};
    MyGraphics live;

private:
    fs::path folder_;
};

std::optional<int> numberAfter(const std::string& text, const std::string& marker)
{
    const auto at = text.rfind(marker);
    if (at == std::string::npos)
        return std::nullopt;
    return static_cast<int>(lib::parseReal(text.substr(at + marker.size())));
}

enum class Growth { appends, replaces };

// One store: its file, a write of one generation (what the store reports, nothing when it
// reports nothing) and the generation its own loader finds in the folder.
struct Store {
    const char* name;
    Growth growth;
    std::function<fs::path(const Station&)> file;
    std::function<std::optional<bool>(Station&, int)> write;
    std::function<std::optional<int>(Station&)> held;
};

const std::array<Store, 7> stores{{
    {"ResultsTable", Growth::appends, [](const Station& s) { return s.folder() / "data.tim"; },
     [](Station& s, int generation) -> std::optional<bool> {
         s.setGeneration(generation);
         return s.table.appendResults(s.results, generation);
     },
     [](Station& s) -> std::optional<int> {
         results::ResultsFile file;
         if (!file.open(s.folder() / "data.tim") || file.recordCount() == 0)
             return std::nullopt;
         return static_cast<int>(file.record(file.recordCount() - 1).depth);
     }},
    {"SummatorTrend", Growth::replaces, [](const Station& s) { return s.folder() / "gsumm.dat"; },
     [](Station& s, int generation) -> std::optional<bool> {
         s.trend.append(40000.0 + generation, 0, static_cast<float>(generation));
         return s.trend.save(s.folder() / "gsumm.dat");
     },
     [](Station& s) -> std::optional<int> {
         TSummCurve trend;
         trend.load(s.folder() / "gsumm.dat");
         if (trend.size() == 0)
             return std::nullopt;
         return static_cast<int>(trend.points()[trend.size() - 1].value);
     }},
    {"History", Growth::replaces, [](const Station& s) { return s.folder() / History::fileName; },
     [](Station& s, int generation) -> std::optional<bool> {
         s.configuration.currentDepth = generation;
         s.history.add(s.live);
         return s.history.save(s.folder() / History::fileName);
     },
     [](Station& s) -> std::optional<int> {
         History history(s.configuration, s.gases, s.results);
         history.load(s.folder() / History::fileName);
         if (history.entryCount() == 0)
             return std::nullopt;
         return numberAfter(history.entry(0).title(), ", ");
     }},
    {"Settings", Growth::replaces, [](const Station& s) { return s.folder() / Configuration::iniFileName; },
     [](Station& s, int generation) -> std::optional<bool> {
         s.configuration.well = "скв-" + std::to_string(generation);
         s.configuration.saveProgramSettings();
         return std::nullopt;
     },
     [](Station& s) -> std::optional<int> {
         Configuration loaded;
         loaded.loadProgramSettings(s.folder());
         return numberAfter(loaded.well, "скв-");
     }},
    {"Journal", Growth::replaces, [](const Station& s) { return s.folder() / "события.txt"; },
     [](Station& s, int generation) -> std::optional<bool> {
         s.journal.add("запись " + std::to_string(generation));
         s.journal.save();
         return std::nullopt;
     },
     [](Station& s) -> std::optional<int> {
         Log journal;
         journal.open(s.folder() / "события.txt");
         if (journal.lines().empty())
             return std::nullopt;
         return numberAfter(journal.lines().back(), "запись ");
     }},
    {"TextExport", Growth::appends,
     [](const Station& s) { return s.folder() / "TextData" / TextFile::fileName(lib::fromLocalSeconds(fixedNow)); },
     [](Station& s, int generation) -> std::optional<bool> {
         s.setGeneration(generation);
         s.exportFile.writeResults(s.results, static_cast<float>(generation));
         return std::nullopt;
     },
     [](Station& s) -> std::optional<int> {
         // The depth column of the last line.
         const auto text = platform::readWholeFile(s.folder() / "TextData" / TextFile::fileName(lib::fromLocalSeconds(fixedNow)));
         if (!text || text->size() < 2)
             return std::nullopt;
         const std::string last = text->substr(text->rfind('\n', text->size() - 2) + 1);
         std::istringstream fields(last);
         std::string time, depth;
         fields >> time >> depth;
         return static_cast<int>(lib::parseReal(depth));
     }},
    {"AnalysisFile", Growth::replaces,
     [](const Station& s) { return MyGraphics::analysisFilePath(s.folder(), fixedNow); },
     [](Station& s, int generation) -> std::optional<bool> {
         s.setGeneration(generation);
         return s.live.saveAnalysisFile(true);
     },
     [](Station& s) -> std::optional<int> {
         // The file ends with three numbers per gas, the first gas's concentration first.
         const auto bytes = platform::readWholeFile(MyGraphics::analysisFilePath(s.folder(), fixedNow));
         const std::size_t tail = 24 * static_cast<std::size_t>(s.gases.count());
         if (!bytes || bytes->size() < tail)
             return std::nullopt;
         double concentration = 0;
         std::memcpy(&concentration, bytes->data() + bytes->size() - tail, sizeof concentration);
         return static_cast<int>(concentration);
     }},
}};

// What one case found, sent from the child to the test.
class Findings {
public:
    void add(const std::string& problem) { text_ += "\n  " + problem; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

std::size_t temporaryFilesIn(const fs::path& folder)
{
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().front() == '.')
            ++count;
    return count;
}

fs::path aside(const fs::path& path)
{
    return path.string() + ".aside";
}

// One kind of fault: set up before the station starts, put in the way of one write, taken away.
struct Fault {
    const char* name;
    std::function<bool(const fs::path& root)> prepare;  // false: not available here
    std::function<void(const fs::path& file, Growth growth)> inject;
    std::function<void(const fs::path& file, Findings& findings)> lift;
    bool fillsTheDisk;
};

void setFileSizeLimit(rlim_t limit)
{
    rlimit current{};
    ::getrlimit(RLIMIT_FSIZE, &current);
    current.rlim_cur = std::min(limit, current.rlim_max);
    ::setrlimit(RLIMIT_FSIZE, &current);
}

bool writeProcFile(const char* path, const std::string& text)
{
    const platform::FileDescriptor fd(::open(path, O_WRONLY | O_CLOEXEC));
    return fd.valid() && ::write(fd.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// A small tmpfs over root, seen only by this process: in a user namespace of its own where the
// system allows one, else in a mount namespace when the process may make one.
bool mountSmallFileSystem(const fs::path& root)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
        writeProcFile("/proc/self/setgroups", "deny");
        if (!writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
            || !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    } else if (::unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("nivra-small", root.c_str(), "tmpfs", 0, "size=256k") == 0;
}

// A small file in the way of a store.
void place(const fs::path& path)
{
    if (!platform::writeFileAtomically(path, "x"))
        throw std::runtime_error("cannot place an obstacle at " + path.string());
}

fs::path fillerOf(const fs::path& file)
{
    return file.parent_path() / "filler";
}

void fillTheDisk(const fs::path& file)
{
    const platform::FileDescriptor fd(::open(fillerOf(file).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const std::string block(65536, 'f');
    while (::write(fd.get(), block.data(), block.size()) > 0) {
    }
}

// The obstacle must still be there: a store may not clear its way by removing what it finds.
void removeObstacle(const fs::path& file, Findings& findings)
{
    if (!fs::exists(file / "kept") && !fs::is_regular_file(file))
        findings.add("the obstacle at " + file.filename().string() + " was removed");
    fs::remove_all(file);
}

const std::array<Fault, 4> faults{{
    {"FileTooLarge", [](const fs::path&) { return true; },
     [](const fs::path& file, Growth growth) {
         // An append gets one byte out; a replacement half of the old size.
         const auto size = fs::file_size(file);
         setFileSizeLimit(static_cast<rlim_t>(growth == Growth::appends ? size + 1 : size / 2));
     },
     [](const fs::path&, Findings&) { setFileSizeLimit(RLIM_INFINITY); }, false},
    {"TargetIsAFolder", [](const fs::path&) { return true; },
     [](const fs::path& file, Growth) {
         fs::rename(file, aside(file));
         fs::create_directory(file);
         place(file / "kept");
     },
     [](const fs::path& file, Findings& findings) {
         removeObstacle(file, findings);
         fs::rename(aside(file), file);
     },
     false},
    {"FolderIsAFile", [](const fs::path&) { return true; },
     [](const fs::path& file, Growth) {
         fs::rename(file.parent_path(), aside(file.parent_path()));
         place(file.parent_path());
     },
     [](const fs::path& file, Findings& findings) {
         removeObstacle(file.parent_path(), findings);
         fs::rename(aside(file.parent_path()), file.parent_path());
     },
     false},
    {"DiskFull", mountSmallFileSystem, [](const fs::path& file, Growth) { fillTheDisk(file); },
     [](const fs::path& file, Findings&) { fs::remove(fillerOf(file)); }, true},
}};

std::string describe(std::optional<int> generation)
{
    return generation ? std::to_string(*generation) : std::string("nothing");
}

void expectHeld(const Store& store, Station& station, int generation, const char* when, Findings& findings)
{
    const auto held = store.held(station);
    if (held != generation)
        findings.add(std::string(when) + ": the store holds " + describe(held) + ", not " + std::to_string(generation));
}

// On a full disk a small append may still fit in the file's last page; more of the first
// generation first, until the next one needs a new page.
void fillTheLastPage(const Store& store, Station& station)
{
    const auto page = static_cast<std::uintmax_t>(::sysconf(_SC_PAGESIZE));
    std::uintmax_t size = fs::file_size(store.file(station));
    std::uintmax_t step = size;
    while (size % page != 0 && size % page + step <= page) {
        store.write(station, 1);
        const auto grown = fs::file_size(store.file(station));
        step = grown - size;
        size = grown;
    }
}

Findings runCase(const Store& store, const Fault& fault, const fs::path& root)
{
    Findings findings;
    Station station(root / "station");
    if (store.write(station, 1) == false)
        findings.add("the first write failed");
    expectHeld(store, station, 1, "after the first write", findings);
    if (fault.fillsTheDisk && store.growth == Growth::appends)
        fillTheLastPage(store, station);

    const fs::path file = store.file(station);
    const auto before = platform::readWholeFile(file);
    fault.inject(file, store.growth);
    if (store.write(station, 2) == true)
        findings.add("the write against the fault reported success");
    fault.lift(file, findings);

    if (platform::readWholeFile(file) != before)
        findings.add("the previous file changed: " + std::to_string(before ? before->size() : 0) + " bytes before, "
                     + std::to_string(fs::file_size(file)) + " after");
    expectHeld(store, station, 1, "after the failed write", findings);
    if (const auto stray = temporaryFilesIn(file.parent_path()); stray != 0)
        findings.add(std::to_string(stray) + " temporary files left beside the file");

    if (store.write(station, 3) == false)
        findings.add("the write after the fault was gone failed");
    expectHeld(store, station, 3, "after the fault was gone", findings);
    return findings;
}

struct Outcome {
    bool available = true;
    std::string findings;
};

// The case in a child process, so the limits and the mount stay there.
Outcome runInChild(const Store& store, const Fault& fault, const fs::path& root)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {true, "\n  no pipe to the child"};
    const pid_t child = ::fork();
    if (child < 0)
        return {true, "\n  cannot start a child"};
    if (child == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        if (!fault.prepare(root))
            ::_exit(unavailableExit);
        std::string text;
        try {
            text = runCase(store, fault, root).text();
        } catch (const std::exception& error) {
            text = std::string("\n  ") + error.what();
        }
        const bool sent = platform::writeAll(channel[1], text.data(), text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == unavailableExit)
        return {false, {}};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        text += "\n  the child ended with status " + std::to_string(status);
    return {true, text};
}

TEST(DiskFaults, AFailedWriteKeepsTheOldFileAndTheNextOneSucceeds)
{
    int survived = 0;
    int skipped = 0;
    for (const Store& store : stores) {
        for (const Fault& fault : faults) {
            const test::TemporaryDirectory root;
            const Outcome outcome = runInChild(store, fault, root.path());
            if (!outcome.available) {
                ++skipped;
                continue;
            }
            EXPECT_EQ(outcome.findings, "") << store.name << " with " << fault.name;
            survived += outcome.findings.empty() ? 1 : 0;
        }
    }
    std::cout << "RESULT disk_faults_survived " << survived << "\nRESULT disk_faults_skipped " << skipped << std::endl;
    if (skipped > 0)
        std::cout << "a full file system cannot be set up here: those cases were skipped" << std::endl;
}

} // namespace
