// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandJob.h"

#include <unistd.h>

#include <cstdio>

namespace zelk {
namespace {

const QString kQuiet = QStringLiteral("quiet");

volatile std::sig_atomic_t interruption = 0;

void MarkInterrupted(int signal) { interruption = signal; }

}  // namespace

void AddQuietOption(QCommandLineParser& parser) {
  parser.addOption({kQuiet, QStringLiteral("Show no progress on standard error.")});
}

TCommandJob::TCommandJob(const QCommandLineParser& parser, int pages) : pages_(pages) {
  const bool quiet = parser.isSet(kQuiet);
  progress_ = !quiet && ::isatty(STDERR_FILENO) == 1;
  if (!quiet && pages > kLongJobPages) std::fprintf(stderr, "zelk: %d ページを出力します\n", pages);
  interruption = 0;
  struct sigaction mark {};
  mark.sa_handler = MarkInterrupted;
  sigemptyset(&mark.sa_mask);
  ::sigaction(SIGINT, &mark, &oldInt_);
  ::sigaction(SIGTERM, &mark, &oldTerm_);
}

TCommandJob::~TCommandJob() {
  ::sigaction(SIGINT, &oldInt_, nullptr);
  ::sigaction(SIGTERM, &oldTerm_, nullptr);
  if (shown_) std::fputc('\n', stderr);
}

void TCommandJob::Page(int index) {
  ThrowIfInterrupted();
  if (!progress_) return;
  std::fprintf(stderr, "\r%d / %d ページ", index + 1, pages_);
  std::fflush(stderr);
  shown_ = true;
}

void TCommandJob::ThrowIfInterrupted() const {
  if (interruption != 0) throw TJobInterrupted{static_cast<int>(interruption)};
}

}  // namespace zelk
