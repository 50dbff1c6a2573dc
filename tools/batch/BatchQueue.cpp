#include "BatchQueue.h"

#include "BatchReport.h"
#include "core/TreeManager.h"

namespace clipforge {

BatchQueue::BatchQueue(const TCommandManager& catalogue, TTreeManager& list, BatchReport& report, int parallel)
    : report_(report), pool_(catalogue, list, parallel)
{
    pool_.onJobStarted = [this](const PooledJob& job) { report_.jobStarted(job); };
    pool_.onJobEnded = [this](const PooledJob& job, const PooledJobOutcome& outcome) { jobEnded(job, outcome); };
    pool_.onProgress = [this, &list] { report_.progress(pool_.runningJobs(), pool_.endedJobs(), list.Count()); };
    pool_.onRunEnded = [this] {
        ended_ = true;
        loop_.quit();
    };
}

void BatchQueue::run()
{
    pool_.skip = skip;
    pool_.beforeCommit = beforeCommit;
    pool_.start();
    if (!ended_)
        loop_.exec();
}

void BatchQueue::jobEnded(const PooledJob& job, const PooledJobOutcome& outcome)
{
    if (afterJob)
        afterJob(job, outcome);
    report_.jobEnded(outcome);
    if (!outcome.finished && onJobFailed)
        onJobFailed(outcome);
    if (outcome.warned() && onJobWarned)
        onJobWarned(outcome);
}

}  // namespace clipforge
