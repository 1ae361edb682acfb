#include "importpreviewdialog.h"

#include "importpreview.h"
#include "ui_importpreviewdialog.h"

#include <QStringListModel>

namespace {

QString count(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("1 ") + one : QString::number(n) + QLatin1Char(' ') + many;
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(const QString &fileName, const QString &layout, const ImportPreview &preview,
                                         QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ImportPreviewDialog>())
{
    ui->setupUi(this);
    const qsizetype added = preview.profiles.size();
    ui->lblSummary->setText(QStringLiteral("%1 from \"%2\" (%3 export).")
                                .arg(added == 0 ? QStringLiteral("No website profile will be added")
                                                : count(added, QStringLiteral("website profile will be added"),
                                                        QStringLiteral("website profiles will be added")),
                                     fileName, layout));
    ui->lblSkipped->setText(preview.skipped.isEmpty()
                                ? QStringLiteral("No row will be skipped.")
                                : count(preview.skipped.size(),
                                        QStringLiteral("row will be skipped (the header is row 1):"),
                                        QStringLiteral("rows will be skipped (the header is row 1):")));
    QStringList lines;
    lines.reserve(preview.skipped.size());
    for (const SkippedRow &s : preview.skipped)
        lines.append(QStringLiteral("Row %1: %2").arg(s.row).arg(s.reason));
    // A file may skip many thousand rows: a model, not an item each.
    ui->lstSkipped->setModel(new QStringListModel(lines, ui->lstSkipped));
    ui->lstSkipped->setVisible(!lines.isEmpty());
    // Without skipped rows the space below the summary stays empty rather than stretch the labels.
    ui->dialogLayout->setStretch(3, lines.isEmpty() ? 1 : 0);
    ui->cmdImport->setEnabled(added > 0);
    ui->cmdImport->setDefault(added > 0);
    resize(width(), lines.isEmpty() ? 160 : 420);
}

ImportPreviewDialog::~ImportPreviewDialog() = default;
