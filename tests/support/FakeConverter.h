#pragma once

#include <string>

#include "engine/CommandLineSplitter.h"

namespace clipforge::test {

// The helper program built in tests/support; CLIPFORGE_FAKE_CONVERTER in the environment
// overrides the path the build gave.
std::string fakeConverterPath();

// A command line that runs the fake converter with the given actions.
template <typename... Actions>
std::string fakeConverterCommand(const Actions&... actions)
{
    std::string line = quoteArgument(fakeConverterPath());
    ((line += " " + quoteArgument(actions)), ...);
    return line;
}

// Makes folder (ending in "/") a program folder's converter side: bin/ and convert/, and
// bin/ffmpeg the fake converter playing mode (see fake_converter.posix.cpp), or, with an empty mode,
// the way its source's name asks. False when the converter could not be put in place.
bool installFakeConverter(const std::string& folder, const std::string& mode = {});
// The same with the system's converter as bin/ffmpeg (and its prober as bin/ffprobe).
bool installRealConverter(const std::string& folder);

}  // namespace clipforge::test
