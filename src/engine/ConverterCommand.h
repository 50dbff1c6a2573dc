#pragma once

#include <string>

// The pieces of the converter's command line, each a small rule of its own,
// for the conversion driver to join.
namespace clipforge {

// The output folder used for jobs without one of their own. Nothing assigns
// it today; the output-folder rule still honours it.
extern std::string globalOutputFolder;

// programFolder + "bin/ffmpeg" (no extension is added).
std::string converterPath(const std::string& programFolder);

// The job's folder as stored (no separator added, nothing tested); else the
// global output folder; else the default output folder (see defaultOutputFolder).
std::string outputFolder(const std::string& jobPath, const std::string& globalFolder,
                         const std::string& programFolder);

// The file-name part of the source with its extension replaced by "." + ext
// (appended when the name has none).
std::string outputName(const std::string& sourceFileName, const std::string& ext);

// "converter" -i "source" params "output". params goes in exactly as stored;
// the three paths are quoted so that splitCommandLine gives each back as one
// argument whatever bytes it holds. Absolute paths without quotes or
// backslashes are simply wrapped in double quotes; a relative source or output
// gets the converter's "file:" prefix so that it cannot pass for an option
// or a protocol.
std::string converterCommandLine(const std::string& converter, const std::string& source,
                                 const std::string& params, const std::string& output);

}  // namespace clipforge
