#include "JoblogHistory.h"

#include "JsonFields.h"
#include "core/Errors.h"
#include "core/Paths.h"
#include "core/xml/FileIo.h"

namespace clipforge {
namespace {

std::uint64_t unsignedField(const JsonFields& fields, const char* key)
{
    return static_cast<std::uint64_t>(fields.integer(key).value_or(0));
}

CommitIntent intentOf(const JsonFields& fields, int index)
{
    CommitIntent intent;
    intent.index = index;
    intent.source = fields.text("source").value_or("");
    intent.profile = static_cast<int>(fields.integer("profile").value_or(-1));
    intent.privateFile = fields.text("private_file").value_or("");
    intent.device = unsignedField(fields, "device");
    intent.inode = unsignedField(fields, "inode");
    intent.size = unsignedField(fields, "size");
    intent.output = fields.text("output").value_or("");
    return intent;
}

}  // namespace

JoblogHistory JoblogHistory::read(const std::string& path, const std::string& listHash)
{
    JoblogHistory history;
    if (!pathOccupied(path))
        return history;
    const std::string bytes = readRegularFile(path);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            break;  // the line a killed run was writing
        const auto fields = JsonFields::parse(std::string_view(bytes).substr(start, end - start));
        start = end + 1;
        const std::string event = fields ? fields->text("event").value_or("") : "";
        if (!history.started_) {
            if (event != "joblog")
                throw Error(path + " is not a joblog; it is left as it is");
            if (fields->text("list_hash") != listHash)
                throw Error("the joblog " + path + " belongs to another list; it is left as it is");
            history.started_ = true;
            continue;
        }
        const auto index = fields ? fields->integer("index") : std::nullopt;
        if (!index)
            continue;
        const int job = static_cast<int>(*index);
        history.unsettled_.erase(job);
        history.finished_.erase(job);
        if (event == "commit-intent")
            history.unsettled_[job] = intentOf(*fields, job);
        else if (event == "job-ended" && fields->text("state") == "finished")
            history.finished_[job] = {fields->text("output").value_or(""), unsignedField(*fields, "size")};
    }
    if (!history.started_ && !bytes.empty())
        throw Error(path + " is not a joblog; it is left as it is");
    return history;
}

const JoblogHistory::Finished* JoblogHistory::finished(int index) const
{
    const auto found = finished_.find(index);
    return found == finished_.end() ? nullptr : &found->second;
}

const CommitIntent* JoblogHistory::unsettled(int index) const
{
    const auto found = unsettled_.find(index);
    return found == unsettled_.end() ? nullptr : &found->second;
}

}  // namespace clipforge
