// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application state file (".dat"): where the main window stood, its active tab, the
// settings file that was current, whether the preview was shown, and the preview
// window's own section. Byte layout in FileFormat.h; a complete file with a preview
// section is 104 + 2n bytes, n being the UTF-16 length of the settings path.
//
// The windows take part through two small interfaces, so that the layout is written and
// read in one place and can be tested without any window.

#include <cstdint>
#include <string>

#include "settings/Fileiounit.h"

namespace zelk {

/// Window states as the preview section stores them.
enum TStoredWindowState : int32_t { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

/// The preview window's part of the state. Implemented by the preview window.
class TPreviewStateForm {
 public:
  virtual ~TPreviewStateForm() = default;

  /// The window's normal (neither minimised nor maximised) bounds in screen
  /// coordinates; right and bottom lie one past the window.
  virtual TFileRect GetFormRect() const = 0;
  /// Applies stored bounds. When the width or the height is zero or less the window is
  /// left as it is and `rect` is replaced by its current bounds.
  virtual void SetFormRect(TFileRect& rect) = 0;
  /// The zoom track bar's position (1 to 41).
  virtual int32_t ZoomPosition() const = 0;
  /// Sets the zoom position and shows the current page at that zoom (nothing while no
  /// page has been recorded).
  virtual void SetZoomPosition(int32_t position) = 0;
  virtual int32_t ScrollV() const = 0;
  virtual int32_t ScrollH() const = 0;
  /// Set at once, limited to the scroll range at that moment.
  virtual void SetScrollV(int32_t position) = 0;
  virtual void SetScrollH(int32_t position) = 0;
  virtual TStoredWindowState WindowState() const = 0;
  virtual void SetWindowState(TStoredWindowState state) = 0;
};

/// Writes the preview section that follows the marker 0x105: bounds, zoom, vertical and
/// horizontal scroll, window state, end marker. 56 bytes.
void SaveState(TByteWriter& w, const TPreviewStateForm& preview);

/// Reads a preview section up to a tag it does not handle (the end marker included),
/// applying each value as it is read. A stored window state other than 0, 1 or 2 is
/// read and ignored.
void LoadState(TByteReader& r, TPreviewStateForm& preview);

/// The main window's part of the state. Implemented by the main window.
class TMainStateForm {
 public:
  virtual ~TMainStateForm() = default;

  virtual int32_t FormLeft() const = 0;
  virtual int32_t FormTop() const = 0;
  virtual int32_t ActiveTab() const = 0;
  virtual std::u16string SettingFileName() const = 0;
  virtual bool ShowPreviewChecked() const = 0;

  /// Stored values are applied as they are: the position is not compared with the
  /// screen, nor the tab index with the number of tabs.
  virtual void SetFormLeft(int32_t left) = 0;
  virtual void SetFormTop(int32_t top) = 0;
  virtual void SetActiveTab(int32_t index) = 0;
  virtual void SetSettingFileName(const std::u16string& path) = 0;
  virtual void SetShowPreviewChecked(bool checked) = 0;

  /// The preview window, or null when it does not exist; a null preview writes no
  /// preview section.
  virtual TPreviewStateForm* ExistingPreview() = 0;
  /// The preview window, created first when it does not exist yet.
  virtual TPreviewStateForm& EnsurePreview() = 0;
};

/// Writes the whole state: entries 1 to 4, the preview flag 0x106, the preview section
/// when the preview exists, and the end marker.
void WriteStateStream(TByteWriter& w, TMainStateForm& form);

/// Reads a state stream, applying every entry as it is read, until a tag it does not
/// handle (the end marker included) or the end of the stream. A short or damaged file
/// therefore applies what it holds up to the damage; nothing is reported.
void ReadStateStream(TByteReader& r, TMainStateForm& form);

/// The outcome of saving the state file.
struct TStateSaveResult {
  bool Ok = false;
  /// Why the save failed (for the log of a caller; the user sees the fixed message).
  std::string Reason;
};

/// Writes the state file at `path` atomically: either the complete new file replaces
/// the old one, or the old one stays as it was. The folder is created when missing.
TStateSaveResult WriteStateFile(const std::string& path, TMainStateForm& form);

/// Reads the state file at `path`; false when there is none (or it cannot be opened),
/// and then nothing is applied.
bool ReadStateFile(const std::string& path, TMainStateForm& form);

/// The message shown when the state file cannot be written: the path, an empty line,
/// then "を書き出せません".
std::u16string StateFileWriteErrorMessage(const std::u16string& path);

}  // namespace zelk
