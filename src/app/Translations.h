// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own texts (the file, font and print dialogs, the standard buttons) in Japanese,
// like every other text of the program, whatever the user's locale.

class QCoreApplication;

namespace zelk {

/// Installs Qt's Japanese translations (qtbase_ja from Qt's translations folder) into
/// `app`. False when they are not installed; the texts then stay in English.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace zelk
