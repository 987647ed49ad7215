#include "DataFolder.h"

#include <filesystem>
#include <system_error>

#ifndef VEMMO_DATA_FROM_BIN
#define VEMMO_DATA_FROM_BIN "../share/vemmo"
#endif

namespace fs = std::filesystem;

namespace
{

bool HasResources(const fs::path& folder)
{
    std::error_code error;
    return fs::is_directory(folder / "resources", error);
}

} // namespace

std::string FindDataFolder(const std::string& launch, const std::string& executable,
                           const std::string& dataFromBin)
{
    if (HasResources(launch))
        return launch;
    const fs::path installed = (fs::path(executable).parent_path() / dataFromBin).lexically_normal();
    if (!executable.empty() && HasResources(installed))
        return installed.string();
    return launch;
}

std::string RunningDataFolder(const std::string& launch)
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return FindDataFolder(launch, error ? std::string() : executable.string(), VEMMO_DATA_FROM_BIN);
}

std::string EnterDataFolder()
{
    std::error_code error;
    const fs::path launch = fs::current_path(error);
    if (error)
        return ".";
    const std::string data = RunningDataFolder(launch.string());
    if (data != launch.string())
        fs::current_path(data, error);
    return launch.string();
}
