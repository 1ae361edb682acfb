#include "frmtympra.h"

#include "clsagentdb.h"
#include "keyclock.h"
#include "messageservice.h"
#include "rhythmlearning.h"
#include "rhythmscoring.h"
#include "tymcoreengine.h"

#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kMinUserID = 3;
constexpr int kMaxUserID = 30;
constexpr int kMinPassword = 6;
constexpr int kMaxPassword = 15;

const QString kRegistrationTitle = QStringLiteral("Registration");
const QString kLoginTitle = QStringLiteral("Login");

// A small badge beside the boxes: a key cap over bars of a typing rhythm.
QPixmap rhythmBadge(qreal dpr)
{
    const int side = 56;
    QPixmap pixmap(QSize(side, side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, side);
    background.setColorAt(0, QColor(0x2f, 0x6f, 0xb3));
    background.setColorAt(1, QColor(0x1c, 0x45, 0x74));
    p.setPen(Qt::NoPen);
    p.setBrush(background);
    p.drawRoundedRect(QRectF(0, 0, side, side), 10, 10);
    p.setBrush(QColor(255, 255, 255, 230));
    const int heights[] = {14, 26, 10, 32, 20, 16};
    for (int i = 0; i < 6; ++i)
        p.drawRoundedRect(QRectF(8 + i * 7, 46 - heights[i], 5, heights[i]), 2, 2);
    return pixmap;
}

} // namespace

frmTympra::frmTympra(clsAgentDB &agentDB, bool &accessGranted, MessageService &messages,
                     const QString &engineLibraryPath, const KeyClock &clock, QWidget *parent)
    : QDialog(parent), m_agentDB(agentDB), m_accessGranted(accessGranted), m_messages(messages),
      m_engineLibraryPath(engineLibraryPath), m_clock(clock)
{
    buildControls();
    setWindowTitle(kApplicationTitle);
    sTrainSamples = QStringList(rhythm::kSampleCount);
}

