// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Qt output device over an atomic save (TAtomicFile): what is written goes straight
// into the temporary file, and the file named replaces the old one only on Commit.

#include <QIODevice>
#include <QString>

#include "settings/SettingsFileIO.h"

namespace zelk {

class TAtomicFileDevice : public QIODevice {
 public:
  TAtomicFileDevice() = default;
  /// Closes without committing: the old file stays, the temporary one goes.
  ~TAtomicFileDevice() override;

  /// Opens for writing the file at `path`, a name as the program holds it (every byte
  /// of the file system's name kept, FileNameToUtf16). False with a one-line Japanese
  /// reason in Reason().
  bool OpenFile(const QString& path);
  /// Replaces the file with what was written; false with Reason(). Closes the device.
  bool Commit();
  /// Why the last step failed, as the save says it: the path, the step, the system's
  /// reason.
  const QString& Reason() const { return reason_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override;

 private:
  TAtomicFile file_;
  QString reason_;
};

}  // namespace zelk
