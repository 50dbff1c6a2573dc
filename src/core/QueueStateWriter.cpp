#include "core/QueueStateWriter.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/SaveManager.h"
#include "core/xml/XmlDocument.h"

#include <cerrno>

namespace clipforge {

void writeQueueFile(const std::string& path, const std::vector<TItemData>& jobs)
{
    if (jobs.empty()) {
        if (!removeFile(path))
            throw EFileError::cannotCreate(path, errno);
        return;
    }
    // A document of its own each time: the kept queue never takes over an imported list's prolog.
    TXmlDocument document;
    document.Prolog().SetEncoding("UTF-8");
    document.Root().SetName("list");
    saveJobs(document, path, static_cast<int>(jobs.size()),
             [&jobs](int row) -> const TItemData& { return jobs[static_cast<std::size_t>(row)]; });
}

QueueStateWriter::QueueStateWriter(std::string path, Written written)
    : path_(std::move(path)), written_(std::move(written)), thread_([this] { loop(); })
{
}

QueueStateWriter::~QueueStateWriter()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void QueueStateWriter::write(std::vector<TItemData> jobs)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        waiting_ = std::move(jobs);
    }
    wake_.notify_one();
}

bool QueueStateWriter::idle() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return !waiting_ && !writing_;
}

void QueueStateWriter::waitUntilIdle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !waiting_ && !writing_; });
}

void QueueStateWriter::loop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return waiting_ || ending_; });
        if (!waiting_)
            return;
        const std::vector<TItemData> jobs = std::move(*waiting_);
        waiting_.reset();
        writing_ = true;
        lock.unlock();
        std::string error;
        try {
            writeQueueFile(path_, jobs);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
        if (written_)
            written_(error);
        lock.lock();
        writing_ = false;
        if (!waiting_)
            idle_.notify_all();
    }
}

}  // namespace clipforge
