// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

#include "controls/qt/SaNumEdit.h"
#include "controls/qt/TateEdit.h"
#include "preview/PrinterQuery.h"
#include "preview/qt/FontMapping.h"
#include "preview/qt/PrinterService.h"
#include "settings/NumberText.h"
#include "settings/SheetPresets.h"
#include "ui/ColorChoice.h"
#include "ui/ControlFlow.h"
#include "ui/FontChoice.h"
#include "ui/PreviewUnit.h"
#include "ui/PrinterSetupDialog.h"
#include "ui/RadioGroup.h"
#include "ui/UpdateLock.h"

namespace zelk {

namespace {

const QStringList kLineShapes = {QStringLiteral("なし"), QStringLiteral("波線"),
                                 QStringLiteral("直線"), QStringLiteral("四角"),
                                 QStringLiteral("丸")};

QString FromU16(const std::u16string& s) { return QString::fromStdU16String(s); }

// The resolution a font dialog's point sizes are related to pixels at: the screen's.
constexpr int kFontDialogDpi = 96;

}  // namespace

// --- construction ----------------------------------------------------------------------

TMainForm::TMainForm(TPrinterService& printer, QWidget* parent, double scale)
    : QDialog(parent), printer_(printer) {
  InitUiResources();
  // The designed window and its controls.
  setObjectName(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  const int dpi = ScreenLogicalDpi();
  setFont(WindowFont(dpi));
  scale_ = scale > 0 ? TDesignScale(scale) : TDesignScale::For(font(), dpi);
  InstallFontSubstitutions();

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  BuildTabKihon();
  BuildTabYohaku();
  BuildTabOrime();
  BuildTabLine();
  BuildTabPageNumber();
  BuildTabTitle();
  BuildToolBar();
  PrinterSetupDialog1 = new TPrinterSetupDialog(printer_, this);
  connect(PrinterSetupDialog1, &TPrinterSetupDialog::Closed, this,
          &TMainForm::PrinterSetupDialog1Close);
  FontDialog1 = new QFontDialog(WindowFont(kFontDialogDpi), this);
  FontDialog1->setWindowTitle(QStringLiteral("フォント"));
  ShowError = [this](const QString& message) {
    QMessageBox::critical(this, QApplication::applicationName(), message);
  };

  // Locked until the first showing has loaded the values; files named after the program.
  UpdateLock = 1;
  const QFileInfo exe(QCoreApplication::applicationFilePath());
  const QString stem = exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName();
  StateFileName = stem + QStringLiteral(".dat");
  CaptionBase = QStringLiteral("原稿用紙印刷 (") + exe.completeBaseName() + QStringLiteral(")");
  SettingFileName = stem + QStringLiteral(".zelk");
  UpdateCaption();
  Modified = false;
  // The controls made at run time, the one settings record, tab order and fonts.
  ReplaceNumericEdits();
  L_PrinterName->setText(PrinterCaption());
  L_PrinterName->adjustSize();
  Settings.reserve(20);
  Settings.push_back(std::make_unique<TPrintSetting>());
  CurrentSetting = Settings.back().get();
  CreateVerticalEdits();
  SetTabOrders();
  ConnectFontButtons();
  KeepLabelsClearOfTheirFields();
  KeepControlsApart();
  FitWindow();
}

namespace {

// The top of the room inside a group box, below its title.
int ContentsTop(const QGroupBox* box) {
  QStyleOptionGroupBox opt;
  opt.initFrom(box);
  opt.text = box->title();
  opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  return box->style()
      ->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, box)
      .top();
}

// `field` and the button after it on one line within `right`: the button keeps its
// width and moves left as far as needed, the field gives up the room.
void FitFieldAndButton(QWidget* field, QWidget* button, int gap, int right) {
  if (button->x() + button->width() > right) button->move(right - button->width(), button->y());
  const int room = button->x() - gap - field->x();
  if (field->width() > room) field->resize(std::max(room, 1), field->height());
}

}  // namespace

void TMainForm::KeepControlsApart() {
  // Designed for 8-point Tahoma; other fonts make captions wider and lines taller.
  const int gap = scale_(3);
  const int page = scale_(326);
  auto inside = [this](const QWidget* w) { return w->width() - scale_(6); };

  FlowRow({Label1, E_PaperName, RG_Orientation}, gap, scale_(4), inside(GB_PaperSize));
  FlowRow({L_PaperSizeV, NE_PaperSizeH, L_PaperSizeH, NE_PaperSizeV}, gap, scale_(4),
          inside(GB_PaperSize));
  // Both lines below the paper box's frame line, which would run through the caption of
  // 紙の向き where it was designed; the box grows to hold them.
  FlowColumn({{Label1, E_PaperName, RG_Orientation},
              {L_PaperSizeV, NE_PaperSizeH, L_PaperSizeH, NE_PaperSizeV}},
             gap, ContentsTop(GB_PaperSize) + scale_(1), INT_MAX / 2);
  GB_PaperSize->resize(
      GB_PaperSize->width(),
      std::max(GB_PaperSize->height(), NE_PaperSizeH->geometry().bottom() + 1 + scale_(6)));
  FlowRow({L_MojisuuV, SE_Tate, L_MojisuuH, SE_Yoko}, gap, scale_(4), inside(GroupBox1));
  FlowColumn({{L_PrinterName}, {GB_PaperSize}, {GroupBox1}, {RG_Tategaki}}, 0, 0, scale_(242));

  FlowRow({L_YohakuL, NE_YohakuL, Bevel1, L_YohakuR, NE_YohakuR}, gap, 0, page - scale_(2));

  const int orimeRight = inside(GB_Orime);
  FitFieldAndButton(E_CenterCaption, B_SetCenterCaptionFont, gap, orimeRight);
  FitFieldAndButton(E_BottomCaption, B_SetBottomCaptionFont, gap, orimeRight);
  FlowRow({L_OrimeW, NE_OrimeW}, gap, scale_(4), orimeRight);
  FlowColumn({{L_OrimeW, NE_OrimeW},
              {Label2},
              {E_CenterCaption, B_SetCenterCaptionFont},
              {Label3},
              {E_BottomCaption, B_SetBottomCaptionFont},
              {RG_Gyobi}},
             scale_(1), ContentsTop(GB_Orime) + scale_(2), GB_Orime->height() - scale_(4));

  FlowRow({L_LineWidth, NE_LineWidth}, gap, 0, scale_(318));
  FlowRow({CB_OuterLine, L_OuterLineWidth, NE_OuterLineWidth}, gap, 0, scale_(318));

  const int pageNumberRight = inside(GB_PageNumber);
  // The distance's caption is one of two texts without the designed colon; its right
  // edge stays where it was designed.
  int captionWidth = 0;
  for (const QString& text : {QStringLiteral("中央から(C)"), QStringLiteral("紙から(C)")})
    captionWidth = std::max(captionWidth, L_PageNumber->fontMetrics().horizontalAdvance(text));
  const int captionRight = L_PageNumber->geometry().right();
  L_PageNumber->setFixedWidth(captionWidth + scale_(2));
  L_PageNumber->move(captionRight + 1 - L_PageNumber->width(), L_PageNumber->y());
  FlowRow({L_PageNumber, SE_PageNumber, Label5, Label4, SE_PageNumberWidth}, gap, scale_(4),
          pageNumberRight, {SE_PageNumber, SE_PageNumberWidth}, scale_(32));
  FlowRow({Label6, E_PageNumberTitle, B_PageNumberTitle}, gap, scale_(4), pageNumberRight);

  FlowRow({L_OutsideTextSpace, NE_OutsideTextSpace, L_OutsideText2}, gap, B_Title->x() + scale_(2),
          B_Title->geometry().right() - scale_(2));
}

void TMainForm::KeepLabelsClearOfTheirFields() {
  // A caption ends just before the field it labels. With a font wider than the designed
  // one, its designed left edge would put its end under the field, so it moves left.
  const int gap = scale_(2);
  for (QLabel* label : findChildren<QLabel*>()) {
    const QWidget* field = label->buddy();
    if (!field || field->parentWidget() != label->parentWidget() || field->x() <= label->x())
      continue;
    const int overlap = label->geometry().right() - (field->x() - gap);
    if (overlap > 0) label->move(std::max(0, label->x() - overlap), label->y());
  }
}

TMainForm::~TMainForm() {
  Settings.clear();
  CurrentSetting = nullptr;
}

void TMainForm::UpdateCaption() {
  setWindowTitle(CaptionBase + QStringLiteral(" - ") +
                 QFileInfo(SettingFileName).completeBaseName());
}

void TMainForm::FitWindow() {
  // Tab headers taller than the designed 20 pixels would eat into the pages' room.
  const int extra = PageControl1->tabBar()->sizeHint().height() - scale_(20);
  const int pagesHeight = scale_(270) + (extra > 0 ? extra : 0);
  PageControl1->setGeometry(0, 0, scale_(334), pagesHeight);
  Panel1->setGeometry(0, pagesHeight, scale_(334), scale_(38));
  setFixedSize(scale_(334), pagesHeight + scale_(38));
  move(scale_(100), scale_(100));
}

// --- small builders --------------------------------------------------------------------

QLabel* TMainForm::NewLabel(QWidget* parent, const QString& text, int left, int top,
                            bool rightAligned) {
  auto* label = new QLabel(text, parent);
  label->move(scale_(left), scale_(top));
  label->adjustSize();
  if (rightAligned) {
    // The right edge of the designed caption stays put when the caption changes.
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedWidth(label->width());
  }
  return label;
}

QLineEdit* TMainForm::NewEdit(QWidget* parent, const char* name, int left, int top, int width,
                              int height) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(scale_.Rect(left, top, width, height));
  return edit;
}

