// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes read as zelk's settings file (the state file has a target of its own,
// state_file_fuzz).
//
// Besides not crashing, leaking or hanging (nor allocating 64 MiB at once, see
// settings_fuzz.options: a count from a damaged file must not be trusted with memory),
// a settings file must settle after one save: what was read, saved, read and saved
// again gives the same bytes twice.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/Fileiounit.h"
#include "settings/PrintSetting.h"
#include "settings/Printsettingunit.h"

namespace {

using namespace zelk;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "settings_fuzz: %s\n", what);
  std::abort();
}

std::string Save(const TPrintSetting& s) {
  TMemoryWriter w;
  WriteSettingsFile(w, s);
  return w.Bytes();
}

TPrintSetting Load(const std::string& bytes) {
  TPrintSetting s;
  TMemoryReader r(bytes);
  ReadSettingsFile(r, s);
  return s;
}

void ReadAsSettingsFile(const uint8_t* data, size_t size) {
  TPrintSetting s;
  TMemoryReader r(data, size);
  TReadReport report;
  ReadSettingsFile(r, s, &report);
  Check(r.Position() <= size && report.StopOffset <= size, "read past the input");
  Check(s.Yokogaki == !s.Tategaki, "Yokogaki is not the opposite of Tategaki");
  // The first save settles the fonts' height to their size; from then on a file
  // reproduces itself.
  const std::string once = Save(Load(Save(s)));
  Check(Save(Load(once)) == once, "a saved file does not read back to itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadAsSettingsFile(data, size);
  return 0;
}
