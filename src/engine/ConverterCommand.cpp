#include "engine/ConverterCommand.h"

#include "core/Paths.h"
#include "engine/CommandLineSplitter.h"
#include "engine/DefaultOutputFolder.h"

namespace clipforge {

namespace {

// The converter reads "-x" as an option and "name:rest" as a protocol
// (pipe:, http:, concat: ...); an absolute path is always a plain file. A
// relative one, which only a hand-edited list file can bring in, is pinned
// to the file protocol so it too names a file and nothing else.
std::string asConverterFile(const std::string& path)
{
    if (!path.empty() && path.front() == pathSeparator)
        return path;
    return "file:" + path;
}

}  // namespace

std::string globalOutputFolder;

std::string converterPath(const std::string& programFolder)
{
    return programFolder + "bin/ffmpeg";
}

std::string outputFolder(const std::string& jobPath, const std::string& globalFolder,
                         const std::string& programFolder)
{
    if (!jobPath.empty())
        return jobPath;
    if (!globalFolder.empty())
        return globalFolder;
    return defaultOutputFolder(programFolder);
}

std::string outputName(const std::string& sourceFileName, const std::string& ext)
{
    return replaceExtension(fileNamePart(sourceFileName), "." + ext);
}

std::string converterCommandLine(const std::string& converter, const std::string& source,
                                 const std::string& params, const std::string& output)
{
    return quoteArgument(converter) + " -i " + quoteArgument(asConverterFile(source)) + " " + params + " " +
           quoteArgument(asConverterFile(output));
}

}  // namespace clipforge