QCheckBox* TMainForm::NewCheck(QWidget* parent, const char* name, const QString& text, int left,
                               int top, int width, int height, bool checked) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  QRect r = scale_.Rect(left, top, width, height);
  // A caption wider than designed (other fonts than Tahoma) widens the box rather than
  // being clipped.
  if (!text.isEmpty() && box->sizeHint().width() > r.width()) r.setWidth(box->sizeHint().width());
  if (box->sizeHint().height() > r.height() && !text.isEmpty())
    r.adjust(0, -(box->sizeHint().height() - r.height()) / 2, 0,
             (box->sizeHint().height() - r.height() + 1) / 2);
  box->setGeometry(r);
  box->setChecked(checked);
  return box;
}

QCheckBox* TMainForm::NewCheck(QWidget* parent, TControl id, const QString& text, int left, int top,
                               int width, int height) {
  QCheckBox* box = NewCheck(parent, ControlName(id), text, left, top, width, height,
                            ControlSpec(id).Default != 0);
  Register(id, box);
  return box;
}

void TMainForm::Register(TControl id, QWidget* control) {
  controls_[static_cast<size_t>(id)] = control;
}

QSpinBox* TMainForm::NewSpin(QWidget* parent, TControl id, int left, int top, int width,
                             int height) {
  const TControlSpec& c = ControlSpec(id);
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(c.Name));
  spin->setGeometry(scale_.Rect(left, top, width, height));
  if (c.Min == c.Max)
    spin->setRange(-INT_MAX, INT_MAX);  // no limits
  else
    spin->setRange(c.Min, c.Max);
  spin->setValue(static_cast<int>(c.Default));
  Register(id, spin);
  return spin;
}

TRadioGroup* TMainForm::NewRadio(QWidget* parent, TControl id, const QString& caption,
                                 const QStringList& items, int columns, int left, int top,
                                 int width, int height) {
  const TControlSpec& c = ControlSpec(id);
  Q_ASSERT(items.size() == c.Max + 1);
  auto* group = new TRadioGroup(caption, columns, parent);
  group->setObjectName(QString::fromLatin1(c.Name));
  group->setGeometry(scale_.Rect(left, top, width, height));
  group->SetItems(items);
  group->SetItemIndex(static_cast<int>(c.Default));
  Register(id, group);
  return group;
}

QToolButton* TMainForm::NewSpeedButton(QWidget* parent, const char* icon, int left, int top,
                                       const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setGeometry(scale_.Rect(left, top, 23, 22));
  // The disabled image comes from the icon engine's own disabled mode.
  button->setIcon(QIcon(QStringLiteral(":/ui/icons/%1.svg").arg(QLatin1String(icon))));
  button->setIconSize(QSize(scale_(16), scale_(16)));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  if (!hint.isEmpty()) button->setToolTip(hint);
  return button;
}

QPushButton* TMainForm::NewButton(QWidget* parent, const QString& text, int left, int top,
                                  int width, int height) {
  auto* button = new QPushButton(text, parent);
  QRect r = scale_.Rect(left, top, width, height);
  if (button->sizeHint().width() > r.width()) r.setWidth(button->sizeHint().width());
  button->setGeometry(r);
  button->setAutoDefault(false);
  return button;
}

QFrame* TMainForm::NewBevel(QWidget* parent, int left, int top, int width, int height) {
  auto* bevel = new QFrame(parent);
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel->setGeometry(scale_.Rect(left, top, width, height));
  return bevel;
}

// --- the tabs --------------------------------------------------------------------------

