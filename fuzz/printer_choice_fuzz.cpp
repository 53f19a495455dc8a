// Arbitrary bytes read as the printer chosen last. Besides not crashing, hanging or
// leaking, what is read settles: formatted and parsed again, it is the same choice.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "settings/PrinterChoice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelk;
  const auto first =
      ParsePrinterChoice(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first) return 0;
  const std::string text = FormatPrinterChoice(*first);
  const auto second = ParsePrinterChoice(text);
  if (!second || FormatPrinterChoice(*second) != text) {
    std::fprintf(stderr, "printer_choice_fuzz: the choice does not settle\n");
    std::abort();
  }
  return 0;
}
