#pragma once
// How far a run has come, by the length of its media rather than by the files finished: each
// entry of the list weighs as long as it lasts, so a two-hour film counts for more than a
// ten-second clip. The progress bar, the taskbar button and the time left all read it.
//
// An entry's length is known once its command starts (the length the run expects of its output,
// or the first input's length that ffmpeg's statistics give); an entry not reached yet weighs
// the average of those known, and, while none is known, the same as each other. The join of a
// merge of files weighs the entries together (it writes all of them again); a merge of video and
// audio is one command for the whole list.
#include <vector>

#include "batch/ffmpeg_statistics.h"

class CBatchProgress {
 public:
  // fileCount: the entries of the run's list; join: whether a join of their parts follows.
  CBatchProgress(int fileCount, bool join);

  // A command starts: position 1..fileCount for an entry's own, 0 for the join or for a merge
  // of video and audio; seconds: how long its output will last, 0 when not known.
  void OnCommandStart(int position, double seconds);
  // ffmpeg's statistics of the command at position.
  void OnStatistics(int position, const CFfmpegProgress& progress);
  // The run is done with the entry at position (its command ended, or none was made); 0 for
  // the join or a merge of video and audio.
  void OnFileEnd(int position);

  // The share of the whole run done, 0 to 1.
  double Fraction() const;
  // The running command's percent, 0 to 100; -1 until its statistics have come, or while its
  // length is not known.
  int CommandPercent() const;
  // The running command's speed, times realtime; 0 until its statistics have said.
  double Speed() const;
  // The time left for the whole run at the last speed ffmpeg gave, in seconds; -1 while it
  // cannot be told (no speed yet, or no length known at all).
  double SecondsLeft() const;

 private:
  struct CItem {
    double length = 0;   // seconds of media; 0 while not known
    double reached = 0;  // seconds of it done
    bool heard = false;  // its command's statistics have come
    bool done = false;
  };

  CItem* ItemAt(int position);
  // The running command's item; null while none runs.
  const CItem* Running() const;
  // An item's weight: its length, or the estimate for one not known.
  double Weight(const CItem& item, double estimate) const;
  // The average length of the entries known, 0 when none is.
  double Estimate() const;
  // The weights of the whole run and of what is done.
  void Sum(double& total, double& done) const;

  std::vector<CItem> entries_;
  bool hasJoin_;
  CItem join_;          // the join, or a merge of video and audio
  bool whole_ = false;  // a command at position 0 without a join: it stands for the whole list
  int running_ = -1;    // the position of the running command; -1 for none
  double speed_ = 0;
};
