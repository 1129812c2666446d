#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <ostream>

// What the operator starts instead of NivraExe: brings the station of the program folder to the
// front when one runs, else starts NivraExe from the launcher's own folder. It never waits for the
// station and never fails: what goes wrong after the start is NivraExe's to report.
class Launcher {
public:
    // The arguments are the launcher's own and go on to NivraExe, a --dir folder made absolute:
    // NivraExe runs in the launcher's folder, the operator named it from where they are.
    explicit Launcher(const QStringList& arguments);

    void run(std::ostream& errors) const;

private:
    // The folder asked for with --dir, the last one when given twice, as NivraExe takes it.
    std::optional<std::filesystem::path> requestedDirectory() const;
    bool raiseRunningStation(const std::filesystem::path& programDirectory) const;
    void startStation(const std::filesystem::path& ownDirectory, std::ostream& errors) const;

    QStringList arguments_;
};
