// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes read as each small file kept beside the state file: the printer chosen
// last and the text set last. Besides not crashing, hanging or leaking, what is read
// settles: formatted and parsed again, it is the same.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "settings/PrinterChoice.h"
#include "settings/RememberedText.h"

namespace {

[[noreturn]] void Unsettled(const char* what) {
  std::fprintf(stderr, "remembered_files_fuzz: the %s does not settle\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelk;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto first = ParsePrinterChoice(bytes)) {
    const std::string text = FormatPrinterChoice(*first);
    const auto second = ParsePrinterChoice(text);
    if (!second || FormatPrinterChoice(*second) != text) Unsettled("printer choice");
  }
  const std::string text = FormatRememberedText(ParseRememberedText(bytes));
  if (FormatRememberedText(ParseRememberedText(text)) != text) Unsettled("text");
  return 0;
}
