// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/StateFile.h"

#include <cstdio>
#include <memory>

#include "settings/AppFiles.h"
#include "settings/FileFormat.h"
#include "settings/NumberText.h"
#include "settings/SettingsFileIO.h"

namespace zelk {
namespace {

// A longer path names no file (PATH_MAX is 4096 bytes); reading stops keeping units
// there, so a damaged count costs no memory.
constexpr size_t kMaxPathUnits = 32767;

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void SaveState(TByteWriter& w, const TPreviewStateForm& preview) {
  const TFileRect r = preview.GetFormRect();
  WriteRect(w, kPreviewBounds, r.Left, r.Top, r.Right, r.Bottom);
  WriteInt(w, kPreviewZoom, preview.ZoomPosition());
  WriteInt(w, kPreviewScrollV, preview.ScrollV());
  WriteInt(w, kPreviewScrollH, preview.ScrollH());
  WriteInt(w, kPreviewWindowState, preview.WindowState());
  WriteMarker(w, kEndMarker);
}

void LoadState(TByteReader& r, TPreviewStateForm& preview) {
  for (;;) {
    switch (ReadInt(r)) {
      case kPreviewBounds: {
        TFileRect rect = ReadRect(r);
        preview.SetFormRect(rect);
        break;
      }
      case kPreviewZoom:
        preview.SetZoomPosition(ReadInt(r));
        break;
      case kPreviewScrollV:
        preview.SetScrollV(ReadInt(r));
        break;
      case kPreviewScrollH:
        preview.SetScrollH(ReadInt(r));
        break;
      case kPreviewWindowState: {
        const int32_t state = ReadInt(r);
        if (state >= wsNormal && state <= wsMaximized)
          preview.SetWindowState(static_cast<TStoredWindowState>(state));
        break;
      }
      default:
        return;
    }
  }
}

void WriteStateStream(TByteWriter& w, TMainStateForm& form) {
  WriteInt(w, kStateLeft, form.FormLeft());
  WriteInt(w, kStateTop, form.FormTop());
  WriteInt(w, kStateActiveTab, form.ActiveTab());
  WriteWideString(w, kStateSettingFileName, form.SettingFileName());
  WriteInt(w, kStateShowPreview, form.ShowPreviewChecked() ? 1 : 0);
  if (TPreviewStateForm* preview = form.ExistingPreview()) {
    WriteMarker(w, kStatePreviewSection);
    SaveState(w, *preview);
  }
  WriteMarker(w, kEndMarker);
}

void ReadStateStream(TByteReader& r, TMainStateForm& form) {
  for (;;) {
    switch (ReadInt(r)) {
      case kStateLeft:
        form.SetFormLeft(ReadInt(r));
        break;
      case kStateTop:
        form.SetFormTop(ReadInt(r));
        break;
      case kStateActiveTab:
        form.SetActiveTab(ReadInt(r));
        break;
      case kStateSettingFileName:
        form.SetSettingFileName(ReadWideString(r, TTextLimit{kMaxPathUnits}));
        break;
      case kStateShowPreview:
        form.SetShowPreviewChecked(ReadInt(r) != 0);
        break;
      case kStatePreviewSection:
        LoadState(r, form.EnsurePreview());
        break;
      default:
        return;
    }
  }
}

TStateSaveResult WriteStateFile(const std::string& path, TMainStateForm& form) {
  TStateSaveResult result;
  if (!MakeFolders(ExtractFileDir(path), &result.Reason)) return result;
  // The content is gathered first, so that the windows are asked once and the file is
  // written in one go.
  TMemoryWriter content;
  WriteStateStream(content, form);
  result.Ok = AtomicWriteFile(
      path, [&content](TByteWriter& w) { w.Write(content.Bytes().data(), content.Bytes().size()); },
      &result.Reason);
  return result;
}

bool ReadStateFile(const std::string& path, TMainStateForm& form) {
  std::unique_ptr<std::FILE, TFileCloser> file(OpenRegularFile(path, nullptr));
  if (!file) return false;
  TFileReader reader(file.get());
  ReadStateStream(reader, form);
  return true;
}

std::u16string StateFileWriteErrorMessage(const std::u16string& path) {
  return path + u"\n\nを書き出せません";
}

}  // namespace zelk
