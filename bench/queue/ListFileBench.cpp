// Import and export of a 100,000-job list: our list-file handler against pugixml on the same
// bytes, and the memory one job costs in the job list.
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"
#include "core/xml/FileIo.h"
#include "core/xml/XmlDocument.h"

#include <QTemporaryDir>

#include <pugixml.hpp>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <utility>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int JobCount = 100000;
constexpr int Repeats = 5;

// Medians of two measurements taken in turns, so that both meet the same state of the heap and
// of the machine (another build may be running).
std::pair<double, double> alternatingMedians(const std::function<void()>& prepareA, const std::function<void()>& a,
                                             const std::function<void()>& prepareB, const std::function<void()>& b)
{
    std::vector<double> first;
    std::vector<double> second;
    const auto time = [](const std::function<void()>& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < Repeats; ++i) {
        prepareA();
        first.push_back(time(a));
        prepareB();
        second.push_back(time(b));
    }
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    return {first[Repeats / 2], second[Repeats / 2]};
}

double medianSeconds(const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> seconds;
    for (int i = 0; i < Repeats; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[Repeats / 2];
}

std::vector<TItemData> sampleJobs()
{
    std::vector<TItemData> jobs;
    for (int i = 0; i < JobCount; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/home/user/Videos/Holiday 2026/clip-%06d & more.avi", i);
        jobs.push_back({clipforge::widen(name), i % 14, i % 3 ? QString() : QStringLiteral("/home/user/out/"),
                        false, 0});
    }
    return jobs;
}

std::string readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct StringWriter : pugi::xml_writer {
    std::string bytes;
    void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), size); }
};

std::size_t heapInUse()
{
    // Large blocks (the job vector) are mapped separately and counted apart.
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

int main()
{
    QTemporaryDir folder;
    const std::string listPath = folder.filePath("jobs.kxl").toStdString();
    const std::string pugiPath = folder.filePath("pugi.kxl").toStdString();
    const std::vector<std::string> names(14, "profile");
    TItemManager staging;
    TTreeManager tree(names, staging);

    const std::size_t heapBefore = heapInUse();
    tree.AppendJobs(sampleJobs());
    const double bytesPerJob = double(heapInUse() - heapBefore) / JobCount;

    TSaveManager saver(tree);
    saver.WriteList(listPath);
    const std::string bytes = readBytes(listPath);

    pugi::xml_document pugiDocument;
    pugiDocument.load_buffer(bytes.data(), bytes.size());
    const auto [ourWrite, pugiWrite] = alternatingMedians([] {}, [&] { saver.WriteList(listPath); }, [] {}, [&] {
        StringWriter writer;
        pugiDocument.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
        FILE* file = std::fopen(pugiPath.c_str(), "wb");
        std::fwrite(writer.bytes.data(), 1, writer.bytes.size(), file);
        std::fclose(file);
    });

    double importedBytesPerJob = 0;
    {
        TItemManager freshStaging;
        TTreeManager freshTree(names, freshStaging);
        TSaveManager freshReader(freshTree);
        const std::size_t heapBeforeImport = heapInUse();
        freshReader.ReadList(listPath);
        importedBytesPerJob = double(heapInUse() - heapBeforeImport) / JobCount;
    }

    TItemManager readerStaging;
    TTreeManager readerTree(names, readerStaging);
    TSaveManager reader(readerTree);
    const auto [ourRead, pugiRead] = alternatingMedians(
        [&] { readerTree.Clear(); }, [&] { reader.ReadList(listPath); }, [] {}, [&] {
            pugi::xml_document document;
            document.load_buffer(bytes.data(), bytes.size());
        });
    // Where the time goes: the XML layer's own reading and writing, and the safe file replace
    // (temporary file, fsync, rename) that keeps an old list intact until the new one is whole.
    TXmlDocument document;
    const double xmlRead = medianSeconds([] {}, [&] { document.Load(bytes); });
    std::string written;
    const double xmlWrite = medianSeconds([&] { written.clear(); }, [&] { document.Save(written); });
    const double safeReplace = medianSeconds([] {}, [&] { clipforge::replaceFileContents(listPath, written); });

    const bool sameJobs = readerTree.Count() == JobCount &&
                          readerTree.Job(JobCount - 1).ItemData.FileName == tree.Job(JobCount - 1).ItemData.FileName;

    std::printf("list file of %d jobs, %.1f MB%s\n", JobCount, bytes.size() / 1e6, sameJobs ? "" : " (READ BACK WRONG)");
    std::printf("import: ReadList into the job list %.1f ms, pugixml load_buffer %.1f ms, ratio %.2f (goal <= 2)\n",
                ourRead * 1e3, pugiRead * 1e3, ourRead / pugiRead);
    std::printf("export: WriteList %.1f ms, pugixml save to memory + fwrite %.1f ms, ratio %.2f (goal <= 2)\n",
                ourWrite * 1e3, pugiWrite * 1e3, ourWrite / pugiWrite);
    std::printf("of which: XML Load %.1f ms, XML Save to memory %.1f ms, safe file replace %.1f ms\n", xmlRead * 1e3,
                xmlWrite * 1e3, safeReplace * 1e3);
    std::printf("memory: %.0f bytes per job in the job list; an import keeps %.0f bytes per job (job list included)\n", bytesPerJob,
                importedBytesPerJob);
    return sameJobs ? 0 : 1;
}
