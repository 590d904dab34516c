// FormattingPipeline: the records of an export formatted on worker threads
// and written in order by them.
//
// The reader reads the data file straight into blocks of a fixed number of
// records and says which of them to export; each block is formatted by one
// worker into a buffer of its own, and the buffers are handed to the writer
// in the order the blocks were filled, by the worker that finds the oldest
// one done, one worker at a time. At most a few blocks are in flight, so
// memory does not grow with the file; the reader waits when the workers
// fall behind. What is written (a text's bytes, a table's rows) is what the
// writer's own WriteRecord would write, at any number of threads.
#ifndef RECORDHAUL_EXPORT_FORMATTING_PIPELINE_H_
#define RECORDHAUL_EXPORT_FORMATTING_PIPELINE_H_

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/status.h"
#include "export/record_writer.h"

namespace rh {

class FormattingPipeline {
 public:
  // Starts `threads` workers, each with a formatter of `writer`, for records
  // of `record_length` bytes. The writer must make formatters
  // (NewFormatter); `threads` is at least 1.
  FormattingPipeline(RecordWriter& writer, int threads, int32_t record_length,
                     size_t records_per_block);
  // Calls Stop().
  ~FormattingPipeline();
  FormattingPipeline(const FormattingPipeline&) = delete;
  FormattingPipeline& operator=(const FormattingPipeline&) = delete;

  // The reader fills blocks in place: it reads up to records_per_block()
  // records into BlockRecords(), names those to export by their index in
  // the block with Keep, in order, and hands the block over with
  // SubmitBlock: the number of its first record, and how many records were
  // exported before it. Waits while too many blocks are in flight. A failed
  // write is returned here or by a later call, and nothing more is written.
  size_t records_per_block() const { return records_per_block_; }
  uint8_t* BlockRecords();
  void Keep(size_t index) { filling_->kept.push_back(static_cast<uint32_t>(index)); }
  Status SubmitBlock(int32_t first_record_number, int32_t exported_before);
  // Writes every block still in flight.
  Status Flush();
  // Stops the workers once the block being written, if any, is written,
  // and drops the others. Returns the first failed write, which the run
  // reports before whatever made it stop.
  Status Stop();

  // Threads for `requested` (0: one per core), or 1 when parallel
  // formatting would not help.
  static int ThreadsFor(int requested);

 private:
  struct Block {
    std::vector<uint8_t> records;  // records_per_block records as read
    std::vector<uint32_t> kept;    // the indexes of those to export
    int32_t first_record_number = 0;
    int32_t exported_before = 0;
    std::string bytes;  // formatted: the first `used` bytes
    size_t used = 0;
    bool done = false;
  };

  void Work(RecordFormatter* formatter);
  void Format(RecordFormatter* formatter, Block* block);
  std::unique_ptr<Block> NewBlock();

  RecordWriter& writer_;
  const int32_t record_length_;
  const size_t records_per_block_;
  const size_t max_in_flight_;
  std::vector<std::unique_ptr<RecordFormatter>> formatters_;
  std::vector<std::thread> workers_;

  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable room_;               // a block was written
  std::deque<Block*> todo_;                    // to format, oldest first
  std::deque<std::unique_ptr<Block>> order_;   // in flight, in record order
  std::vector<std::unique_ptr<Block>> spare_;  // written, for reuse
  bool writing_ = false;                       // a worker is writing the head
  bool stopping_ = false;
  Status failed_;                              // the first failed write

  std::unique_ptr<Block> filling_;  // the reader's, not yet submitted
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_FORMATTING_PIPELINE_H_
