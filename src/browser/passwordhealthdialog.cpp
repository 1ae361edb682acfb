#include "passwordhealthdialog.h"

#include "passwordhealth.h"
#include "profiledialog.h"
#include "profilestore.h"
#include "ui_passwordhealthdialog.h"

#include <QPushButton>

namespace {

constexpr int kProfileRole = Qt::UserRole; // the store index of a profile's row; none on a heading

QString count(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("1 ") + one : QStringLiteral("%1 ").arg(n) + many;
}

QTreeWidgetItem *heading(QTreeWidgetItem *parent, const QString &text)
{
    auto *item = new QTreeWidgetItem(parent, {text});
    item->setFirstColumnSpanned(true);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}

} // namespace

PasswordHealthDialog::PasswordHealthDialog(const MainWindowServices &services, PasswordHealth &health, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::PasswordHealthDialog>()), m_services(services), m_health(health)
{
    ui->setupUi(this);
    ui->buttonBox->button(QDialogButtonBox::Close)->setAutoDefault(false); // Enter opens the chosen row
    connect(ui->cmdCheckProtected, &QPushButton::clicked, this, &PasswordHealthDialog::checkProtected);
    connect(ui->treeFindings, &QTreeWidget::itemActivated, this, &PasswordHealthDialog::openProfile);
    showFindings();
}

PasswordHealthDialog::~PasswordHealthDialog() = default;

QString PasswordHealthDialog::buttonText(int findings)
{
    const QString caption = QStringLiteral("Password health");
    return findings > 0 ? caption + QStringLiteral(" (%1)").arg(findings) : caption;
}

void PasswordHealthDialog::showFindings()
{
    const PasswordHealth::Report report = m_health.check(m_services.store.profiles(), m_withProtected);
    ui->treeFindings->clear();
    QTreeWidgetItem *root = ui->treeFindings->invisibleRootItem();
    if (!report.weak.isEmpty()) {
        QTreeWidgetItem *weak = heading(root, QStringLiteral("Easy to guess (%1)").arg(report.weak.size()));
        for (const PasswordHealth::Weak &w : report.weak)
            addProfile(weak, w.profile, w.rating);
    }
    if (!report.shared.isEmpty()) {
        QTreeWidgetItem *shared =
            heading(root, QStringLiteral("Used for several profiles (%1)").arg(report.shared.size()));
        for (const QList<int> &group : report.shared) {
            QTreeWidgetItem *one = heading(shared, QStringLiteral("One password for %1 profiles").arg(group.size()));
            for (int profile : group)
                addProfile(one, profile,
                           QStringLiteral("The same password as %1")
                               .arg(count(group.size() - 1, QStringLiteral("other"), QStringLiteral("others"))));
        }
    }
    ui->treeFindings->expandAll();
    for (int column = 0; column < ui->treeFindings->columnCount(); ++column) {
        ui->treeFindings->resizeColumnToContents(column);
        ui->treeFindings->setColumnWidth(column, ui->treeFindings->columnWidth(column) + 24); // room between them
    }

    ui->lblSummary->setText(
        report.findings() == 0
            ? QStringLiteral("No password is easy to guess, and none is used for several profiles.")
            : QStringLiteral("%1 easy to guess, %2 used for several profiles.")
                  .arg(count(report.weak.size(), QStringLiteral("password"), QStringLiteral("passwords")),
                       count(report.shared.size(), QStringLiteral("password"), QStringLiteral("passwords"))));
    ui->lblProtected->setText(QStringLiteral("%1 not listed until the rhythm check passes, as opening one asks for it.")
                                  .arg(count(report.heldBack, QStringLiteral("protected profile is"),
                                             QStringLiteral("protected profiles are"))));
    for (QWidget *w : {static_cast<QWidget *>(ui->lblProtected), static_cast<QWidget *>(ui->cmdCheckProtected)})
        w->setVisible(report.heldBack > 0);
}

QTreeWidgetItem *PasswordHealthDialog::addProfile(QTreeWidgetItem *parent, int profile, const QString &finding)
{
    const WebsiteProfile &p = m_services.store.profiles().at(profile);
    auto *item = new QTreeWidgetItem(parent, {p.name, p.loginName, finding});
    item->setData(0, kProfileRole, profile);
    item->setToolTip(0, p.url);
    return item;
}

void PasswordHealthDialog::checkProtected()
{
    if (!m_services.mayReveal(true))
        return;
    m_withProtected = true;
    showFindings();
}

void PasswordHealthDialog::openProfile(QTreeWidgetItem *item)
{
    const QVariant profile = item->data(0, kProfileRole);
    if (!profile.isValid())
        return;
    ProfileDialog dialog(m_services.store, profile.toInt(), m_services.messages, m_services.files, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_edited = true;
    showFindings(); // the new password may be a good one now
}
