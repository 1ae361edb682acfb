#pragma once

#include <QDialog>

struct ImportPreview;
class QLabel;
class QListView;
class QPushButton;

// Shows what an import would do before anything is stored: how many profiles it adds, and each row it skips
// with the reason. Accepted by Import, rejected by Cancel.
class frmImportPreview : public QDialog
{
    Q_OBJECT
public:
    frmImportPreview(const QString &fileName, const QString &layout, const ImportPreview &preview,
                     QWidget *parent = nullptr);

private:
    QLabel *lblSummary = nullptr;
    QLabel *lblSkipped = nullptr;
    QListView *lstSkipped = nullptr;
    QPushButton *cmdImport = nullptr;
    QPushButton *cmdCancel = nullptr;
};
