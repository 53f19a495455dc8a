// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HideUnit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>

#include "app/ABOUT.h"
#include "app/SingleInstance.h"

namespace zelk {

THideForm::THideForm(QWidget* parent) : QWidget(parent), trayIcon1_(new QSystemTrayIcon(this)) {
  setObjectName(QStringLiteral("HideForm"));
  setWindowTitle(QStringLiteral("HideForm"));
  resize(172, 147);
  trayIcon1_->setObjectName(QStringLiteral("TrayIcon1"));
  trayIcon1_->setIcon(ProgramIcon());
  connect(trayIcon1_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) TrayIcon1DblClick();
          });
  if (QSystemTrayIcon::isSystemTrayAvailable()) trayIcon1_->show();
}

void THideForm::TrayIcon1DblClick() { BringToFront(mainForm_); }

void THideForm::closeEvent(QCloseEvent* event) {
  trayIcon1_->hide();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace zelk