void TMainForm::BuildTabKihon() {
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  PageControl1->addTab(TabSheet1, QStringLiteral("基本"));

  L_PrinterName = NewLabel(TabSheet1, QStringLiteral("プリンター："), 0, 0);
  L_PrinterWarning = NewLabel(TabSheet1, QString(), 0, 0);
  L_PrinterWarning->setObjectName(QStringLiteral("L_PrinterWarning"));
  L_PrinterWarning->setStyleSheet(QStringLiteral("color: #b00020;"));
  L_PrinterWarning->hide();
  GB_PaperSize = new QGroupBox(QStringLiteral("用紙"), TabSheet1);
  GB_PaperSize->setGeometry(scale_.Rect(0, 13, 326, 83));
  Label1 = NewLabel(GB_PaperSize, QStringLiteral("名："), 8, 20);
  E_PaperName = NewEdit(GB_PaperSize, ControlName(TControl::E_PaperName), 28, 17, 77, 21);
  E_PaperName->setReadOnly(true);
  E_PaperName->setFocusPolicy(Qt::NoFocus);
  Register(TControl::E_PaperName, E_PaperName);
  RG_Orientation = NewRadio(GB_PaperSize, TControl::RG_Orientation, QStringLiteral("紙の向き"),
                            {QStringLiteral("縦長"), QStringLiteral("横長")}, 2, 118, 9, 123, 39);
  connect(RG_Orientation, &TRadioGroup::Clicked, this, &TMainForm::RG_OrientationClick);
  L_PaperSizeV = NewLabel(GB_PaperSize, QStringLiteral("縦："), 8, 58);
  E_PaperSizeH = NewEdit(GB_PaperSize, "E_PaperSizeH", 28, 54, 77, 21);
  L_PaperSizeH = NewLabel(GB_PaperSize, QStringLiteral("横："), 124, 58);
  E_PaperSizeV = NewEdit(GB_PaperSize, "E_PaperSizeV", 145, 54, 77, 21);

  GroupBox1 = new QGroupBox(QStringLiteral("文字数は"), TabSheet1);
  GroupBox1->setGeometry(scale_.Rect(0, 96, 326, 49));
  L_MojisuuV = NewLabel(GroupBox1, QStringLiteral("縦(&V)："), 27, 22);
  SE_Tate = NewSpin(GroupBox1, TControl::SE_Tate, 65, 17, 41, 22);
  L_MojisuuV->setBuddy(SE_Tate);
  L_MojisuuH = NewLabel(GroupBox1, QStringLiteral("横(&H)："), 124, 22);
  SE_Yoko = NewSpin(GroupBox1, TControl::SE_Yoko, 161, 17, 41, 22);
  L_MojisuuH->setBuddy(SE_Yoko);
  for (QSpinBox* s : {SE_Tate, SE_Yoko})
    connect(s, &QSpinBox::valueChanged, this, &TMainForm::E_CenterCaptionChange);

  RG_Tategaki =
      NewRadio(TabSheet1, TControl::RG_Tategaki, QStringLiteral("書き方は"),
               {QStringLiteral("縦書き用"), QStringLiteral("横書き用")}, 2, 0, 145, 326, 43);
  connect(RG_Tategaki, &TRadioGroup::Clicked, this, &TMainForm::RG_TategakiClick);
}

void TMainForm::BuildTabYohaku() {
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(TabSheet2, QStringLiteral("余白"));
  Bevel1 = NewBevel(TabSheet2, 96, 65, 117, 76);
  L_YohakuU = NewLabel(TabSheet2, QStringLiteral("上(&U)："), 117, 41);
  E_YohakuU = NewEdit(TabSheet2, "E_YohakuU", 150, 38, 40, 21);
  L_YohakuL = NewLabel(TabSheet2, QStringLiteral("左(&L)："), 17, 93);
  E_YohakuL = NewEdit(TabSheet2, "E_YohakuL", 50, 90, 40, 21);
  L_YohakuR = NewLabel(TabSheet2, QStringLiteral("右(&R)："), 222, 93);
  E_YohakuR = NewEdit(TabSheet2, "E_YohakuR", 255, 90, 40, 21);
  L_YohakuB = NewLabel(TabSheet2, QStringLiteral("下(&B)："), 117, 150);
  E_YohakuB = NewEdit(TabSheet2, "E_YohakuB", 150, 147, 40, 21);
}

void TMainForm::BuildTabOrime() {
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  PageControl1->addTab(TabSheet3, QStringLiteral("折り目"));
  RG_Orime =
      NewRadio(TabSheet3, TControl::RG_Orime, QStringLiteral("折り目を"),
               {QStringLiteral("付けない"), QStringLiteral("1行分"), QStringLiteral("幅指定")}, 3,
               0, 0, 326, 36);
  connect(RG_Orime, &TRadioGroup::Clicked, this, &TMainForm::RG_OrimeClick);
  GB_Orime = new QGroupBox(QStringLiteral("折り目の指定"), TabSheet3);
  // It fills the rest of the page; the page's designed client area is 326 x 242.
  GB_Orime->setGeometry(scale_.Rect(0, 36, 326, 242 - 36));
  L_OrimeW = NewLabel(GB_Orime, QStringLiteral("折り目の幅(&O)："), 12, 18);
  E_OrimeW = NewEdit(GB_Orime, "E_OrimeW", 92, 14, 49, 21);
  Label2 = NewLabel(GB_Orime, QStringLiteral("中央部に表示する文字："), 10, 42);
  E_CenterCaption = NewEdit(GB_Orime, ControlName(TControl::E_CenterCaption), 10, 57, 237, 21);
  B_SetCenterCaptionFont = NewButton(GB_Orime, QStringLiteral("フォント..."), 253, 56, 61, 23);
  Label3 = NewLabel(GB_Orime, QStringLiteral("下(右)部に表示する文字："), 9, 84);
  E_BottomCaption = NewEdit(GB_Orime, ControlName(TControl::E_BottomCaption), 10, 98, 237, 21);
  B_SetBottomCaptionFont = NewButton(GB_Orime, QStringLiteral("フォント..."), 253, 96, 61, 23);
  RG_Gyobi =
      NewRadio(GB_Orime, TControl::RG_Gyobi, QStringLiteral("魚尾"),
               {QStringLiteral("なし"), QStringLiteral("4:10:6a"), QStringLiteral("4:10:6b")}, 4, 9,
               122, 305, 63);
  connect(RG_Gyobi, &TRadioGroup::Clicked, this, &TMainForm::RG_OrimeClick);
  Register(TControl::E_CenterCaption, E_CenterCaption);
  Register(TControl::E_BottomCaption, E_BottomCaption);
  for (QLineEdit* e : {E_CenterCaption, E_BottomCaption}) {
    connect(e, &QLineEdit::textChanged, this, &TMainForm::E_CenterCaptionChange);
  }
}

