#include "core/SaveManager.h"

#include "core/ConvertError.h"
#include "core/Errors.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// Writing goes through a temporary file renamed over the target, which would happily replace a
// file the user protected. Refuse such a file the way opening it for writing would; the write
// bits are tested as well because root may open any file.
void refuseReadOnlyFile(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return;
    if (::access(path.c_str(), W_OK) != 0)
        throw EFileError::cannotOpen(path, errno);
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw EFileError::cannotOpen(path, EACCES);
}

// The three values of one item, found in one pass: names compare without regard to letter case
// and, when a name repeats, the last one counts.
struct ItemValues {
    const TXmlElem* fileName = nullptr;
    const TXmlElem* format = nullptr;
    const TXmlElem* path = nullptr;
};

ItemValues valuesOf(const TXmlElem& item)
{
    ItemValues values;
    for (const auto& child : item.Children()) {
        const std::string& name = child->Name();
        if (clipforge::equalsIgnoreCase(name, "filename"))
            values.fileName = child.get();
        else if (clipforge::equalsIgnoreCase(name, "format"))
            values.format = child.get();
        else if (clipforge::equalsIgnoreCase(name, "path"))
            values.path = child.get();
    }
    return values;
}

TItemData jobOfItem(const TXmlElem& item, int position)
{
    const ItemValues values = valuesOf(item);
    if (!values.fileName)
        throw EXmlError("List item " + std::to_string(position) + " has no filename");
    return {clipforge::widen(values.fileName->Value()), values.format ? clipforge::textToInt(values.format->Value()) : -1,
            values.path ? clipforge::widen(values.path->Value()) : QString(), false, 0};
}

// The items of a list are needed only while a list is being written or read; every export
// starts by clearing them. Dropping them at once keeps a 100,000-job list from holding its
// document in memory for the rest of the run. The prolog and the root's name, which the next
// export writes back, stay.
class ReleaseItems {
public:
    explicit ReleaseItems(TXmlDocument& document) : document_(document) {}
    ~ReleaseItems() { document_.Root().Clear(); }
    ReleaseItems(const ReleaseItems&) = delete;
    ReleaseItems& operator=(const ReleaseItems&) = delete;

private:
    TXmlDocument& document_;
};

}  // namespace

TSaveManager::TSaveManager(TTreeManager& tree) : Document(std::make_unique<TXmlDocument>()), Tree(tree)
{
    Document->Prolog().SetEncoding("UTF-8");
    Document->Root().SetName("list");
}

TSaveManager::~TSaveManager() = default;

void TSaveManager::WriteList(const std::string& path)
{
    refuseReadOnlyFile(path);
    fillDocument();
    const ReleaseItems release(*Document);
    Document->SaveFile(path);
}

void TSaveManager::fillDocument()
{
    TXmlElemClassic& root = Document->Root();
    root.Clear();
    for (int row = 0; row < Tree.Count(); ++row) {
        const TItemData& job = Tree.Job(row).ItemData;
        TXmlElems& item = root.Children().AddChild("item").Children();
        item.AddChild("filename").SetValue(clipforge::narrow(job.FileName));
        item.AddChild("format").SetValue(std::to_string(job.Format));
        item.AddChild("path").SetValue(clipforge::narrow(job.Path));
    }
}

bool TSaveManager::ReadList(const std::string& path)
{
    if (Tree.Locked())
        return false;
    if (!clipforge::fileExists(path))
        return true;
    const ReleaseItems release(*Document);
    Document->LoadFile(path);
    appendJobsOfDocument();
    return true;
}

void TSaveManager::appendJobsOfDocument()
{
    const TXmlElems& items = Document->Root().Children();
    std::vector<TItemData> jobs;
    jobs.reserve(static_cast<std::size_t>(items.Count()));
    try {
        int position = 0;
        for (const auto& item : items) {
            // Comments, CDATA and stray text between the items are not jobs.
            if (item->Kind() == XmlElemKind::Classic)
                jobs.push_back(jobOfItem(*item, ++position));
        }
    } catch (...) {
        Tree.AppendJobs(std::move(jobs));
        throw;
    }
    Tree.AppendJobs(std::move(jobs));
}
