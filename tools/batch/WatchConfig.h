#pragma once

#include <string>
#include <vector>

namespace clipforge {

// One line of a watch's configuration file, as the command-line option it stands for.
struct WatchConfigLine {
    int number = 0;      // counted from 1
    std::string option;  // "--profile", or "" for a folder to watch
    std::string value;
};

// Reads the key=value lines of a watch's configuration file (the file a service names):
// watch=FOLDER (one a line, repeatable), profile=, output=, jobs=, check=, settle=, rescan=,
// ignore= (repeatable). Blank lines and lines starting with "#" are skipped. Folders are absolute
// or start with "~/", for the home folder: a service has no working folder to be relative to.
// Throws BatchUsageError, naming the file and line, for anything else.
std::vector<WatchConfigLine> readWatchConfig(const std::string& path);

}  // namespace clipforge