void TMainForm::BuildTabLine() {
  TabSheet4 = new QWidget;
  TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
  PageControl1->addTab(TabSheet4, QStringLiteral("線"));
  RG_LineType = NewRadio(TabSheet4, TControl::RG_LineType, QStringLiteral("線の形状(&T)"),
                         kLineShapes, 5, 0, 3, 318, 41);
  L_LineWidth = NewLabel(TabSheet4, QStringLiteral("線の太さ(&R)："), 73, 47);
  E_LineWidth = NewEdit(TabSheet4, "E_LineWidth", 142, 44, 49, 21);
  RG_OrimeLineType =
      NewRadio(TabSheet4, TControl::RG_OrimeLineType,
               QStringLiteral("折り目の左右(上下)の線の形状(&O)"), kLineShapes, 5, 0, 79, 318, 41);
  CB_OuterLine = NewCheck(TabSheet4, TControl::CB_OuterLine, QStringLiteral("更に外側に線を引く"),
                          5, 136, 117, 17);
  L_OuterLineWidth = NewLabel(TabSheet4, QStringLiteral("線の太さ(&S)："), 134, 137);
  E_OuterLineWidth = NewEdit(TabSheet4, "E_OuterLineWidth", 203, 133, 49, 21);
  for (TRadioGroup* g : {RG_LineType, RG_OrimeLineType})
    connect(g, &TRadioGroup::Clicked, this, &TMainForm::E_CenterCaptionChange);
  connect(CB_OuterLine, &QCheckBox::toggled, this, &TMainForm::E_CenterCaptionChange);

  // Colours and count marks, below the shapes.
  const auto colorChoice = [this](bool follows, const char* name, int left, int top) {
    auto* box = new TColorChoice(TabSheet4, follows);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(scale_.Rect(left, top, 80, 22));
    connect(box, &TColorChoice::Changed, this, &TMainForm::SheetStyleChange);
    return box;
  };
  L_LineColor = NewLabel(TabSheet4, QStringLiteral("線の色(&C)："), 5, 165);
  CB_LineColor = colorChoice(false, "CB_LineColor", 100, 162);
  L_FrameColor = NewLabel(TabSheet4, QStringLiteral("枠の色(&F)："), 5, 190);
  CB_FrameColor = colorChoice(true, "CB_FrameColor", 100, 187);
  L_FoldColor = NewLabel(TabSheet4, QStringLiteral("折り目の色(&D)："), 5, 215);
  CB_FoldColor = colorChoice(true, "CB_FoldColor", 100, 212);
  const QStringList every = {QStringLiteral("なし"), QStringLiteral("5 行ごと"),
                             QStringLiteral("10 行ごと")};
  const auto countChoice = [&](const char* name, int left, int top) {
    auto* box = new QComboBox(TabSheet4);
    box->setObjectName(QLatin1String(name));
    box->addItems(every);
    box->setGeometry(scale_.Rect(left, top, 74, 22));
    connect(box, qOverload<int>(&QComboBox::activated), this, &TMainForm::SheetStyleChange);
    return box;
  };
  L_CountMarks = NewLabel(TabSheet4, QStringLiteral("数字(&N)："), 190, 165);
  CB_CountMarks = countChoice("CB_CountMarks", 246, 162);
  L_CountLines = NewLabel(TabSheet4, QStringLiteral("太線(&K)："), 190, 190);
  CB_CountLines = countChoice("CB_CountLines", 246, 187);
  for (const auto& [label, box] : {std::pair<QLabel*, QWidget*>{L_LineColor, CB_LineColor},
                                   {L_FrameColor, CB_FrameColor},
                                   {L_FoldColor, CB_FoldColor},
                                   {L_CountMarks, CB_CountMarks},
                                   {L_CountLines, CB_CountLines}})
    label->setBuddy(box);
}

namespace {

// The count-mark choices' items: なし, every 5 and every 10 lines.
constexpr int32_t kEvery[] = {0, 5, 10};

int EveryIndex(int32_t every) {
  for (int i = 0; i < 3; ++i)
    if (kEvery[i] == every) return i;
  return 0;
}

}  // namespace

void TMainForm::ShowSheetStyle() {
  const TUpdateLockGuard lock(UpdateLock);
  const TPrintSetting& s = *CurrentSetting;
  CB_LineColor->SetColor(s.LineColor);
  CB_FrameColor->SetColor(s.FrameColor, s.FrameColor == s.LineColor);
  CB_FoldColor->SetColor(s.FoldColor, s.FoldColor == s.LineColor);
  CB_CountMarks->setCurrentIndex(EveryIndex(s.CountMarks));
  CB_CountLines->setCurrentIndex(EveryIndex(s.CountLines));
}

void TMainForm::SheetStyleChange() {
  if (UpdateLock > 0) return;
  TPrintSetting& s = *CurrentSetting;
  s.LineColor = CB_LineColor->Color();
  s.FrameColor = CB_FrameColor->Follows() ? s.LineColor : CB_FrameColor->Color();
  s.FoldColor = CB_FoldColor->Follows() ? s.LineColor : CB_FoldColor->Color();
  // A count the file held that the box does not offer stays until the box is changed.
  if (CB_CountMarks->currentIndex() != EveryIndex(s.CountMarks))
    s.CountMarks = kEvery[std::clamp(CB_CountMarks->currentIndex(), 0, 2)];
  if (CB_CountLines->currentIndex() != EveryIndex(s.CountLines))
    s.CountLines = kEvery[std::clamp(CB_CountLines->currentIndex(), 0, 2)];
  ApplyChanges();
}

void TMainForm::BuildTabPageNumber() {
  TabSheet5 = new QWidget;
  TabSheet5->setObjectName(QStringLiteral("TabSheet5"));
  PageControl1->addTab(TabSheet5, QStringLiteral("頁番号"));
  CB_PageNumber = NewCheck(TabSheet5, TControl::CB_PageNumber,
                           QStringLiteral("頁番号の線を引く(&L)"), 10, 3, 117, 17);
  connect(CB_PageNumber, &QCheckBox::toggled, this, &TMainForm::CB_PageNumberClick);
  GB_PageNumber = new QGroupBox(TabSheet5);
  GB_PageNumber->setGeometry(scale_.Rect(3, 22, 316, 217));

  L_PageNumber = NewLabel(GB_PageNumber, QStringLiteral("中央から(&C):"), 11, 11, true);
  SE_PageNumber = NewSpin(GB_PageNumber, TControl::SE_PageNumber, 78, 8, 42, 22);
  L_PageNumber->setBuddy(SE_PageNumber);
  Label5 = NewLabel(GB_PageNumber, QStringLiteral("mm 離して"), 129, 11);
  Label4 = NewLabel(GB_PageNumber, QStringLiteral("線の長さ(&W):"), 196, 12, true);
  SE_PageNumberWidth = NewSpin(GB_PageNumber, TControl::SE_PageNumberWidth, 266, 8, 42, 22);
  Label4->setBuddy(SE_PageNumberWidth);
  Label6 = NewLabel(GB_PageNumber, QStringLiteral("タイトル(&T):"), 9, 38, true);
  E_PageNumberTitle =
      NewEdit(GB_PageNumber, ControlName(TControl::E_PageNumberTitle), 68, 34, 121, 21);
  Label6->setBuddy(E_PageNumberTitle);
  Register(TControl::E_PageNumberTitle, E_PageNumberTitle);
  B_PageNumberTitle = NewButton(GB_PageNumber, QStringLiteral("フォント..."), 195, 34, 61, 23);
  for (QSpinBox* s : {SE_PageNumber, SE_PageNumberWidth})
    connect(s, &QSpinBox::valueChanged, this, &TMainForm::E_CenterCaptionChange);
  connect(E_PageNumberTitle, &QLineEdit::textChanged, this, &TMainForm::E_CenterCaptionChange);

  GB_PageNumber2 = new QGroupBox(QStringLiteral("番号を書く場所を指定"), GB_PageNumber);
  GB_PageNumber2->setGeometry(scale_.Rect(11, 61, 185, 148));
  Bevel2 = NewBevel(GB_PageNumber2, 36, 43, 117, 76);
  struct TPlace {
    TControl Id;
    int Left;
    int Top;
    QCheckBox* TMainForm::*Member;
  };
  // Creation order is the tab order: UL, LU, UC, UR, RU, LD, BL, BR, RD.
  const TPlace places[] = {
      {TControl::CB_PN_UL, 39, 24, &TMainForm::CB_PN_UL},
      {TControl::CB_PN_LU, 18, 43, &TMainForm::CB_PN_LU},
      {TControl::CB_PN_UC, 86, 24, &TMainForm::CB_PN_UC},
      {TControl::CB_PN_UR, 137, 24, &TMainForm::CB_PN_UR},
      {TControl::CB_PN_RU, 157, 43, &TMainForm::CB_PN_RU},
      {TControl::CB_PN_LD, 18, 102, &TMainForm::CB_PN_LD},
      {TControl::CB_PN_BL, 39, 120, &TMainForm::CB_PN_BL},
      {TControl::CB_PN_BR, 137, 118, &TMainForm::CB_PN_BR},
      {TControl::CB_PN_RD, 157, 102, &TMainForm::CB_PN_RD},
  };
  for (const TPlace& p : places) {
    QCheckBox* box = NewCheck(GB_PageNumber2, p.Id, QString(), p.Left, p.Top, 17, 17);
    this->*p.Member = box;
    connect(box, &QCheckBox::toggled, this, &TMainForm::E_CenterCaptionChange);
  }
}

