#include "frmwebsiteprofile.h"

#include "clsagentdb.h"
#include "filedialogservice.h"
#include "messageservice.h"
#include "passwordboxtools.h"
#include "picturebox.h"
#include "pictures.h"
#include "profileconfirm.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

QLabel *label(const QString &name, const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setToolTip(toolTip);
    return l;
}

QLineEdit *textBox(const QString &name, int maxLength, QWidget *parent)
{
    auto *t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setMaxLength(maxLength);
    return t;
}

} // namespace

frmWebsiteProfile::frmWebsiteProfile(clsAgentDB &db, MessageService &messages, FileDialogService &files,
                                     QWidget *parent)
    : QDialog(parent), m_db(db), m_messages(messages), m_files(files)
{
    initVaultryPictures();
    setObjectName(QStringLiteral("frmWebsiteProfile"));
    setWindowTitle(QStringLiteral("Website Profile"));
    buildControls();
}

void frmWebsiteProfile::buildControls()
{
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Website Name"),
                   QStringLiteral("Your account website name such as gmail, hotmail, or company name.."), this);
    txtWebsiteName = textBox(QStringLiteral("txtWebsiteName"), 256, this);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("The URL (http://...)"),
                   QStringLiteral("Must copy and paste \"login page\" link directly from your web browser "), this);
    txtURL = textBox(QStringLiteral("txtURL"), 1024, this);
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Your Username"),
                   QStringLiteral("Your account login name "), this);
    txtID = textBox(QStringLiteral("txtID"), 256, this);
    Label4 =
        label(QStringLiteral("Label4"), QStringLiteral("Your Password"), QStringLiteral("Your account password"), this);
    txtPassword = textBox(QStringLiteral("txtPassword"), 256, this);
    txtPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    auto *passwordTools = new PasswordBoxTools(txtPassword, this); // shows it as "*" until asked
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("Website Thumbnail (optional)"), QString(), this);

    imgThumb = new QLabel(this);
    imgThumb->setObjectName(QStringLiteral("imgThumb"));
    imgThumb->setFixedSize(96, 72);
    imgThumb->setFrameShape(QFrame::StyledPanel);
    imgThumb->setAlignment(Qt::AlignCenter);
    imgThumb->setCursor(Qt::PointingHandCursor);
    lblNewThumb = label(QStringLiteral("lblNewThumb"), QStringLiteral("Click here"), QString(), this);
    lblNewThumb->setCursor(Qt::PointingHandCursor);
    QFont underlined = lblNewThumb->font();
    underlined.setUnderline(true);
    lblNewThumb->setFont(underlined);
    imgThumb->installEventFilter(this);
    lblNewThumb->installEventFilter(this);

    chkTympra = new QCheckBox(QStringLiteral("Secure this website with Tympra."), this);
    chkTympra->setObjectName(QStringLiteral("chkTympra"));
    chkTympra->setToolTip(QStringLiteral("Double protection with Tympra for your important account only"));
    imgWPTympra = new QLabel(this);
    imgWPTympra->setObjectName(QStringLiteral("imgWPTympra"));
    imgWPTympra->setPixmap(vaultryPicture(QStringLiteral(":/pictures/tympra.png"), devicePixelRatioF()));
    imgWPTympra->setHidden(true);
    connect(chkTympra, &QCheckBox::toggled, imgWPTympra, &QWidget::setVisible);

    cmdConfirm = new QPushButton(QStringLiteral("Confirm"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    cmdAbort = new QPushButton(QStringLiteral("Abort"), this);
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    connect(cmdConfirm, &QPushButton::clicked, this, &frmWebsiteProfile::cmdConfirm_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well

    // Only written and read by the dialog; the user never sees it.
    txtThumbFullPath = textBox(QStringLiteral("txtThumbFullPath"), 32767, this);
    txtThumbFullPath->setHidden(true);

    for (QLineEdit *box : {txtWebsiteName, txtURL, txtID, txtPassword})
        box->installEventFilter(this);
    // Screen readers name each box by the label above it; the password box sits in its tools' row, where the label
    // is no sibling to lend it its name, so every box is also named outright.
    const std::pair<QLabel *, QLineEdit *> named[] = {
        {Label1, txtWebsiteName}, {Label2, txtURL}, {Label3, txtID}, {Label4, txtPassword}};
    for (const auto &[caption, box] : named) {
        caption->setBuddy(box);
        box->setAccessibleName(caption->text());
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(txtWebsiteName, 1, 0, 1, 3);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(txtURL, 3, 0, 1, 3);
    grid->addWidget(Label3, 4, 0);
    grid->addWidget(txtID, 5, 0, 1, 3);
    grid->addWidget(Label4, 6, 0);
    grid->addWidget(passwordTools, 7, 0, 1, 3);
    grid->addWidget(Label5, 8, 0);
    auto *thumbRow = new QHBoxLayout;
    thumbRow->addWidget(imgThumb);
    thumbRow->addWidget(lblNewThumb, 0, Qt::AlignBottom);
    thumbRow->addStretch();
    grid->addLayout(thumbRow, 9, 0, 1, 3);
    auto *tympraRow = new QHBoxLayout;
    tympraRow->addWidget(chkTympra);
    tympraRow->addWidget(imgWPTympra);
    tympraRow->addStretch();
    grid->addLayout(tympraRow, 10, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdConfirm);
    buttons->addWidget(cmdAbort);
    grid->addLayout(buttons, 11, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(420);

    setTabOrder(txtWebsiteName, txtURL);
    setTabOrder(txtURL, txtID);
    setTabOrder(txtID, txtPassword);
    setTabOrder(txtPassword, passwordTools->cmdShowPassword);
    setTabOrder(passwordTools->cmdShowPassword, passwordTools->cmdGeneratePassword);
    setTabOrder(passwordTools->cmdGeneratePassword, chkTympra);
    setTabOrder(chkTympra, cmdConfirm);
    setTabOrder(cmdConfirm, cmdAbort);
    txtWebsiteName->setFocus();
}

void frmWebsiteProfile::NewWP()
{
    bNew = true;
    lIndex = -1;
}

void frmWebsiteProfile::EditWP(qint32 lWPIndex)
{
    bNew = false;
    lIndex = lWPIndex;
    txtWebsiteName->setText(m_db.WPName(lWPIndex));
    txtURL->setText(m_db.WPURL(lWPIndex));
    txtID->setText(m_db.WPID(lWPIndex));
    txtPassword->setText(m_db.WPPassword(lWPIndex));
    chkTympra->setChecked(m_db.WPTympra(lWPIndex));
    showThumb(m_db.WPThumbName(lWPIndex));
}

void frmWebsiteProfile::showThumb(const QString &path)
{
    if (!loadPicture(imgThumb, path, imgThumb->size()))
        imgThumb->clear();
}

void frmWebsiteProfile::cmdConfirm_Click()
{
    ProfileInput input;
    input.name = txtWebsiteName->text();
    input.url = txtURL->text();
    input.id = txtID->text();
    input.password = txtPassword->text();
    input.tympra = chkTympra->isChecked();
    input.thumbFullPath = txtThumbFullPath->text();
    input.thumbName = m_thumbTag;
    const ConfirmOutcome outcome = confirmProfile(m_db, input, bNew ? -1 : lIndex);
    for (const ProfileNotice &notice : outcome.notices)
        m_messages.show(kApplicationTitle, notice.text, notice.icon);
    if (!outcome.saved)
        return;
    emit WPUpdated();
    accept();
}

void frmWebsiteProfile::SelectThumb()
{
    const QString path = m_files.getOpenFileName(this, QStringLiteral("Website Thumbnail"),
                                                 QStringLiteral("Picture files (*.bmp *.jpg *.gif)"));
    if (path.isEmpty())
        return; // cancelled
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    // A file that is no picture leaves the shown picture, but is still taken (Confirm copies it).
    loadPicture(imgThumb, path, imgThumb->size());
    m_thumbTag = info.fileName();
    txtThumbFullPath->setText(path);
}

bool frmWebsiteProfile::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && (watched == imgThumb || watched == lblNewThumb)) {
        SelectThumb();
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched)) {
            // After the click that focused the box has placed the cursor.
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}
