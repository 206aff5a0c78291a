#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#include "app/help_launcher.h"
#include "app/hyperlink.h"

namespace tesselor {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("About Tesselor"));

  auto* icon = new QLabel;
  icon->setPixmap(QIcon(":/icons/tesselor-48.png").pixmap(48, 48));
  auto* version = new QLabel(tr("Tesselor Version 2.00b"));
  auto* blurb = new QLabel(tr("Photomosaics from your own photographs."));
  // The program's own guide, installed beside it, is the page worth
  // pointing at: it is there whether or not the computer is online.
  auto* link = new CHyperLink(tr("The Tesselor guide"));
  link->SetAddress(
      QUrl::fromLocalFile(HelpLauncher::HelpFolder() + HelpPage(HelpTopic::kIntroduction))
          .toString());
  link->SetUnderline(true);

  auto* text = new QVBoxLayout;
  text->addWidget(version);
  text->addWidget(blurb);
  text->addWidget(link);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addSpacing(12);
  row->addLayout(text, 1);
  auto* frame = new QGroupBox;
  frame->setLayout(row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(300, 150)));
}

}  // namespace tesselor