void frmTympra::buildControls()
{
    lblRegistration = new QLabel(QStringLiteral("Create Tympra Profile"), this);
    lblRegistration->setToolTip(QStringLiteral("Only for first time Tympra Registration"));
    QFont heading = lblRegistration->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    lblRegistration->setFont(heading);
    lblRegistration->hide();

    lblTip = new QLabel(this);
    lblTip->setWordWrap(true);

    lblUserID = new QLabel(QStringLiteral("Username:"), this);
    txtUserID = new QLineEdit(this);
    txtUserID->setMaxLength(kMaxUserID);
    lblUserID->setBuddy(txtUserID);

    lblPassword = new QLabel(QStringLiteral("Master Password:"), this);
    txtMasterPassword = new QLineEdit(this);
    txtMasterPassword->setMaxLength(kMaxPassword);
    txtMasterPassword->setEchoMode(QLineEdit::Password);
    txtMasterPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    // Pasting would bypass the timing anyway; the box is for typing.
    txtMasterPassword->setContextMenuPolicy(Qt::NoContextMenu);
    lblPassword->setBuddy(txtMasterPassword);

    pgrTimes = new QProgressBar(this);
    pgrTimes->setRange(0, rhythm::kSampleCount);
    pgrTimes->setValue(0);
    pgrTimes->setTextVisible(false);
    txtCount = new QLineEdit(QStringLiteral("0"), this);
    txtCount->setReadOnly(true);
    txtCount->setFocusPolicy(Qt::NoFocus);
    txtCount->setAlignment(Qt::AlignCenter);
    txtCount->setFixedWidth(txtCount->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);

    lblKeptDatabase = new QLabel(this);
    lblKeptDatabase->setWordWrap(true);
    lblKeptDatabase->setStyleSheet(QStringLiteral("QLabel { color: #8a4b00; }"));
    lblKeptDatabase->hide();

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdNext = new QPushButton(QStringLiteral("Next"), this);
    cmdNext->setDefault(true);
    cmdCancel->setAutoDefault(false);

    auto *badge = new QLabel(this);
    badge->setPixmap(rhythmBadge(devicePixelRatioF()));
    badge->setAlignment(Qt::AlignTop);

    auto *fields = new QGridLayout;
    fields->addWidget(lblUserID, 0, 0);
    fields->addWidget(txtUserID, 0, 1, 1, 2);
    fields->addWidget(lblPassword, 1, 0);
    fields->addWidget(txtMasterPassword, 1, 1, 1, 2);
    fields->addWidget(pgrTimes, 2, 1);
    fields->addWidget(txtCount, 2, 2);
    fields->setColumnStretch(1, 1);

    auto *text = new QVBoxLayout;
    text->addWidget(lblRegistration);
    text->addWidget(lblTip);
    text->addSpacing(6);
    text->addLayout(fields);
    text->addWidget(lblKeptDatabase);

    auto *top = new QHBoxLayout;
    top->addWidget(badge, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(text, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(500);

    setTabOrder(txtUserID, txtMasterPassword);
    setTabOrder(txtMasterPassword, cmdNext);
    setTabOrder(cmdNext, cmdCancel);
    txtUserID->setFocus();

    txtUserID->installEventFilter(this);
    txtMasterPassword->installEventFilter(this);
    connect(cmdNext, &QPushButton::clicked, this, &frmTympra::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmTympra::RegisterNewTYMProfile()
{
    setWindowTitle(QStringLiteral("Vaultry Registration - powered by Tympra"));
    lblRegistration->show();
    pgrTimes->hide();
    txtCount->hide();
    lblTip->setText(QStringLiteral("Key in a new pair of Username and Master Password."));
    bRegisterMode = true;
    bTrainingPhase = false;
    updateCapture();
    showKeptDatabase();
}

void frmTympra::LogInTYMProfile()
{
    setWindowTitle(QStringLiteral("Vaultry Login - powered by Tympra"));
    pgrTimes->hide();
    txtCount->hide();
    lblTip->setText(QStringLiteral("Type your Master Password using your normal typing rhythm."));
    bLoginMode = true;
    updateCapture();
}

bool frmTympra::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && (watched == txtUserID || watched == txtMasterPassword)) {
        auto *box = static_cast<QLineEdit *>(watched);
        box->selectAll();
        // A mouse click places the cursor after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (watched == txtMasterPassword && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Auto-repeat key-downs count, as each is a key-down of its own.
        m_capture.keyDown(key->key(), key->modifiers(), m_clock.keyTime(*key));
    } else if (watched == txtMasterPassword && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Some window systems pair every repeated key-down with a release; only the real release counts.
        if (!key->isAutoRepeat() && m_capture.keyUp(key->key(), key->modifiers(), m_clock.keyTime(*key)))
            ClearPasswordBox();
    }
    return QDialog::eventFilter(watched, event);
}

void frmTympra::cmdNext_Click()
{
    if (bRegisterMode) {
        if (bTrainingPhase)
            enrolSample();
        else
            enrolFirstStep();
    } else if (bLoginMode) {
        logIn();
    }
}

void frmTympra::enrolFirstStep()
{
    const QString userID = txtUserID->text();
    if (userID.size() > kMaxUserID || userID.size() < kMinUserID) {
        m_messages.show(kRegistrationTitle, QStringLiteral("Invalid Username length."), MessageIcon::Warning);
        txtUserID->setFocus();
        return;
    }
    if (refuseForCodePage(userID, QStringLiteral("Username"), txtUserID))
        return;
    const QString password = txtMasterPassword->text();
    if (password.size() > kMaxPassword || password.size() < kMinPassword) {
        m_messages.show(kRegistrationTitle, QStringLiteral("Invalid Master Password length."), MessageIcon::Warning);
        txtMasterPassword->setFocus();
        return;
    }
    if (refuseForCodePage(password, QStringLiteral("Master Password"), txtMasterPassword))
        return;

    txtUserID->setReadOnly(true);
    sNewMasterPassword = password;
    pgrTimes->show();
    txtCount->show();
    lblTip->setText(QStringLiteral("Type your Master Password for 10 times using your normal typing rhythm."));
    bTrainingPhase = true;
    updateCapture();
    ClearPasswordBox();
}

// The database keeps one byte per character: text it cannot hold would come back changed.
bool frmTympra::refuseForCodePage(const QString &text, const QString &field, QLineEdit *box)
{
    if (fitsCodePage1252(text))
        return false;
    m_messages.show(
        kRegistrationTitle,
        QStringLiteral("The %1 contains a character that cannot be stored. Please use other characters.").arg(field),
        MessageIcon::Warning);
    box->setFocus();
    return true;
}

void frmTympra::enrolSample()
{
    const int length = int(sNewMasterPassword.size());
    if (m_capture.keyUpCount() != length || m_capture.keyDownCount() != length ||
        txtMasterPassword->text() != sNewMasterPassword) {
        m_messages.show(kRegistrationTitle, QStringLiteral("Invalid Password."), MessageIcon::Warning);
        ClearPasswordBox();
        return;
    }
    sTrainSamples[pgrTimes->value()] = m_capture.sampleText(length);
    pgrTimes->setValue(pgrTimes->value() + 1);
    txtCount->setText(QString::number(pgrTimes->value()));
    if (pgrTimes->value() < rhythm::kSampleCount) {
        ClearPasswordBox();
        return;
    }

    const QString trainData = sTrainSamples.join(QString());
    sTrainSamples = QStringList(rhythm::kSampleCount);
    m_agentDB.TYMUserID = txtUserID->text();
    m_agentDB.TYMMasterPassword = sNewMasterPassword;
    m_agentDB.TYMTrainData = trainData;
    const bool saved = m_agentDB.SaveDB();
    if (saved && !m_agentDB.KeptUnreadableDBFile().isEmpty()) {
        // The dialog closes in this step: tell the user where the old file went before it does.
        showKeptDatabase();
        m_messages.show(kApplicationTitle, lblKeptDatabase->text(), MessageIcon::Information);
    }
    if (saved)
        m_accessGranted = true;
    else
        m_messages.show(kApplicationTitle, QStringLiteral("Failed to save profile."), MessageIcon::Critical);
    done(saved ? Accepted : Rejected);
}

void frmTympra::logIn()
{
    const QString userID = txtUserID->text();
    const QString password = txtMasterPassword->text();
    QString refusal;
    const int length = int(m_agentDB.TYMMasterPassword.size());
    if (password.isEmpty() || userID.isEmpty())
        refusal = QStringLiteral("Check your input.");
    else if (userID != m_agentDB.TYMUserID)
        refusal = QStringLiteral("Check your Username.");
    else if (password != m_agentDB.TYMMasterPassword)
        refusal = QStringLiteral("Check your Master Password.");
    else if (m_capture.keyUpCount() != length || m_capture.keyDownCount() != length)
        refusal = QStringLiteral("Please key in your Master Password in one shot.");
    if (!refusal.isEmpty()) {
        m_messages.show(kLoginTitle, refusal, MessageIcon::Warning);
        ClearPasswordBox();
        return;
    }

    const int features = rhythm::featureCount(length);
    const auto typing = rhythm::loginVector(m_capture.keyDownGaps(), m_capture.keyUpDelays(), length);
    // A stored training text that holds something other than numbers cannot be judged.
    const auto training = rhythm::trainingMatrix(m_agentDB.TYMTrainData, features);
    if (!typing || !training)
        return;

    TymcoreEngine engine(m_engineLibraryPath);
    const auto verdict = rhythm::judgeWithEngine(engine, *training, *typing);
    if (verdict && verdict->passed) {
        // The reference follows the user's practice: this typing takes the place of the oldest sample. The login
        // stands even when the save fails; the stored samples then stay as they were.
        const QString trainData = m_agentDB.TYMTrainData;
        m_agentDB.TYMTrainData = rhythm::withLoginSample(trainData, m_capture.sampleText(length));
        if (!m_agentDB.SaveDB())
            m_agentDB.TYMTrainData = trainData;
        m_accessGranted = true;
        accept();
    } else if (verdict) {
        m_messages.show(kApplicationTitle, QStringLiteral("Failed to log in."), MessageIcon::Warning);
        ClearPasswordBox();
    } else if (!engine.isCreated()) {
        // Nobody can get in without it: say so, and why, rather than leave Next doing nothing.
        m_messages.show(kApplicationTitle,
                        QStringLiteral("The typing-rhythm engine could not be loaded.") + QStringLiteral("\r\n") +
                            engine.errorString(),
                        MessageIcon::Warning);
    }
    // Without a verdict (no engine, a failed call, a zero row) the attempt ends there: box and capture stay.
    engine.registerServer();
}

void frmTympra::ClearPasswordBox()
{
    m_capture.reset();
    txtMasterPassword->clear();
    txtMasterPassword->setFocus();
}

void frmTympra::updateCapture()
{
    m_capture.setActive(bTrainingPhase || bLoginMode);
}

void frmTympra::showKeptDatabase()
{
    if (!bRegisterMode || !m_agentDB.FoundUnreadableDB())
        return;
    const QString kept = m_agentDB.KeptUnreadableDBFile();
    if (kept.isEmpty())
        lblKeptDatabase->setText(QStringLiteral("The database file %1 could not be read. It will not be overwritten: "
                                                "registering keeps it aside under a new name.")
                                     .arg(QDir::toNativeSeparators(m_agentDB.DBFile())));
    else
        lblKeptDatabase->setText(QStringLiteral("The database file that could not be read was kept as %1.")
                                     .arg(QDir::toNativeSeparators(kept)));
    lblKeptDatabase->show();
}
