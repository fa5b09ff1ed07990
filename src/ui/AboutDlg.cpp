#include "ui/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/FrameIcons.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("バージョン情報"));
    auto* layout = new QGridLayout(this);
    auto* picture = new QLabel;
    picture->setPixmap(frame_icons::Get(frame_icons::Picture::Application).pixmap(32, 32));
    layout->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("Corvelin Version " CORVELIN_VERSION));
    name->setObjectName(QStringLiteral("productName"));
    layout->addWidget(name, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Copyright (C) Tessoly software")), 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
