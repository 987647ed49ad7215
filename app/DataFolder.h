// Where the programs find their data. The explorer reads everything through
// paths under "resources/", relative to the working directory; an installed
// explorer started from anywhere else moves into its installed data folder
// first and writes its screenshots back where it was started. vemmo-render
// stays where it was started and reads only its deep presets from there.
#pragma once

#include <string>

// The folder holding the explorer's "resources" folder for a program at
// `executable` started in `launch`: `launch` itself when it has one, else
// `executable`'s folder joined with `dataFromBin` (the installed data folder
// relative to the installed program) when that has one, else `launch`.
std::string FindDataFolder(const std::string& launch, const std::string& executable,
                           const std::string& dataFromBin);

// FindDataFolder for the running program started in `launch`.
std::string RunningDataFolder(const std::string& launch);

// Moves into FindDataFolder for the running program and returns the folder
// it was started in. Runs before the application object reads its locations.
std::string EnterDataFolder();
