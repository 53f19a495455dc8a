// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/AtomicFileDevice.h"

#include <cstring>

#include "base/Utf8.h"

namespace zelk {

TAtomicFileDevice::~TAtomicFileDevice() { file_.Discard(); }

bool TAtomicFileDevice::OpenFile(const QString& path) {
  std::string error;
  if (!file_.Open(FileNameFromUtf16(path.toStdU16String()), &error)) {
    reason_ = QString::fromStdString(error);
    setErrorString(reason_);
    return false;
  }
  reason_.clear();
  return open(QIODevice::WriteOnly);
}

qint64 TAtomicFileDevice::writeData(const char* data, qint64 size) {
  TByteWriter& w = file_.Writer();
  w.Write(data, static_cast<size_t>(size));
  if (!w.Failed()) return size;
  setErrorString(QString::fromUtf8(std::strerror(w.Error())));
  return -1;
}

bool TAtomicFileDevice::Commit() {
  std::string error;
  const bool ok = isOpen() && file_.Commit(&error);
  close();
  if (!ok) {
    reason_ = error.empty() ? errorString() : QString::fromStdString(error);
    setErrorString(reason_);
  }
  return ok;
}

}  // namespace zelk
