// Reads a batch table's rows in blocks, computes the blocks on worker
// threads and writes their results and messages in the order of the table.
// A fixed ring of blocks, each bounded by rows and bytes, keeps memory flat
// whatever the number and the length of the rows.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/batch_rows.h"
#include "files/atomic_file.h"

namespace forstrix::cli::batch {

class Pipeline {
public:
    // Results go to `out` (while no row has failed, or bad rows are
    // skipped), messages to `err`. With `workers` 0, or when not a single
    // thread can be started, the blocks are computed by the caller's thread.
    Pipeline(const Table& t, unsigned workers, files::AtomicFile& out, std::FILE* err);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // The next block to fill; blocks whose rows are all written are reused.
    Chunk& next_free();
    // Hands the block last returned by next_free to the workers.
    void submit();
    // Writes every remaining block; false when a write failed.
    bool drain();
    unsigned long bad() const { return bad_; }
    unsigned long good() const { return good_; }

private:
    struct Slot {
        Chunk chunk;
        bool done = false;
    };

    void write_oldest(std::unique_lock<std::mutex>& lock);
    void work();

    const Table& t_;
    files::AtomicFile& out_;
    std::FILE* err_;
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
    std::unique_ptr<Worker> inline_worker_;  // when no thread computes
    std::mutex m_;
    std::condition_variable cv_;
    std::uint64_t filled_ = 0, taken_ = 0, written_ = 0;
    std::size_t bytes_in_flight_ = 0;  // text of the blocks filled, not yet written
    bool stop_ = false;
    bool write_failed_ = false;
    std::atomic<bool> any_bad_{false};
    unsigned long bad_ = 0, good_ = 0;
};

}  // namespace forstrix::cli::batch
