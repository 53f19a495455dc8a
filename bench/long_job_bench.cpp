// SPDX-License-Identifier: GPL-3.0-or-later
// Long jobs as a whole process: a text of 100, 1,000 and 2,000 pages printed to the
// virtual printer (`zelk print --text T --printer PDF -o x.pdf`) and set into a PDF
// (`zelk compose T --printer PDF -o x.pdf`). Counters: pages a second, the process's
// peak resident memory, and the PDF's bytes a page. The memory a page costs is the
// difference of two peaks over the difference of their pages, taken in one run.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace {

// A text of `pages` pages, each a line and a page break.
QByteArray Novel(int pages) {
  QByteArray text;
  for (int i = 1; i <= pages; ++i) {
    text +=
        QStringLiteral("第%1頁 吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。")
            .arg(i)
            .toUtf8();
    if (i < pages) text += "\n［＃改ページ］\n";
  }
  return text;
}

// A novel's text of about `pages` pages of 20 × 20: paragraphs of 40 to 300 characters
// with ruby, 傍点, digits, Latin letters and dialogue, a 見出し every 60 pages and 字下げ
// verse now and then, as the Aozora Bunko's novels have them.
QByteArray DenseNovel(int pages) {
  const QString sentences[] = {
      QStringLiteral("吾輩《わがはい》は猫である。"),
      QStringLiteral("名前はまだ無い。"),
      QStringLiteral("どこで生れたかとんと見当《けんとう》がつかぬ。"),
      QStringLiteral("何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。"),
      QStringLiteral("「それは１２月のことだ」と主人は言った。"),
      QStringLiteral("吾輩はここで始めて人間というものを見た［＃「見た」に傍点］。"),
      QStringLiteral(
          "しかもあとで聞くとそれは書生という人間中で一番｜獰悪《どうあく》な種族であったそうだ。"),
      QStringLiteral("この書生というのは時々我々を捕《つかま》えて煮《に》て食うという話である。"),
      QStringLiteral("明治38年、Tokyoにて。"),
      QStringLiteral("え？　本当か！　と云った。"),
  };
  QString text;
  // On the default sheet 25 paragraphs fill some 13 pages (checked with zelk compose
  // --count: 1,634 paragraphs are 850 pages).
  const int paragraphs = pages * 25 / 13;
  for (int p = 0; p < paragraphs; ++p) {
    if (p % 133 == 0)
      text += QStringLiteral("［＃５字下げ］第%1章［＃「第%1章」は中見出し］\n").arg(p / 133 + 1);
    if (p % 97 == 50)
      text += QStringLiteral(
          "［＃ここから２字下げ］\n詩の一行目\n詩の二行目\n［＃ここで字下げ終わり］\n");
    const int count = 2 + p % 17;
    for (int k = 0; k < count; ++k) text += sentences[(p * 7 + k * 3) % 10];
    text += u'\n';
  }
  return text.toUtf8();
}

// Runs the program and gives its peak resident set in kilobytes, or -1 when it failed.
long RunAndMeasure(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

enum class TJob { Print, Compose, ComposeNovel, ComposeNovelB4 };

void BM_LongJob(benchmark::State& state, TJob job) {
  const bool print = job == TJob::Print;
  const std::string zelk = QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QStringLiteral("../src/zelk"))
                               .toStdString();
  if (!QFileInfo(QString::fromStdString(zelk)).isExecutable()) {
    state.SkipWithError("zelk executable not built beside the benchmarks");
    return;
  }
  const int pages = static_cast<int>(state.range(0));
  QTemporaryDir dir;
  QFile text(dir.filePath(QStringLiteral("novel.txt")));
  text.open(QIODevice::WriteOnly);
  const bool novel = job == TJob::ComposeNovel || job == TJob::ComposeNovelB4;
  text.write(novel ? DenseNovel(pages) : Novel(pages));
  text.close();
  const std::string in = text.fileName().toStdString();
  const std::string out = dir.filePath(QStringLiteral("x.pdf")).toStdString();
  std::vector<std::string> args =
      print
          ? std::vector<std::string>{zelk,  "print", "--text", in,       "--printer",
                                     "PDF", "-o",    out,      "--quiet"}
          : std::vector<std::string>{zelk, "compose", in, "--printer", "PDF", "-o", out, "--quiet"};
  // The ready-made B4 sheet has strips beside its cells, so ruby and 傍点 are drawn too.
  if (job == TJob::ComposeNovelB4) args.insert(args.end(), {"--preset", "b4-400"});
  long peak = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const long kb = RunAndMeasure(args);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (kb < 0) {
      state.SkipWithError("zelk failed");
      return;
    }
    peak = std::max(peak, kb);
  }
  state.counters["pages_per_s"] = pages * static_cast<double>(state.iterations()) / seconds;
  state.counters["peak_MB"] = peak / 1024.0;
  state.counters["pdf_bytes_per_page"] =
      static_cast<double>(QFileInfo(QString::fromStdString(out)).size()) / pages;
}

void BM_PrintToPdf(benchmark::State& state) { BM_LongJob(state, TJob::Print); }
void BM_ComposeToPdf(benchmark::State& state) { BM_LongJob(state, TJob::Compose); }
// A novel the length of 吾輩は猫である (some 850 pages of 20 × 20) set into a PDF.
void BM_ComposeNovelToPdf(benchmark::State& state) { BM_LongJob(state, TJob::ComposeNovel); }
void BM_ComposeNovelToPdfOnB4(benchmark::State& state) { BM_LongJob(state, TJob::ComposeNovelB4); }

BENCHMARK(BM_PrintToPdf)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_ComposeToPdf)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK(BM_ComposeNovelToPdf)->Arg(850)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ComposeNovelToPdfOnB4)
    ->Arg(850)
    ->Unit(benchmark::kSecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