void TMainForm::BuildTabTitle() {
  TS_Title = new QWidget;
  TS_Title->setObjectName(QStringLiteral("TS_Title"));
  PageControl1->addTab(TS_Title, QStringLiteral("枠外"));
  B_Title = NewBevel(TS_Title, 35, 35, 243, 176);
  E_TitleUL = NewEdit(TS_Title, ControlName(TControl::E_TitleUL), 36, 12, 85, 21);
  E_TitleUR = NewEdit(TS_Title, ControlName(TControl::E_TitleUR), 194, 12, 85, 21);
  E_TitleBL = NewEdit(TS_Title, ControlName(TControl::E_TitleBL), 36, 210, 85, 21);
  E_TitleBR = NewEdit(TS_Title, ControlName(TControl::E_TitleBR), 192, 210, 85, 21);
  Register(TControl::E_TitleUL, E_TitleUL);
  Register(TControl::E_TitleUR, E_TitleUR);
  Register(TControl::E_TitleBL, E_TitleBL);
  Register(TControl::E_TitleBR, E_TitleBR);
  for (QLineEdit* e : {E_TitleUL, E_TitleUR, E_TitleBL, E_TitleBR}) {
    connect(e, &QLineEdit::textChanged, this, &TMainForm::E_CenterCaptionChange);
  }
  SB_TitleUL = NewSpeedButton(TS_Title, "font", 98, 39);
  SB_TitleUR = NewSpeedButton(TS_Title, "font", 194, 39);
  SB_TitleBL = NewSpeedButton(TS_Title, "font", 98, 185);
  SB_TitleBR = NewSpeedButton(TS_Title, "font", 194, 185);
  SB_TitleLU = NewSpeedButton(TS_Title, "font", 40, 101);
  SB_TitleLD = NewSpeedButton(TS_Title, "font", 40, 125);
  SB_TitleRU = NewSpeedButton(TS_Title, "font", 250, 101);
  SB_TitleRD = NewSpeedButton(TS_Title, "font", 250, 125);
  L_OutsideTextSpace = NewLabel(TS_Title, QStringLiteral("文字は枠から："), 64, 80, true);
  E_OutsideTextSpace = NewEdit(TS_Title, "E_OutsideTextSpace", 140, 77, 31, 21);
  E_OutsideTextSpace->setReadOnly(true);
  E_OutsideTextSpace->setFocusPolicy(Qt::NoFocus);
  L_OutsideText2 = NewLabel(TS_Title, QStringLiteral("mm 離す"), 183, 80);
}

void TMainForm::BuildToolBar() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  SB_New = NewSpeedButton(Panel1, "new", 4, 6, QStringLiteral("新規作成"));
  SB_Open = NewSpeedButton(Panel1, "open", 25, 6, QStringLiteral("設定ファイルを開く"));
  SB_SaveAs = NewSpeedButton(Panel1, "saveas", 54, 6, QStringLiteral("名前を付けて保存"));
  SB_Save = NewSpeedButton(Panel1, "save", 74, 6, QStringLiteral("上書き保存"));
  SB_PrinerSetup = NewSpeedButton(Panel1, "printer", 102, 6, QStringLiteral("印刷設定"));
  CB_ShowPrivew = new QCheckBox(Panel1);
  CB_ShowPrivew->setObjectName(QStringLiteral("CB_ShowPrivew"));
  CB_ShowPrivew->setGeometry(scale_.Rect(127, 10, 17, 17));
  CB_ShowPrivew->setToolTip(QStringLiteral("プレビュー表示"));
  SB_Print = NewSpeedButton(Panel1, "printer", 144, 6, QStringLiteral("印刷"));
  // A text set into the sheet, and the blank sheet again: two narrower buttons in the
  // room before 終了.
  SB_ComposeText = NewSpeedButton(Panel1, "compose", 167, 6, QStringLiteral("原稿を流し込む"));
  SB_ComposeText->resize(scale_(21), SB_ComposeText->height());
  SB_ClearText = NewSpeedButton(Panel1, "uncompose", 188, 6, QStringLiteral("原稿を外す"));
  SB_ClearText->resize(scale_(21), SB_ClearText->height());
  SB_ClearText->setEnabled(false);
  SB_Presets = NewSpeedButton(Panel1, "presets", 209, 6, QStringLiteral("用紙のひな形"));
  SB_Presets->resize(scale_(21), SB_Presets->height());
  SB_Presets->setPopupMode(QToolButton::InstantPopup);
  auto* presets = new QMenu(SB_Presets);
  presets->setObjectName(QStringLiteral("PresetMenu"));
  for (const TSheetPreset& p : SheetPresets()) {
    QAction* action = presets->addAction(QString::fromStdU16String(p.Label));
    action->setData(QLatin1String(p.Name));
    connect(action, &QAction::triggered, this, [this, &p] {
      if (Commands.ApplyPreset) Commands.ApplyPreset(p);
    });
  }
  SB_Presets->setMenu(presets);
  B_Close = new QPushButton(QStringLiteral("終了(&X)"), Panel1);
  B_Close->setGeometry(scale_.Rect(232, 2, 60, 31));
  B_Close->setDefault(true);
  SB_ShowAbout = NewSpeedButton(Panel1, "about", 296, 6, QStringLiteral("バージョン情報"));

  connect(SB_New, &QToolButton::clicked, this, &TMainForm::SB_NewClick);
  connect(SB_Open, &QToolButton::clicked, this, &TMainForm::SB_OpenClick);
  connect(SB_SaveAs, &QToolButton::clicked, this, &TMainForm::SB_SaveAsClick);
  connect(SB_Save, &QToolButton::clicked, this, &TMainForm::SB_SaveClick);
  connect(SB_PrinerSetup, &QToolButton::clicked, this, &TMainForm::SB_PrinerSetupClick);
  connect(CB_ShowPrivew, &QCheckBox::toggled, this, &TMainForm::CB_ShowPrivewClick);
  connect(SB_Print, &QToolButton::clicked, this, &TMainForm::SB_PrintClick);
  connect(SB_ComposeText, &QToolButton::clicked, this, &TMainForm::SB_ComposeTextClick);
  connect(SB_ClearText, &QToolButton::clicked, this, &TMainForm::SB_ClearTextClick);
  connect(B_Close, &QPushButton::clicked, this, &TMainForm::B_CloseClick);
  connect(SB_ShowAbout, &QToolButton::clicked, this, &TMainForm::SB_ShowAboutClick);
}

