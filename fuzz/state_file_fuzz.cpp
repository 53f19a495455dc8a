// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes read as the application state file. Besides not crashing, leaking or
// hanging (nor allocating 64 MiB at once, see state_file_fuzz.options: a text length from
// a damaged file must not be trusted with memory), the state must settle: what was read,
// written, read and written again gives the same bytes twice.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "settings/Fileiounit.h"
#include "settings/StateFile.h"

namespace {

using namespace zelk;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "state_file_fuzz: %s\n", what);
  std::abort();
}

// A preview that keeps whatever it is given, as a window that fits nothing to a screen.
struct TPlainPreview : TPreviewStateForm {
  TFileRect Rect{0, 0, 640, 480};
  int32_t Zoom = 10, V = 0, H = 0;
  TStoredWindowState State = wsNormal;

  TFileRect GetFormRect() const override { return Rect; }
  void SetFormRect(TFileRect& r) override {
    if (r.Width() <= 0 || r.Height() <= 0)
      r = Rect;
    else
      Rect = r;
  }
  int32_t ZoomPosition() const override { return Zoom; }
  void SetZoomPosition(int32_t p) override { Zoom = p; }
  int32_t ScrollV() const override { return V; }
  int32_t ScrollH() const override { return H; }
  void SetScrollV(int32_t p) override { V = p; }
  void SetScrollH(int32_t p) override { H = p; }
  TStoredWindowState WindowState() const override { return State; }
  void SetWindowState(TStoredWindowState s) override { State = s; }
};

struct TPlainMain : TMainStateForm {
  int32_t Left = 0, Top = 0, Tab = 0;
  std::u16string Path;
  bool Show = false;
  std::unique_ptr<TPlainPreview> Preview;

  int32_t FormLeft() const override { return Left; }
  int32_t FormTop() const override { return Top; }
  int32_t ActiveTab() const override { return Tab; }
  std::u16string SettingFileName() const override { return Path; }
  bool ShowPreviewChecked() const override { return Show; }
  void SetFormLeft(int32_t v) override { Left = v; }
  void SetFormTop(int32_t v) override { Top = v; }
  void SetActiveTab(int32_t v) override { Tab = v; }
  void SetSettingFileName(const std::u16string& p) override { Path = p; }
  void SetShowPreviewChecked(bool c) override { Show = c; }
  TPreviewStateForm* ExistingPreview() override { return Preview.get(); }
  TPreviewStateForm& EnsurePreview() override {
    if (!Preview) Preview = std::make_unique<TPlainPreview>();
    return *Preview;
  }
};

std::string Write(TPlainMain& form) {
  TMemoryWriter w;
  WriteStateStream(w, form);
  return w.Bytes();
}

std::string ReadAndWrite(const std::string& bytes) {
  TPlainMain form;
  TMemoryReader r(bytes);
  ReadStateStream(r, form);
  return Write(form);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPlainMain form;
  TMemoryReader r(data, size);
  ReadStateStream(r, form);
  Check(r.Position() <= size, "read past the input");
  Check(form.Path.size() <= size / 2, "a path longer than the input");
  const std::string once = ReadAndWrite(Write(form));
  Check(ReadAndWrite(once) == once, "a written state does not read back to itself");
  return 0;
}
