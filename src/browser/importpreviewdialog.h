#pragma once

#include <QDialog>

#include <memory>

struct ImportPreview;
namespace Ui {
class ImportPreviewDialog;
}

// Shows what an import would do before anything is stored: how many profiles it adds, and each row it skips
// with the reason. Accepted by Import, rejected by Cancel.
class ImportPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    ImportPreviewDialog(const QString &fileName, const QString &layout, const ImportPreview &preview,
                        QWidget *parent = nullptr);
    ~ImportPreviewDialog() override;

private:
    std::unique_ptr<Ui::ImportPreviewDialog> ui;
};
