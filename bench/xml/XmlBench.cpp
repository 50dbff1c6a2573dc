// Throughput of loading and saving a large list file, against pugixml (DOM,
// load_buffer) and libxml2 (DOM), each the median of five runs.
#include "core/xml/XmlDocument.h"

#include <libxml/parser.h>
#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int itemCount = 100000;
constexpr int runs = 5;

// Paths like the ones people queue: long folders, spaces, an ampersand now
// and then, Latin-1 letters written as character references.
std::string makeListFile()
{
    TXmlDocument document;
    document.Prolog().SetEncoding("UTF-8");
    document.Root().SetName("list");
    for (int i = 0; i < itemCount; ++i) {
        auto& item = document.Root().Children().AddChild("item");
        const std::string n = std::to_string(i);
        item.Children().AddChild("filename").SetValue(
            "/home/someone/Videos/Holidays " + n + "/Summer in Caf\xE9 & Bar - camera " + n +
            "/recordings of the family trip to the mountains and the lake, part " + n + " of many.avi");
        item.Children().AddChild("format").SetValue(std::to_string(i % 19));
        item.Children().AddChild("path").SetValue(i % 3 == 0 ? "" : "/media/external disk/converted videos/" + n + "/");
    }
    return document.SaveToString();
}

double medianSeconds(const std::function<void()>& prepare, const std::function<void()>& measured,
                     const std::function<void()>& cleanUp)
{
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        measured();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cleanUp();
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[runs / 2];
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void report(const char* what, double megabytes, double seconds)
{
    std::printf("  %-28s %8.1f MB/s  (%.1f ms)\n", what, megabytes / seconds, seconds * 1000);
}

}  // namespace

int main()
{
    const std::string data = makeListFile();
    const double megabytes = static_cast<double>(data.size()) / 1e6;
    std::printf("list file: %d items, %.1f MB\n", itemCount, megabytes);

    std::unique_ptr<TXmlDocument> ours;
    const double oursLoad = medianSeconds([&] { ours = std::make_unique<TXmlDocument>(); },
                                          [&] { ours->Load(data); }, [&] { ours.reset(); });
    std::unique_ptr<pugi::xml_document> pugi;
    const double pugiLoad = medianSeconds([&] { pugi = std::make_unique<pugi::xml_document>(); },
                                          [&] { pugi->load_buffer(data.data(), data.size()); },
                                          [&] { pugi.reset(); });
    xmlDocPtr libxml = nullptr;
    const double libxmlLoad = medianSeconds(
        [] {}, [&] { libxml = xmlReadMemory(data.data(), static_cast<int>(data.size()), nullptr, nullptr, XML_PARSE_HUGE); },
        [&] { xmlFreeDoc(libxml); });

    std::printf("load\n");
    report("clipforge Load", megabytes, oursLoad);
    report("pugixml load_buffer", megabytes, pugiLoad);
    report("libxml2 xmlReadMemory", megabytes, libxmlLoad);
    std::printf("  ratio to pugixml: %.2f (goal >= 0.5)   ratio to libxml2: %.2f (goal >= 3)\n",
                pugiLoad / oursLoad, libxmlLoad / oursLoad);

    TXmlDocument source;
    source.Load(data);
    pugi::xml_document pugiSource;
    pugiSource.load_buffer(data.data(), data.size());
    // Both writers get the same kind of string: one that keeps its capacity from the previous
    // run (the writer's own speed), then a brand-new one (growth and first-touch page faults
    // included). Giving one of them a fresh string and the other a warm one measures malloc.
    std::string saved;
    StringWriter writer;
    const double oursSave = medianSeconds([&] { saved.clear(); }, [&] { source.Save(saved); }, [] {});
    const double pugiSave = medianSeconds([&] { writer.text.clear(); },
                                          [&] { pugiSource.save(writer, "  "); }, [] {});
    const double oursFresh = medianSeconds([&] { std::string().swap(saved); }, [&] { source.Save(saved); }, [] {});
    const double pugiFresh = medianSeconds([&] { std::string().swap(writer.text); },
                                           [&] { pugiSource.save(writer, "  "); }, [] {});
    const double oursMB = static_cast<double>(saved.size()) / 1e6;
    const double pugiMB = static_cast<double>(writer.text.size()) / 1e6;
    std::printf("save to memory (string capacity kept from the previous run)\n");
    report("clipforge Save", oursMB, oursSave);
    report("pugixml save", pugiMB, pugiSave);
    std::printf("  ratio to pugixml: %.2f (goal >= 0.5; same document; MB/s of each one's own output)\n",
                (oursMB / oursSave) / (pugiMB / pugiSave));
    std::printf("save to memory (a new string each run)\n");
    report("clipforge Save", oursMB, oursFresh);
    report("pugixml save", pugiMB, pugiFresh);
    std::printf("  ratio to pugixml: %.2f\n", (oursMB / oursFresh) / (pugiMB / pugiFresh));
    std::printf("  our output equals the input: %s\n", saved == data ? "yes" : "NO");
    return 0;
}
