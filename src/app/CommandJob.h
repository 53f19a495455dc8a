// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A long job of the command line, page after page: its progress on standard error, and
// its interruption by SIGINT or SIGTERM.

#include <QCommandLineParser>
#include <csignal>

#include "preview/qt/Printing.h"

namespace zelk {

/// A job stopped by a signal: the command ends with exit status 128 + Signal, as a shell
/// reports a program the signal ended, once what it was writing has been thrown away.
struct TJobInterrupted {
  int Signal;
};

/// --quiet: no progress and no announcement.
void AddQuietOption(QCommandLineParser& parser);

/// While it lives, SIGINT and SIGTERM only mark the job to stop (the handlers before
/// are restored afterwards), so that the page at hand ends and nothing partial is left.
/// Progress ("12 / 2043 ページ") is shown on standard error while that is a terminal,
/// on one line written over; a job of more than kLongJobPages pages says how many it
/// has first, terminal or not. --quiet silences both.
class TCommandJob {
 public:
  TCommandJob(const QCommandLineParser& parser, int pages);
  ~TCommandJob();
  TCommandJob(const TCommandJob&) = delete;
  TCommandJob& operator=(const TCommandJob&) = delete;

  /// Before page `index` (from 0): shows the progress; throws TJobInterrupted when a
  /// signal came.
  void Page(int index);
  /// Throws TJobInterrupted when a signal came (after a job that caught the throw).
  void ThrowIfInterrupted() const;

 private:
  int pages_;
  bool progress_;
  bool shown_ = false;
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

}  // namespace zelk
