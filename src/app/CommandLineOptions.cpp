#include "app/CommandLineOptions.h"

#include <cstdlib>
#include <string_view>

#ifndef CLIPFORGE_VERSION
#define CLIPFORGE_VERSION ""
#endif

namespace clipforge {

namespace {

const char* const helpText =
    "Usage: clipforge [FILE|FOLDER]...\n"
    "Converts a queue of video files into other formats, one after another, with FFmpeg.\n"
    "\n"
    "Files and folders named here open the Add Files window with those files; a folder stands\n"
    "for the video files inside it, at any depth. When the program already shows its window,\n"
    "they go to that window instead, and this start ends at once.\n"
    "\n"
    "  -h, --help     show this help and end\n"
    "      --version  show the version and end\n"
    "  --             everything after it is a file name\n"
    "\n"
    "Without a display, convert from scripts with clipforge-batch(1).\n";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

CommandLineOptions::CommandLineOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--")
            break;
        help_ = help_ || argument == "--help" || argument == "-h";
        version_ = version_ || argument == "--version";
        platformGiven_ = platformGiven_ || argument == "-platform" || argument == "--platform";
    }
}

std::optional<int> CommandLineOptions::answerWithoutWindow(std::ostream& out, std::ostream& err) const
{
    if (help_) {
        out << helpText;
        return 0;
    }
    if (version_) {
        out << "clipforge (Norvane Clipforge) " << CLIPFORGE_VERSION << '\n';
        return 0;
    }
    if (!platformGiven_ && !isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        err << "clipforge: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
               "Convert from scripts with clipforge-batch; see clipforge --help.\n";
        return 1;
    }
    return std::nullopt;
}

}  // namespace clipforge
