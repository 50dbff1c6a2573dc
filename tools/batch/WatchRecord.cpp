#include "WatchRecord.h"

#include "JsonFields.h"
#include "JsonLine.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/KeptQueueFile.h"
#include "core/UserStateFolder.h"
#include "core/xml/FileIo.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstring>

namespace clipforge {
namespace {

constexpr const char* RecordFormat = "clipforge-watch-record";

// One file per folder and profile; the name only has to tell them apart, the first line says
// which it is.
std::string recordName(const std::string& folder, int profile)
{
    const std::string key = folder + '\n' + std::to_string(profile);
    const QByteArray hash = QCryptographicHash::hash(QByteArray(key.data(), static_cast<qsizetype>(key.size())),
                                                     QCryptographicHash::Sha256);
    return hash.toHex().left(24).toStdString() + ".jsonl";
}

std::optional<std::pair<std::string, WatchedFileResult>> resultOf(const std::string& line)
{
    const std::optional<JsonFields> fields = JsonFields::parse(line);
    if (!fields)
        return std::nullopt;
    const auto file = fields->text("file");
    const auto size = fields->integer("size");
    const auto modified = fields->integer("mtime_ns");
    const auto state = fields->text("state");
    if (!file || !size || !modified || !state || *size < 0 || (*state != "converted" && *state != "failed"))
        return std::nullopt;
    WatchedFileResult result;
    result.key = {static_cast<std::uint64_t>(*size), *modified};
    result.inode = static_cast<std::uint64_t>(fields->integer("inode").value_or(0));
    result.converted = *state == "converted";
    result.output = fields->text("output").value_or("");
    result.reason = fields->text("reason").value_or("");
    return std::make_pair(*file, result);
}

}  // namespace

WatchRecord::WatchRecord(const std::string& stateFolder, const std::string& folder, int profile, std::string& message)
    : folder_(folder), profile_(profile)
{
    const std::string records = stateFolder + "watch/";
    if (!makePrivateFolders(records))
        throw Error("the folder for watch records, " + records + ", cannot be made: " + std::strerror(errno));
    path_ = records + recordName(folder, profile);
    lock_ = WriterLock::tryLock(path_ + ".lock");
    if (!lock_.held())
        throw Error(folder + " is already being watched with profile " + std::to_string(profile) +
                    " by another clipforge-batch");
    read(message);
}

void WatchRecord::read(std::string& message)
{
    if (!fileStatus(path_).exists())
        return;
    const std::string bytes = readWholeFile(path_);
    std::size_t start = 0;
    bool headerRead = false;
    bool broken = false;
    while (start < bytes.size() && !broken) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!headerRead) {
            const auto header = JsonFields::parse(line);
            broken = !header || header->text("format") != RecordFormat || header->text("folder") != folder_ ||
                     header->integer("profile") != profile_;
            headerRead = true;
        } else if (auto result = resultOf(line)) {
            results_[result->first] = result->second;
        } else {
            broken = true;
        }
    }
    if (!broken && headerRead)
        return;
    results_.clear();
    message = "the watch record " + path_ + " does not read; it was moved aside to " + setAside(path_) +
              " and the folder's files count as new";
}

const WatchedFileResult* WatchRecord::find(const std::string& relative) const
{
    const auto found = results_.find(relative);
    return found == results_.end() ? nullptr : &found->second;
}

std::vector<std::string> WatchRecord::convertedWith(const WatchedFileKey& key, std::uint64_t inode) const
{
    std::vector<std::string> files;
    for (const auto& [file, result] : results_) {
        if (result.converted && result.key == key && result.inode == inode && inode != 0)
            files.push_back(file);
    }
    return files;
}

void WatchRecord::keep(const std::string& relative, const WatchedFileResult& result)
{
    results_[relative] = result;
    write();
}

void WatchRecord::write() const
{
    std::string bytes =
        JsonLine().text("format", RecordFormat).text("folder", folder_).integer("profile", profile_).str() + '\n';
    for (const auto& [file, result] : results_) {
        JsonLine line;
        line.text("file", file)
            .integer("size", static_cast<long long>(result.key.size))
            .integer("mtime_ns", result.key.modifiedNanoseconds)
            .integer("inode", static_cast<long long>(result.inode))
            .text("state", result.converted ? "converted" : "failed");
        if (result.converted)
            line.text("output", result.output);
        else
            line.text("reason", result.reason);
        bytes += line.str() + '\n';
    }
    replaceFileContents(path_, bytes);
}

}  // namespace clipforge