// --- the run-time steps ----------------------------------------------------------------

TSaNumEdit* TMainForm::ReplaceByNumEdit(QLineEdit*& designed, QLabel* label, TControl id) {
  const TControlSpec& c = ControlSpec(id);
  TSaNumEdit* edit = new TSaNumEdit(designed->parentWidget());
  QWidget* w = edit;
  w->setObjectName(QString::fromLatin1(c.Name));
  w->setGeometry(designed->geometry());
  connect(edit, &TSaNumEdit::OnChange, this, &TMainForm::ApplyChanges);
  edit->SetCtl3D(false);
  edit->Model().SetText(FormatFloat0_00(c.Default));
  w->setAttribute(Qt::WA_InputMethodEnabled, false);
  label->setBuddy(w);
  if (c.ReadOnly) {
    edit->Model().ReadOnly = true;
    w->setFocusPolicy(Qt::NoFocus);
  }
  w->show();
  delete designed;
  designed = nullptr;
  Register(id, edit);
  return edit;
}

void TMainForm::ReplaceNumericEdits() {
  NE_PaperSizeH = ReplaceByNumEdit(E_PaperSizeH, L_PaperSizeH, TControl::NE_PaperSizeH);
  NE_PaperSizeV = ReplaceByNumEdit(E_PaperSizeV, L_PaperSizeV, TControl::NE_PaperSizeV);
  NE_OrimeW = ReplaceByNumEdit(E_OrimeW, L_OrimeW, TControl::NE_OrimeW);
  NE_YohakuU = ReplaceByNumEdit(E_YohakuU, L_YohakuU, TControl::NE_YohakuU);
  NE_YohakuL = ReplaceByNumEdit(E_YohakuL, L_YohakuL, TControl::NE_YohakuL);
  NE_YohakuB = ReplaceByNumEdit(E_YohakuB, L_YohakuB, TControl::NE_YohakuB);
  NE_YohakuR = ReplaceByNumEdit(E_YohakuR, L_YohakuR, TControl::NE_YohakuR);
  NE_LineWidth = ReplaceByNumEdit(E_LineWidth, L_LineWidth, TControl::NE_LineWidth);
  NE_OuterLineWidth =
      ReplaceByNumEdit(E_OuterLineWidth, L_OuterLineWidth, TControl::NE_OuterLineWidth);
  // Editable and in the tab order, unlike the designed edit: nothing copies those.
  NE_OutsideTextSpace =
      ReplaceByNumEdit(E_OutsideTextSpace, L_OutsideTextSpace, TControl::NE_OutsideTextSpace);
  NE_OutsideTextSpace->setFocusPolicy(Qt::StrongFocus);
}

TTateEdit* TMainForm::CreateVerticalEdit(TControl id, bool rightSide, bool lower) {
  TTateEdit* edit = new TTateEdit(TS_Title);
  QWidget* w = edit;
  w->setObjectName(QString::fromLatin1(ControlName(id)));
  const QRect bevel = B_Title->geometry();
  const int width = scale_(20);
  const int height = bevel.height() / 2;
  const int left = rightSide ? bevel.left() + bevel.width() : bevel.left() - width;
  const int top = lower ? bevel.top() + bevel.height() - height : bevel.top();
  w->setGeometry(left, top, width, height);
  // No label stands beside it: a screen reader names it by its place ("左上" …).
  w->setAccessibleName(QString::fromUtf8(rightSide ? "右" : "左") +
                       QString::fromUtf8(lower ? "下" : "上"));
  connect(edit, &TTateEdit::OnChange, this, &TMainForm::ApplyChanges);
  w->show();
  Register(id, edit);
  return edit;
}

void TMainForm::CreateVerticalEdits() {
  TE_TitleLU = CreateVerticalEdit(TControl::TE_TitleLU, false, false);
  TE_TitleLD = CreateVerticalEdit(TControl::TE_TitleLD, false, true);
  TE_TitleRD = CreateVerticalEdit(TControl::TE_TitleRD, true, true);
  TE_TitleRU = CreateVerticalEdit(TControl::TE_TitleRU, true, false);
}

void TMainForm::SetTabOrders() {
  auto chain = [](std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
      if (previous) QWidget::setTabOrder(previous, w);
      previous = w;
    }
  };
  chain({RG_Tategaki, SE_Yoko, SE_Tate});
  chain({NE_YohakuU, NE_YohakuL, NE_YohakuB, NE_YohakuR});
  chain({E_CenterCaption, B_SetCenterCaptionFont, E_BottomCaption, B_SetBottomCaptionFont, RG_Gyobi,
         NE_OrimeW});
  chain({RG_LineType, RG_OrimeLineType, CB_OuterLine, NE_LineWidth, NE_OuterLineWidth});
  chain({CB_PageNumber, SE_PageNumber, SE_PageNumberWidth, E_PageNumberTitle, B_PageNumberTitle,
         CB_PN_UL, CB_PN_LU, CB_PN_UC, CB_PN_UR, CB_PN_RU, CB_PN_LD, CB_PN_BL, CB_PN_BR, CB_PN_RD});
  // Counter-clockwise around the sheet from its top-left corner, then the distance.
  chain({E_TitleUL, TE_TitleLU, TE_TitleLD, E_TitleBL, E_TitleBR, TE_TitleRD, TE_TitleRU, E_TitleUR,
         NE_OutsideTextSpace});
  chain({B_Close, CB_ShowPrivew});
}

void TMainForm::ConnectFontButtons() {
  struct TFontButton {
    QAbstractButton* Button;
    TFont TPrintSetting::*Font;
  };
  const TFontButton buttons[] = {
      {B_SetCenterCaptionFont, &TPrintSetting::CenterCaptionFont},
      {B_SetBottomCaptionFont, &TPrintSetting::BottomCaptionFont},
      {B_PageNumberTitle, &TPrintSetting::PageNumberTitleFont},
      {SB_TitleUL, &TPrintSetting::TitleULFont},
      {SB_TitleUR, &TPrintSetting::TitleURFont},
      {SB_TitleLU, &TPrintSetting::TitleLUFont},
      {SB_TitleLD, &TPrintSetting::TitleLDFont},
      {SB_TitleBL, &TPrintSetting::TitleBLFont},
      {SB_TitleBR, &TPrintSetting::TitleBRFont},
      {SB_TitleRD, &TPrintSetting::TitleRDFont},
      {SB_TitleRU, &TPrintSetting::TitleRUFont},
  };
  for (const TFontButton& b : buttons) {
    const auto field = b.Font;
    connect(b.Button, &QAbstractButton::clicked, this,
            [this, field] { SelectFont(CurrentSetting->*field); });
  }
}

