#include "preview/Metafile.h"

namespace zelk {

void TMetafileEx::Draw(TPlaybackTarget& target, const TDeviceRect& dest) const {
  if (!target.HasClip()) {
    target.Play(*this, dest);
    return;
  }
  target.SaveAndRemoveClip();
  try {
    target.Play(*this, dest);
  } catch (...) {
    target.RestoreClip();
    throw;
  }
  target.RestoreClip();
}

}  // namespace zelk
