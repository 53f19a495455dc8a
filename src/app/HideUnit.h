// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's hidden main form: never shown, it owns the tray icon that brings
// the main window back, and closing it ends the program.

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

namespace zelk {

class THideForm : public QWidget {
  Q_OBJECT
 public:
  /// Creates the tray icon `TrayIcon1` with the program's icon and shows it where the
  /// desktop has a notification area; elsewhere the icon stays hidden and nothing else
  /// changes.
  explicit THideForm(QWidget* parent = nullptr);

  /// The window the tray icon brings back.
  void SetMainForm(QWidget* mainForm) { mainForm_ = mainForm; }
  QSystemTrayIcon* TrayIcon1() { return trayIcon1_; }

 public slots:
  /// Shows the main window and brings it to the front.
  void TrayIcon1DblClick();

 protected:
  /// Closing the hidden form ends the message loop, whatever other windows are open.
  void closeEvent(QCloseEvent* event) override;

 private:
  QSystemTrayIcon* trayIcon1_;
  QPointer<QWidget> mainForm_;
};

}  // namespace zelk
