// SPDX-License-Identifier: GPL-3.0-or-later
// A build without CUPS (ZELK_WITH_CUPS=OFF): no scheduler can be asked, so every queue
// is out of reach and only the virtual printer prints.

#include "preview/qt/CupsQueue.h"

namespace zelk {

TQueueState QueryQueue(const QString&) {
  TQueueState state;
  state.SchedulerDown = true;
  state.Reason = QStringLiteral("zelk は CUPS なしで作られています / built without CUPS");
  return state;
}

QString LastCupsFailure() { return QString(); }

}  // namespace zelk
