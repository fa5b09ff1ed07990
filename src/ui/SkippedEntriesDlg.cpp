#include "ui/SkippedEntriesDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "support/FileSystem.h"
#include "support/TextCodec.h"

CSkippedEntriesDlg::CSkippedEntriesDlg(const SkippedEntryList& skipped, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Corvelin"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        tr("%1 件の項目を読み込めなかったため、除外しました。").arg(skipped.size()), this));
    auto* list = new QPlainTextEdit(this);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(Describe(skipped));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(560, 300);
}

QString CSkippedEntriesDlg::Describe(const SkippedEntryList& skipped) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(skipped.size()));
    for (const SkippedEntry& entry : skipped) {
        QString line =
            QString::fromStdU16String(zel::ForDisplayOnOneLine(zel::DecodeFileName(entry.path)));
        line += QStringLiteral(": ") + QString::fromStdU16String(DescribeSkipReason(entry.reason));
        if (entry.error != 0)
            line += QStringLiteral(" (") + QString::fromStdString(zel::ErrorText(entry.error)) +
                    QStringLiteral(")");
        lines.push_back(line);
    }
    return lines.join(QLatin1Char('\n'));
}
