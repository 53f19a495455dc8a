// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What CUPS itself says of a queue and of a job, where Qt's print engine cannot tell:
// whether the queue takes jobs, whether it is paused, and whether the job just sent was
// accepted.

#include <QString>

namespace zelk {

/// A queue's state as the scheduler reports it.
struct TQueueState {
  /// The scheduler answered for this queue.
  bool Reachable = false;
  /// No scheduler answered at all (none runs, or its socket cannot be reached).
  bool SchedulerDown = false;
  /// The queue takes new jobs (cupsaccept); false after cupsreject.
  bool Accepting = false;
  /// The queue holds its jobs instead of printing them (cupsdisable).
  bool Paused = false;
  /// CUPS's own words: the queue's state message, else its state reasons, else the
  /// scheduler's error when it did not answer.
  QString Reason;
};

/// Asks the scheduler about queue `name`.
TQueueState QueryQueue(const QString& name);

/// The failure of the last request this process made of CUPS (the print engine's
/// submission of a job, when asked right after it), in CUPS's words; empty when it
/// succeeded.
QString LastCupsFailure();

}  // namespace zelk
