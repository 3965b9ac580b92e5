#include "cli/batch_pipeline.h"

#include <string_view>
#include <system_error>

namespace forstrix::cli::batch {

namespace {

// The text of the blocks read ahead of the writer, at most: with lines of
// megabytes a block holds one line, and only a few of them wait at once.
constexpr std::size_t kMaxBytesInFlight = 16 * Chunk::kMaxBytes;

}  // namespace

Pipeline::Pipeline(const Table& t, unsigned workers, files::AtomicFile& out, std::FILE* err)
    : t_(t), out_(out), err_(err), slots_(workers == 0 ? 1 : 2 * workers + 1) {
    try {
        for (unsigned k = 0; k < workers; ++k) threads_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // The system refuses another thread (a limit on processes or
        // memory): the rows are computed by the threads that did start, or
        // by this one. The results are the same, only slower.
    }
    if (threads_.empty()) inline_worker_ = std::make_unique<Worker>();
}

Pipeline::~Pipeline() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stop_ = true;
    }
    cv_.notify_all();
    for (std::thread& th : threads_) th.join();
}

Chunk& Pipeline::next_free() {
    std::unique_lock<std::mutex> lock(m_);
    while (filled_ - written_ >= slots_.size() || (filled_ > written_ && bytes_in_flight_ >= kMaxBytesInFlight))
        write_oldest(lock);
    Chunk& c = slots_[filled_ % slots_.size()].chunk;
    c.clear();
    return c;
}

void Pipeline::submit() {
    std::unique_lock<std::mutex> lock(m_);
    const std::uint64_t seq = filled_++;
    Slot& slot = slots_[seq % slots_.size()];
    bytes_in_flight_ += slot.chunk.text.size();
    if (!inline_worker_) {
        cv_.notify_all();
        return;
    }
    // Without worker threads the block is computed here and now.
    taken_ = filled_;
    lock.unlock();
    process_chunk(t_, slot.chunk, *inline_worker_, any_bad_);
    lock.lock();
    slot.done = true;
}

bool Pipeline::drain() {
    std::unique_lock<std::mutex> lock(m_);
    while (written_ < filled_) write_oldest(lock);
    return !write_failed_;
}

void Pipeline::write_oldest(std::unique_lock<std::mutex>& lock) {
    Slot& slot = slots_[written_ % slots_.size()];
    cv_.wait(lock, [&] { return slot.done; });
    lock.unlock();
    const Chunk& c = slot.chunk;
    if (!c.messages.empty()) std::fwrite(c.messages.data(), 1, c.messages.size(), err_);
    bad_ += c.bad;
    good_ += c.good;
    const bool wanted = t_.skip_invalid || bad_ == 0;
    if (wanted && !write_failed_ && c.out_used > 0 && !out_.write({c.out.data(), c.out_used})) write_failed_ = true;
    lock.lock();
    bytes_in_flight_ -= c.text.size();
    slot.done = false;
    ++written_;
}

void Pipeline::work() {
    Worker w;
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
        cv_.wait(lock, [&] { return taken_ < filled_ || stop_; });
        if (taken_ == filled_) return;  // stopping and nothing left
        const std::uint64_t seq = taken_++;
        lock.unlock();
        process_chunk(t_, slots_[seq % slots_.size()].chunk, w, any_bad_);
        lock.lock();
        slots_[seq % slots_.size()].done = true;
        cv_.notify_all();
    }
}

}  // namespace forstrix::cli::batch
