#include "batch/batch_progress.h"

#include <algorithm>

CBatchProgress::CBatchProgress(int fileCount, bool join)
    : entries_(static_cast<size_t>(fileCount > 0 ? fileCount : 0)), hasJoin_(join) {}

CBatchProgress::CItem* CBatchProgress::ItemAt(int position) {
  if (position >= 1 && position <= static_cast<int>(entries_.size())) return &entries_[position - 1];
  return position == 0 ? &join_ : nullptr;
}

void CBatchProgress::OnCommandStart(int position, double seconds) {
  CItem* item = ItemAt(position);
  if (item == nullptr) return;
  if (position == 0 && !hasJoin_) whole_ = true;
  if (seconds > 0) item->length = seconds;
  item->reached = 0;
  item->heard = false;
  running_ = position;
}

void CBatchProgress::OnStatistics(int position, const CFfmpegProgress& progress) {
  CItem* item = ItemAt(position);
  if (item == nullptr) return;
  if (item->length <= 0 && progress.total > 0) item->length = progress.total;
  item->reached = progress.seconds;
  item->heard = true;
  // Kept past the command's end: the next one's time left starts from it until it says its own.
  if (progress.speed > 0) speed_ = progress.speed;
}

void CBatchProgress::OnFileEnd(int position) {
  CItem* item = ItemAt(position);
  if (item == nullptr) return;
  item->done = true;
  if (position == running_) running_ = -1;
  // The files of a merge of video and audio end with its one command.
  if (whole_ && position > 0 &&
      std::all_of(entries_.begin(), entries_.end(), [](const CItem& entry) { return entry.done; }))
    join_.done = true;
}

double CBatchProgress::Estimate() const {
  double sum = 0;
  int known = 0;
  for (const CItem& entry : entries_) {
    if (entry.length <= 0) continue;
    sum += entry.length;
    ++known;
  }
  return known > 0 ? sum / known : 0;
}

double CBatchProgress::Weight(const CItem& item, double estimate) const {
  if (item.length > 0) return item.length;
  return estimate > 0 ? estimate : 1;
}

void CBatchProgress::Sum(double& total, double& done) const {
  total = done = 0;
  // Done so far of an item whose length is known; of one whose length is not, nothing until it ends.
  auto part = [](const CItem& item, double weight) {
    if (item.done) return weight;
    return item.length > 0 ? std::min(item.reached, item.length) / item.length * weight : 0.0;
  };
  if (whole_) {
    total = Weight(join_, 0);
    done = part(join_, total);
    return;
  }
  const double estimate = Estimate();
  for (const CItem& entry : entries_) {
    const double weight = Weight(entry, estimate);
    total += weight;
    done += part(entry, weight);
  }
  if (hasJoin_) {
    // The join writes every part again.
    const double parts = total;
    total += parts;
    done += part(join_, parts);
  }
}

double CBatchProgress::Fraction() const {
  double total = 0, done = 0;
  Sum(total, done);
  return total > 0 ? std::clamp(done / total, 0.0, 1.0) : 0;
}

const CBatchProgress::CItem* CBatchProgress::Running() const {
  if (running_ < 0) return nullptr;
  return running_ == 0 ? &join_ : &entries_[static_cast<size_t>(running_ - 1)];
}

int CBatchProgress::CommandPercent() const {
  const CItem* item = Running();
  if (item == nullptr || !item->heard || item->length <= 0) return -1;
  return static_cast<int>(std::clamp(item->reached / item->length, 0.0, 1.0) * 100);
}

double CBatchProgress::Speed() const {
  const CItem* item = Running();
  return item != nullptr && item->heard ? speed_ : 0;
}

double CBatchProgress::SecondsLeft() const {
  if (speed_ <= 0) return -1;
  bool known = whole_ ? join_.length > 0 : Estimate() > 0;
  if (!known) return -1;
  double total = 0, done = 0;
  Sum(total, done);
  return std::max(0.0, total - done) / speed_;
}
