#pragma once

#include <memory>
#include <string>

class TXmlDocument;

// The staging list: the profile and folder of freshly picked files, held between the Add Files
// dialog and the job list's AddJobs. One "item" per file under the root "list", each with the
// children "filename", "format" and "path". Never written to a file.
class TItemManager {
public:
    TItemManager();
    ~TItemManager();
    TItemManager(const TItemManager&) = delete;
    TItemManager& operator=(const TItemManager&) = delete;

    void AddItem(const std::string& fileName, int formatIndex, const std::string& path);
    // The format of item i as a number: EListError for a position outside the list,
    // EConvertError for a text that is no integer.
    int GetFormat(int i) const;
    std::string GetPath(int i) const;
    int Count() const;
    void Clear();

    std::unique_ptr<TXmlDocument> Document;

private:
    std::string childValue(int i, const char* name) const;
};
