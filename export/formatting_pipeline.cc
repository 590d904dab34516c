#include "export/formatting_pipeline.h"

#include <algorithm>
#include <cstring>

namespace rh {

FormattingPipeline::FormattingPipeline(RecordWriter& writer, int threads, int32_t record_length,
                                       size_t records_per_block)
    : writer_(writer),
      record_length_(record_length),
      records_per_block_(std::max<size_t>(records_per_block, 1)),
      // Enough to keep every worker busy while the reader writes one block.
      max_in_flight_(2 * static_cast<size_t>(std::max(threads, 1)) + 1) {
  for (int i = 0; i < threads; ++i)
    if (auto f = writer.NewFormatter()) formatters_.push_back(std::move(f));
  for (auto& f : formatters_) workers_.emplace_back([this, f = f.get()] { Work(f); });
}

FormattingPipeline::~FormattingPipeline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : workers_) t.join();
}

int FormattingPipeline::ThreadsFor(int requested) {
  const int n = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  return std::max(n, 1);
}

void FormattingPipeline::Work(RecordFormatter* formatter) {
  for (;;) {
    Block* block;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_ready_.wait(lock, [this] { return stopping_ || !todo_.empty(); });
      if (stopping_) return;
      block = todo_.front();
      todo_.pop_front();
    }
    // The buffer only grows, and blocks are reused: after the first few no
    // block allocates or clears memory.
    const size_t room = formatter->MaxBytes();
    size_t used = 0;
    const uint8_t* record = block->records.data();
    for (size_t i = 0; i < block->numbers.size(); ++i, record += record_length_) {
      if (block->bytes.size() - used < room)
        block->bytes.resize(std::max(2 * block->bytes.size(), used + room));
      char* const begin = block->bytes.data();
      used = static_cast<size_t>(
          formatter->Format(record, block->numbers[i], block->exported[i], begin + used) - begin);
    }
    block->used = used;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      block->done = true;
    }
    block_done_.notify_all();
  }
}

std::unique_ptr<FormattingPipeline::Block> FormattingPipeline::NewBlock() {
  std::unique_ptr<Block> block;
  if (!spare_.empty()) {
    block = std::move(spare_.back());
    spare_.pop_back();
  } else {
    block = std::make_unique<Block>();
    block->records.reserve(records_per_block_ * static_cast<size_t>(record_length_));
    block->numbers.reserve(records_per_block_);
    block->exported.reserve(records_per_block_);
  }
  block->records.clear();
  block->numbers.clear();
  block->exported.clear();
  block->done = false;
  return block;
}

void FormattingPipeline::Submit() {
  Block* block = filling_.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    order_.push_back(std::move(filling_));
    todo_.push_back(block);
  }
  work_ready_.notify_one();
}

Status FormattingPipeline::WriteDone(bool wait) {
  for (;;) {
    std::unique_ptr<Block> head;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (order_.empty()) return Status();
      if (!order_.front()->done) {
        if (!wait) return Status();
        block_done_.wait(lock, [this] { return order_.front()->done; });
      }
      head = std::move(order_.front());
      order_.pop_front();
    }
    wait = false;
    Status s = writer_.WriteFormatted(std::string_view(head->bytes.data(), head->used));
    spare_.push_back(std::move(head));
    if (!s.ok()) return failed_ = s;
  }
}

Status FormattingPipeline::Add(const uint8_t* record, int32_t record_number, int32_t exported) {
  if (!failed_.ok()) return failed_;
  if (!filling_) filling_ = NewBlock();
  filling_->records.insert(filling_->records.end(), record, record + record_length_);
  filling_->numbers.push_back(record_number);
  filling_->exported.push_back(exported);
  if (filling_->numbers.size() < records_per_block_) return Status();
  Submit();
  size_t in_flight;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    in_flight = order_.size();
  }
  return WriteDone(in_flight >= max_in_flight_);
}

Status FormattingPipeline::Flush() {
  if (!failed_.ok()) return failed_;
  if (filling_ && !filling_->numbers.empty()) Submit();
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (order_.empty()) return Status();
    }
    if (Status s = WriteDone(true); !s.ok()) return s;
  }
}

}  // namespace rh
