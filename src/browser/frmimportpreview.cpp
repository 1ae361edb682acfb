#include "frmimportpreview.h"

#include "importpreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

QString count(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("1 ") + one : QString::number(n) + QLatin1Char(' ') + many;
}

} // namespace

frmImportPreview::frmImportPreview(const QString &fileName, const QString &layout, const ImportPreview &preview,
                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImportPreview"));
    setWindowTitle(QStringLiteral("Import Passwords"));
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    const qsizetype added = preview.profiles.size();
    lblSummary->setText(QStringLiteral("%1 from \"%2\" (%3 export).")
                            .arg(added == 0 ? QStringLiteral("No website profile will be added")
                                            : count(added, QStringLiteral("website profile will be added"),
                                                    QStringLiteral("website profiles will be added")),
                                 fileName, layout));
    QFont bold = lblSummary->font();
    bold.setBold(true);
    lblSummary->setFont(bold);

    lblSkipped = new QLabel(this);
    lblSkipped->setObjectName(QStringLiteral("lblSkipped"));
    lblSkipped->setText(preview.skipped.isEmpty()
                            ? QStringLiteral("No row will be skipped.")
                            : count(preview.skipped.size(),
                                    QStringLiteral("row will be skipped (the header is row 1):"),
                                    QStringLiteral("rows will be skipped (the header is row 1):")));
    QStringList lines;
    lines.reserve(preview.skipped.size());
    for (const SkippedRow &s : preview.skipped)
        lines.append(QStringLiteral("Row %1: %2").arg(s.row).arg(s.reason));
    lstSkipped = new QListView(this);
    lstSkipped->setObjectName(QStringLiteral("lstSkipped"));
    lstSkipped->setUniformItemSizes(true); // a file may skip many thousand rows
    lstSkipped->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstSkipped->setModel(new QStringListModel(lines, lstSkipped));
    lstSkipped->setVisible(!lines.isEmpty());

    cmdImport = new QPushButton(QStringLiteral("Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setEnabled(added > 0);
    cmdImport->setDefault(added > 0);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto *layoutBox = new QVBoxLayout(this);
    layoutBox->addWidget(lblSummary);
    layoutBox->addWidget(lblSkipped);
    layoutBox->addWidget(lstSkipped, 1);
    if (lines.isEmpty())
        layoutBox->addStretch();
    layoutBox->addLayout(buttons);
    resize(640, lines.isEmpty() ? 160 : 420);
}
