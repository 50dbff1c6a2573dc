#include "core/SaveManager.h"

#include "core/ConvertError.h"
#include "core/Errors.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "core/xml/XmlDocument.h"
#include "core/xml/XmlText.h"

#include <exception>
#include <string>
#include <vector>

namespace {

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
    clipforge::saveJobs(*Document, path, Tree.Count(), [this](int row) -> const TItemData& {
        return Tree.Job(row).ItemData;
    });
}

bool TSaveManager::ReadList(const std::string& path)
{
    if (Tree.Locked())
        return false;
    if (!clipforge::fileExists(path))
        return true;
    const ReleaseItems release(*Document);
    // Items are turned into jobs as they are read. A malformed file must still fail before any
    // job is added, so the first bad item only stops the conversion; its error is raised, with
    // the jobs before it appended, once the whole file has read well.
    std::vector<TItemData> jobs;
    std::exception_ptr itemError;
    int position = 0;
    Document->LoadFile(path, [&](TXmlElem& item) {
        // Comments, CDATA and stray text between the items are not jobs.
        if (itemError || item.Kind() != XmlElemKind::Classic)
            return;
        try {
            jobs.push_back(jobOfItem(item, ++position));
        } catch (...) {
            itemError = std::current_exception();
        }
    });
    Tree.AppendJobs(std::move(jobs));
    if (itemError)
        std::rethrow_exception(itemError);
    return true;
}

namespace clipforge {

void saveJobs(TXmlDocument& document, const std::string& path, int count,
              const std::function<const TItemData&(int)>& jobAt)
{
    TXmlElemClassic& root = document.Root();
    root.Clear();
    // The root's children are written one job at a time through a single reused item: a long
    // list is never built as a tree of its own, the bytes are the same as if it were.
    TXmlElemClassic item;
    item.SetName("item");
    TXmlElem& fileName = item.Children().AddChild("filename");
    TXmlElem& format = item.Children().AddChild("format");
    TXmlElem& folder = item.Children().AddChild("path");
    document.SaveFile(path, count, [&](int row) -> const TXmlElem& {
        const TItemData& job = jobAt(row);
        fileName.SetValue(narrow(job.FileName));
        format.SetValue(std::to_string(job.Format));
        folder.SetValue(narrow(job.Path));
        return item;
    });
}

std::string withListExtension(const std::string& name)
{
    static const std::string listExtension = ".kxl";
    return extensionPart(name) == listExtension ? name : name + listExtension;
}

}  // namespace clipforge
