#include "support/FakeConverter.h"

#include "support/Files.h"

#include <QStandardPaths>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace clipforge::test {

namespace {

bool makeFolders(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder + "bin", error);
    std::filesystem::create_directories(folder + "convert", error);
    return !error;
}

}  // namespace

std::string fakeConverterPath()
{
    if (const char* path = std::getenv("CLIPFORGE_FAKE_CONVERTER"))
        return path;
    return CLIPFORGE_FAKE_CONVERTER;
}

bool installFakeConverter(const std::string& folder, const std::string& mode)
{
    if (!makeFolders(folder))
        return false;
    if (!mode.empty())
        writeFile(folder + "bin/ffmpeg.mode", mode);
    return ::symlink(fakeConverterPath().c_str(), (folder + "bin/ffmpeg").c_str()) == 0;
}

bool installRealConverter(const std::string& folder)
{
    const std::string ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).toStdString();
    // The profile editor's Try asks bin/ffprobe what it made.
    const std::string ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe")).toStdString();
    return !ffmpeg.empty() && makeFolders(folder) && ::symlink(ffmpeg.c_str(), (folder + "bin/ffmpeg").c_str()) == 0 &&
           (ffprobe.empty() || ::symlink(ffprobe.c_str(), (folder + "bin/ffprobe").c_str()) == 0);
}

}  // namespace clipforge::test