// --- the settings form -----------------------------------------------------------------

template <typename T>
T* TMainForm::Control(TControl id, TControlKind kind) const {
  const TControlSpec& c = ControlSpec(id);
  if (c.Kind != kind) throw std::logic_error(std::string(c.Name) + " is another kind of control");
  return static_cast<T*>(controls_[static_cast<size_t>(id)]);
}

int TMainForm::ItemIndex(TControl id) const {
  return Control<TRadioGroup>(id, TControlKind::Radio)->ItemIndex();
}

void TMainForm::SetItemIndex(TControl id, int index) {
  Control<TRadioGroup>(id, TControlKind::Radio)->SetItemIndex(index);
}

int TMainForm::SpinValue(TControl id) const {
  return Control<QSpinBox>(id, TControlKind::Spin)->value();
}

void TMainForm::SetSpinValue(TControl id, int value) {
  Control<QSpinBox>(id, TControlKind::Spin)->setValue(value);
}

std::u16string TMainForm::NumText(TControl id) const { return NumEdit(id)->Model().GetText(); }

void TMainForm::SetNumText(TControl id, const std::u16string& text) {
  NumEdit(id)->Model().SetText(text);
}

std::u16string TMainForm::EditText(TControl id) const {
  return Control<QLineEdit>(id, TControlKind::Edit)->text().toStdU16String();
}

void TMainForm::SetEditText(TControl id, const std::u16string& text) {
  Control<QLineEdit>(id, TControlKind::Edit)->setText(FromU16(text));
}

bool TMainForm::Checked(TControl id) const {
  return Control<QCheckBox>(id, TControlKind::Check)->isChecked();
}

void TMainForm::SetChecked(TControl id, bool checked) {
  Control<QCheckBox>(id, TControlKind::Check)->setChecked(checked);
}

std::u16string TMainForm::ReadCaption(TControl id) const {
  return TateEdit(id)->ReadCaption().toStdU16String();
}

void TMainForm::SetCaption2(TControl id, const std::u16string& caption) {
  TateEdit(id)->SetCaption2(QString::fromStdU16String(caption));
}

TSaNumEdit* TMainForm::NumEdit(TControl id) const {
  return Control<TSaNumEdit>(id, TControlKind::Number);
}

TTateEdit* TMainForm::TateEdit(TControl id) const {
  return Control<TTateEdit>(id, TControlKind::Caption);
}

bool TMainForm::PreviewShown() const { return CB_ShowPrivew->isChecked(); }
void TMainForm::SetPreviewShown(bool shown) { CB_ShowPrivew->setChecked(shown); }
int TMainForm::ActiveTab() const { return PageControl1->currentIndex(); }
void TMainForm::SetActiveTab(int index) { PageControl1->setCurrentIndex(index); }

// --- change handling -------------------------------------------------------------------

void TMainForm::SetPreviewForm(TPreviewForm* preview) {
  preview_ = preview;
  if (!preview_) return;
  preview_->SetForm(this);
  connect(preview_, &TPreviewForm::Closed, this, [this] { CB_ShowPrivew->setChecked(false); });
}

void TMainForm::ShowFirstStart() {
  UpdateLock = 1;
  if (PaperName.isEmpty()) PaperName = PaperDisplayName(printer_.PaperName());
  ShowPrinterInfo();
  ApplyOrimeVisibility();
  ApplyTategakiVisibility();
  ApplyPageNumberVisibility();
  UpdateLock = 0;
  ApplyChanges();
  Modified = false;
}

void TMainForm::ApplyChanges() {
  if (UpdateLock > 0) return;
  QString failure;
  {
    // Lowered before the report, so that the edit after it is handled normally.
    const TUpdateLockGuard lock(UpdateLock);
    try {
      ReadFromForm(*CurrentSetting, *this, printer_);
      if (preview_ && CB_ShowPrivew->isChecked()) {
        preview_->SetSetting(CurrentSetting);
        preview_->Redraw();
      }
      Modified = true;
    } catch (const EConvertError& e) {
      failure = FromU16(e.Message());
    } catch (const std::exception& e) {
      failure = QString::fromUtf8(e.what());
    }
  }
  if (!failure.isEmpty() && ShowError) ShowError(failure);
}

void TMainForm::E_CenterCaptionChange() {
  if (UpdateLock > 0) return;
  ApplyChanges();
}

void TMainForm::ApplyOrimeVisibility() {
  const int i = RG_Orime->ItemIndex();
  GB_Orime->setVisible(i > 0);
  L_OrimeW->setVisible(i > 1);
  NE_OrimeW->setVisible(i > 1);
  RG_OrimeLineType->setVisible(i > 0);
}

void TMainForm::RG_OrimeClick() {
  ApplyOrimeVisibility();
  ApplyChanges();
}

void TMainForm::ApplyTategakiVisibility() {
  const bool vertical = RG_Tategaki->ItemIndex() == 0;
  L_PageNumber->setText(vertical ? QStringLiteral("中央から(&C)") : QStringLiteral("紙から(&C)"));
  CB_PN_UC->setVisible(vertical);
  for (QCheckBox* box :
       {CB_PN_UL, CB_PN_UR, CB_PN_LU, CB_PN_LD, CB_PN_RU, CB_PN_RD, CB_PN_BL, CB_PN_BR})
    box->setVisible(!vertical);
}

void TMainForm::RG_TategakiClick() {
  ApplyTategakiVisibility();
  ApplyChanges();
}

void TMainForm::ApplyPageNumberVisibility() {
  GB_PageNumber->setVisible(CB_PageNumber->isChecked());
}

void TMainForm::CB_PageNumberClick() {
  ApplyPageNumberVisibility();
  ApplyChanges();
}

void TMainForm::RG_OrientationClick() {
  if (UpdateLock > 0) return;
  {
    const TUpdateLockGuard lock(UpdateLock);
    // The rotated paper has the same two lengths, so the printer is not asked again.
    const std::u16string height = NE_PaperSizeH->Model().GetText();
    NE_PaperSizeH->Model().SetText(NE_PaperSizeV->Model().GetText());
    NE_PaperSizeV->Model().SetText(height);
    printer_.SetOrientation(RG_Orientation->ItemIndex() == 0 ? TPrinterOrientation::poPortrait
                                                             : TPrinterOrientation::poLandscape);
  }
  ApplyChanges();
}

void TMainForm::CB_ShowPrivewClick() {
  if (!preview_) return;
  if (CB_ShowPrivew->isChecked()) {
    preview_->SetSetting(CurrentSetting);
    preview_->Redraw();
  }
  preview_->setVisible(CB_ShowPrivew->isChecked());
}

