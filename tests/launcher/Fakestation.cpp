// Stands in for NivraExe beside a copy of the launcher: writes "started" into its own folder,
// its working directory on the first line and each argument on a line of its own.
#include <filesystem>
#include <fstream>

int main(int argc, char* argv[])
{
    std::error_code error;
    const auto folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const auto partial = folder / "started.partial";
    {
        std::ofstream record(partial);
        record << std::filesystem::current_path(error).string() << '\n';
        for (int i = 1; i < argc; ++i)
            record << argv[i] << '\n';
    }
    // Whole or not at all for the test that waits for it.
    std::filesystem::rename(partial, folder / "started", error);
    return 0;
}
