#include "export/formatting_pipeline.h"

#include <algorithm>
#include <cstring>

namespace rh {

FormattingPipeline::FormattingPipeline(RecordWriter& writer, int threads, int32_t record_length,
                                       size_t records_per_block)
    : writer_(writer),
      record_length_(record_length),
      records_per_block_(std::max<size_t>(records_per_block, 1)),
      // Enough to keep every worker busy while one of them writes.
      max_in_flight_(2 * static_cast<size_t>(std::max(threads, 1)) + 1) {
  for (int i = 0; i < threads; ++i)
    if (auto f = writer.NewFormatter()) formatters_.push_back(std::move(f));
  for (auto& f : formatters_) workers_.emplace_back([this, f = f.get()] { Work(f); });
}

FormattingPipeline::~FormattingPipeline() { Stop().IgnoreError(); }

Status FormattingPipeline::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : workers_) t.join();
  workers_.clear();
  return failed_;
}

int FormattingPipeline::ThreadsFor(int requested) {
  const int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  return std::max(n, 1);
}

void FormattingPipeline::Format(RecordFormatter* formatter, Block* block) {
  // The buffer only grows, and blocks are reused: after the first few no
  // block allocates or clears memory.
  const size_t room = formatter->MaxBytes();
  size_t used = 0;
  const size_t length = static_cast<size_t>(record_length_);
  for (size_t i = 0; i < block->kept.size(); ++i) {
    if (block->bytes.size() - used < room)
      block->bytes.resize(std::max(2 * block->bytes.size(), used + room));
    char* const begin = block->bytes.data();
    const uint32_t index = block->kept[i];
    const uint8_t* record = block->records.data() + index * length;
    const int32_t number = block->first_record_number + static_cast<int32_t>(index);
    const int32_t exported = block->exported_before + static_cast<int32_t>(i) + 1;
    used = static_cast<size_t>(formatter->Format(record, number, exported, begin + used) - begin);
  }
  block->used = used;
}

void FormattingPipeline::Work(RecordFormatter* formatter) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    work_ready_.wait(lock, [this] { return stopping_ || !todo_.empty(); });
    if (stopping_) return;
    Block* block = todo_.front();
    todo_.pop_front();
    lock.unlock();
    Format(formatter, block);
    lock.lock();
    block->done = true;
    // Whichever worker finds the oldest block done writes it, and those
    // done after it: the bytes go out in order, from the thread that has
    // just made them, while the reader goes on reading.
    while (!writing_ && !stopping_ && !order_.empty() && order_.front()->done) {
      std::unique_ptr<Block> head = std::move(order_.front());
      order_.pop_front();
      writing_ = true;
      lock.unlock();
      Status s = failed_.ok() ? writer_.WriteFormatted(std::string_view(head->bytes.data(), head->used))
                              : Status();
      lock.lock();
      writing_ = false;
      if (!s.ok() && failed_.ok()) failed_ = s;
      spare_.push_back(std::move(head));
    }
    room_.notify_all();
  }
}

std::unique_ptr<FormattingPipeline::Block> FormattingPipeline::NewBlock() {
  std::unique_ptr<Block> block;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!spare_.empty()) {
      block = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  if (!block) {
    block = std::make_unique<Block>();
    block->records.resize(records_per_block_ * static_cast<size_t>(record_length_));
    block->kept.reserve(records_per_block_);
  }
  block->kept.clear();
  block->done = false;
  return block;
}

uint8_t* FormattingPipeline::BlockRecords() {
  if (!filling_) filling_ = NewBlock();
  return filling_->records.data();
}

Status FormattingPipeline::SubmitBlock(int32_t first_record_number, int32_t exported_before) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (filling_ && !filling_->kept.empty()) {
    Block* block = filling_.get();
    block->first_record_number = first_record_number;
    block->exported_before = exported_before;
    order_.push_back(std::move(filling_));
    todo_.push_back(block);
    work_ready_.notify_one();
  }
  // The reader waits while enough blocks are in flight.
  room_.wait(lock, [this] { return order_.size() < max_in_flight_ || !failed_.ok(); });
  return failed_;
}

Status FormattingPipeline::Flush() {
  std::unique_lock<std::mutex> lock(mutex_);
  room_.wait(lock, [this] { return (order_.empty() && !writing_) || !failed_.ok(); });
  return failed_;
}

}  // namespace rh