void TMainForm::SelectFont(TFont& font) {
  FontDialog1->setCurrentFont(DialogFontFor(font, kFontDialogDpi));
  // What the dialog shows on opening; confirming it as it is changes nothing.
  const QFont opened = FontDialog1->currentFont();
  if (FontDialog1->exec() != QDialog::Accepted) return;
  const QFont chosen = FontDialog1->selectedFont();
  if (!SameDialogChoice(chosen, opened)) {
    TFont result = FromQFont(chosen, kFontDialogDpi, font);
    // An unchanged face keeps the stored name: a Windows face, or its vertical "@" form.
    if (chosen.family() == opened.family()) result.SetName(font.Name());
    font = result;
  }
  ApplyChanges();
}

// --- printer selection -----------------------------------------------------------------

QString TMainForm::PrinterCaption() const {
  return QStringLiteral("プリンター : ") + FromU16(printer_.PrinterName());
}

QString TMainForm::ShownPrinterCaption() const { return L_PrinterName->text(); }

void TMainForm::ShowPrinterInfo() {
  E_PaperName->setText(PaperName);
  RG_Orientation->SetItemIndex(printer_.Orientation() == TPrinterOrientation::poPortrait ? 0 : 1);
  TPrinterInfo info;
  GetPrinterInfo(info, printer_);
  NE_PaperSizeV->Model().SetText(FormatFloat0_00(info.PaperWidthMm));
  NE_PaperSizeH->Model().SetText(FormatFloat0_00(info.PaperHeightMm));
  L_PrinterName->setText(PrinterCaption());
  L_PrinterName->adjustSize();
}

namespace {

QString MmText(double mm) { return QString::number(mm, 'g', 6); }

}  // namespace

void TMainForm::SetPrinterWarning(const QString& text, const QString& detail) {
  L_PrinterWarning->setToolTip(detail.isEmpty() ? text : detail);
  L_PrinterWarning->setAccessibleDescription(detail.isEmpty() ? text : detail);
  warningText_ = text;
  if (text.isEmpty()) {
    L_PrinterWarning->clear();
    L_PrinterWarning->hide();
    return;
  }
  // Beside the printer's name, elided to the tab's width; the tool tip holds it whole.
  const int left = L_PrinterName->x() + L_PrinterName->width() + scale_(6);
  const int room = std::max(scale_(40), TabSheet1->width() - left - scale_(4));
  L_PrinterWarning->setText(L_PrinterWarning->fontMetrics().elidedText(text, Qt::ElideRight, room));
  L_PrinterWarning->adjustSize();
  L_PrinterWarning->move(left, L_PrinterName->y());
  L_PrinterWarning->show();
}

QString TMainForm::PrinterWarning() const { return L_PrinterWarning->toolTip(); }

QString TMainForm::PaperMismatchQuestion() const {
  return QStringLiteral(
             "%1\n\nこのまま印刷すると、用紙からはみ出た部分は印刷されません。印刷しますか？")
      .arg(PrinterWarning());
}

void TMainForm::MatchPrinterToDesign() {
  TPrintSetting& s = *CurrentSetting;
  if (!IsUsablePaperSize(s.PaperWidth, s.PaperHeight)) {
    const QString broken =
        QStringLiteral("%1 × %2 mm").arg(MmText(s.PaperWidth), MmText(s.PaperHeight));
    PaperName = PaperDisplayName(printer_.PaperName());
    ShowPrinterInfo();
    SetPrinterWarning(
        QStringLiteral("⚠ 用紙を %1 にしました").arg(PaperName),
        QStringLiteral("設定ファイルの用紙の大きさ (%1) では用紙を作れないので、プリンターの用紙 "
                       "%2 にしました。")
            .arg(broken, PaperName));
    return;
  }
  const double shortSide = std::min(s.PaperWidth, s.PaperHeight);
  const double longSide = std::max(s.PaperWidth, s.PaperHeight);
  printer_.SetOrientation(s.Portrait ? TPrinterOrientation::poPortrait
                                     : TPrinterOrientation::poLandscape);
  TPrinterInfo info;
  GetPrinterInfo(info, printer_);
  const bool same = IsSamePaperSize(info.PaperWidthMm, info.PaperHeightMm, shortSide, longSide);
  QStringList offered;
  const QString name = QString::fromStdU16String(s.PaperName);
  const bool selected = same || printer_.SelectPaperOfSize(name, shortSide, longSide, &offered);
  paperMismatch_ = !selected;
  L_PrinterName->setText(PrinterCaption());
  L_PrinterName->adjustSize();
  if (selected) {
    SetPrinterWarning(QString());
    return;
  }
  const QString printerPaper = PaperDisplayName(printer_.PaperName());
  SetPrinterWarning(
      QStringLiteral("⚠ %1 の用紙がありません").arg(name.isEmpty() ? QStringLiteral("設計") : name),
      QStringLiteral("プリンター %1 には設計の用紙 %2 (%3 × %4 mm) がありません。印刷は %5 "
                     "の用紙になります。このプリンターの用紙: %6")
          .arg(FromU16(printer_.PrinterName()), name, MmText(shortSide), MmText(longSide),
               printerPaper, offered.join(QStringLiteral("、"))));
}

void TMainForm::SB_PrinerSetupClick() {
  if (PrinterSetupDialog1->exec() != QDialog::Accepted && !PrinterSetupDialog1->PrinterReplaced())
    return;
  {
    const TUpdateLockGuard lock(UpdateLock);
    ShowPrinterInfo();
  }
  ApplyChanges();
}

void TMainForm::PrinterSetupDialog1Close(const QString& paperName) { PaperName = paperName; }

// --- tool bar and closing --------------------------------------------------------------

void TMainForm::B_CloseClick() { close(); }

void TMainForm::SB_NewClick() {
  if (Commands.New) Commands.New();
}

void TMainForm::SB_OpenClick() {
  if (Commands.Open) Commands.Open();
}

void TMainForm::SB_SaveAsClick() {
  if (Commands.SaveAs) Commands.SaveAs();
}

void TMainForm::SB_SaveClick() {
  if (Commands.Save) Commands.Save();
}

void TMainForm::SB_PrintClick() {
  if (Commands.Print) Commands.Print();
}

void TMainForm::ShowTextSet(bool set) { SB_ClearText->setEnabled(set); }

void TMainForm::SB_ComposeTextClick() {
  if (Commands.ComposeText) Commands.ComposeText();
}

void TMainForm::SB_ClearTextClick() {
  if (Commands.ClearText) Commands.ClearText();
}

void TMainForm::SB_ShowAboutClick() {
  if (Commands.ShowAbout) Commands.ShowAbout();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (Commands.CloseQuery && !Commands.CloseQuery()) {
    event->ignore();
    return;
  }
  if (Commands.Close) Commands.Close();
  event->accept();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  // A dialog would close on Esc without asking; this window closes only through its
  // close query.
  if (event->key() == Qt::Key_Escape) {
    event->ignore();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace zelk
