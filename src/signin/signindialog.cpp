#include "signindialog.h"

#include "cp1252text.h"
#include "keyclock.h"
#include "messageservice.h"
#include "profilestore.h"
#include "rhythmlearning.h"
#include "rhythmscoring.h"
#include "tymcoreengine.h"
#include "ui_signindialog.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int kMinUserName = 3;
constexpr int kMinPassword = 6;

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

SignInDialog::SignInDialog(Mode mode, ProfileStore &store, MessageService &messages, const QString &engineLibraryPath,
                           const KeyClock &clock, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::SignInDialog>()), m_mode(mode), m_store(store), m_messages(messages),
      m_engineLibraryPath(engineLibraryPath), m_clock(clock), m_samples(rhythm::kSampleCount)
{
    ui->setupUi(this);
    ui->imgRhythm->setPixmap(rhythmBadge(devicePixelRatioF()));
    QFont heading = ui->lblRegistration->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    ui->lblRegistration->setFont(heading);
    ui->lblKeptDatabase->hide();
    ui->pgrTimes->hide();
    ui->txtCount->hide();
    ui->txtUserID->installEventFilter(this);
    ui->txtMasterPassword->installEventFilter(this);
    connect(ui->cmdNext, &QPushButton::clicked, this, &SignInDialog::next);

    const bool enrolment = mode != Mode::Login;
    setWindowTitle(mode == Mode::Enrolment   ? QStringLiteral("Vaultry Registration - powered by Tympra")
                       : mode == Mode::Login ? QStringLiteral("Vaultry Login - powered by Tympra")
                                             : QStringLiteral("Vaultry New Master Password - powered by Tympra"));
    ui->lblRegistration->setVisible(enrolment);
    ui->lblTip->setText(enrolment ? QStringLiteral("Key in a new pair of Username and Master Password.")
                                  : QStringLiteral("Type your Master Password using your normal typing rhythm."));
    // The password typed in the enrolment's first step is not timed.
    m_capture.setActive(!enrolment);
    if (mode == Mode::NewPassword) {
        ui->lblRegistration->setText(QStringLiteral("New Master Password"));
        ui->lblTip->setText(QStringLiteral("Key in a new Master Password."));
        ui->txtUserID->setText(store.enrolment().userName);
        ui->txtUserID->setReadOnly(true);
    }
    showKeptWallet();
    (mode == Mode::NewPassword ? ui->txtMasterPassword : ui->txtUserID)->setFocus();
}

SignInDialog::~SignInDialog() = default;

bool SignInDialog::eventFilter(QObject *watched, QEvent *event)
{
    QLineEdit *password = ui->txtMasterPassword;
    if (event->type() == QEvent::FocusIn && (watched == ui->txtUserID || watched == password)) {
        auto *box = static_cast<QLineEdit *>(watched);
        box->selectAll();
        // A mouse click places the cursor after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (watched == password && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Auto-repeat key-downs count, as each is a key-down of its own.
        m_capture.keyDown(key->key(), key->modifiers(), m_clock.keyTime(*key));
    } else if (watched == password && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Some window systems pair every repeated key-down with a release; only the real release counts.
        if (!key->isAutoRepeat() && m_capture.keyUp(key->key(), key->modifiers(), m_clock.keyTime(*key)))
            clearPasswordBox();
    }
    return QDialog::eventFilter(watched, event);
}

void SignInDialog::next()
{
    if (m_mode == Mode::Login)
        logIn();
    else if (m_training)
        enrolSample();
    else
        enrolFirstStep();
}

void SignInDialog::enrolFirstStep()
{
    if (refuseField(ui->txtUserID, kMinUserName, QStringLiteral("Username")) ||
        refuseField(ui->txtMasterPassword, kMinPassword, QStringLiteral("Master Password")))
        return;
    ui->txtUserID->setReadOnly(true);
    m_newMasterPassword = ui->txtMasterPassword->text();
    ui->pgrTimes->show();
    ui->txtCount->show();
    ui->lblTip->setText(QStringLiteral("Type your Master Password for 10 times using your normal typing rhythm."));
    m_training = true;
    m_capture.setActive(true);
    clearPasswordBox();
}

// A length within the box's bounds, and only characters the wallet can hold (one byte each: others would come
// back changed); else the field's message, and the input goes back to it.
bool SignInDialog::refuseField(QLineEdit *box, int minLength, const QString &field)
{
    const QString text = box->text();
    QString refusal;
    if (text.size() > box->maxLength() || text.size() < minLength)
        refusal = QStringLiteral("Invalid %1 length.").arg(field);
    else if (!cp1252text::fits(text))
        refusal = QStringLiteral("The %1 contains a character that cannot be stored. Please use other characters.")
                      .arg(field);
    if (refusal.isEmpty())
        return false;
    m_messages.show(kRegistrationTitle, refusal, MessageIcon::Warning);
    box->setFocus();
    return true;
}

void SignInDialog::enrolSample()
{
    const int length = int(m_newMasterPassword.size());
    if (m_capture.keyUpCount() != length || m_capture.keyDownCount() != length ||
        ui->txtMasterPassword->text() != m_newMasterPassword) {
        m_messages.show(kRegistrationTitle, QStringLiteral("Invalid Password."), MessageIcon::Warning);
        clearPasswordBox();
        return;
    }
    QProgressBar *progress = ui->pgrTimes;
    m_samples[progress->value()] = m_capture.sampleText(length);
    progress->setValue(progress->value() + 1);
    ui->txtCount->setText(QString::number(progress->value()));
    if (progress->value() < rhythm::kSampleCount)
        clearPasswordBox();
    else
        saveEnrolment();
}

void SignInDialog::saveEnrolment()
{
    const QString trainingText = m_samples.join(QString());
    m_samples = QStringList(rhythm::kSampleCount);
    QString error;
    if (!m_store.setEnrolment({ui->txtUserID->text(), m_newMasterPassword, trainingText}, &error)) {
        m_messages.show(kApplicationTitle, withReason(QStringLiteral("Failed to save profile."), error),
                        MessageIcon::Critical);
        done(Rejected);
        return;
    }
    if (m_mode == Mode::Enrolment && !m_store.keptUnreadableWallet().isEmpty()) {
        // The dialog closes in this step: tell the user where the old file went before it does.
        showKeptWallet();
        m_messages.show(kApplicationTitle, ui->lblKeptDatabase->text(), MessageIcon::Information);
    }
    done(Accepted);
}

QString SignInDialog::loginRefusal() const
{
    const QString userName = ui->txtUserID->text();
    const QString password = ui->txtMasterPassword->text();
    const Enrolment &enrolled = m_store.enrolment();
    const int length = int(enrolled.masterPassword.size());
    if (password.isEmpty() || userName.isEmpty())
        return QStringLiteral("Check your input.");
    if (userName != enrolled.userName)
        return QStringLiteral("Check your Username.");
    if (password != enrolled.masterPassword)
        return QStringLiteral("Check your Master Password.");
    if (m_capture.keyUpCount() != length || m_capture.keyDownCount() != length)
        return QStringLiteral("Please key in your Master Password in one shot.");
    return {};
}

// A sealed wallet opens with the typed password before anything in it can be compared; a password that does not open
// it is a wrong one, and the file stays as it was.
QString SignInDialog::unlockRefusal()
{
    if (ui->txtMasterPassword->text().isEmpty() || ui->txtUserID->text().isEmpty())
        return {};
    // A wallet on disk sealed on another machine under a new master password opens with the new one; then that one
    // is the password this login compares with.
    if (!m_store.isLocked() && m_store.mayHaveChangedOnDisk())
        m_store.refresh(nullptr, ui->txtMasterPassword->text());
    if (!m_store.isLocked())
        return {};
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = m_store.unlock(ui->txtMasterPassword->text(), &error);
    QApplication::restoreOverrideCursor();
    return opened ? QString() : withReason(QStringLiteral("Check your Master Password."), error);
}

void SignInDialog::logIn()
{
    QString refusal = unlockRefusal();
    if (refusal.isEmpty())
        refusal = loginRefusal();
    if (!refusal.isEmpty()) {
        m_messages.show(kLoginTitle, refusal, MessageIcon::Warning);
        clearPasswordBox();
        return;
    }
    judgeRhythm(int(m_store.enrolment().masterPassword.size()));
}

void SignInDialog::judgeRhythm(int length)
{
    const auto typing = rhythm::loginVector(m_capture.keyDownGaps(), m_capture.keyUpDelays(), length);
    // A stored training text that holds something other than numbers cannot be judged.
    const auto training = rhythm::trainingMatrix(m_store.enrolment().trainingText, rhythm::featureCount(length));
    if (!typing || !training)
        return;

    TymcoreEngine engine(m_engineLibraryPath);
    QString error;
    rhythm::Verdict verdict;
    if (!engine.load(&error)) {
        // Nobody can get in without it: say so, and why, rather than leave Next doing nothing.
        m_messages.show(kApplicationTitle,
                        withReason(QStringLiteral("The typing-rhythm engine could not be loaded."), error),
                        MessageIcon::Warning);
    } else if (!rhythm::judgeWithEngine(engine, *training, *typing, &verdict)) {
        // Without a verdict (a failed call, a zero row) the attempt ends there: box and capture stay.
    } else if (verdict.passed) {
        // The reference follows the user's practice: this typing takes the place of the oldest sample. The login
        // stands even when the save fails; the stored samples then stay as they were.
        Enrolment learned = m_store.enrolment();
        learned.trainingText = rhythm::withLoginSample(learned.trainingText, m_capture.sampleText(length));
        m_store.setEnrolment(learned);
        accept();
    } else {
        m_messages.show(kApplicationTitle, QStringLiteral("Failed to log in."), MessageIcon::Warning);
        clearPasswordBox();
    }
    engine.registerServer();
}

void SignInDialog::clearPasswordBox()
{
    m_capture.reset();
    ui->txtMasterPassword->clear();
    ui->txtMasterPassword->setFocus();
}

void SignInDialog::showKeptWallet()
{
    if (m_mode != Mode::Enrolment || !m_store.foundUnreadableWallet())
        return;
    const QString kept = m_store.keptUnreadableWallet();
    if (kept.isEmpty())
        ui->lblKeptDatabase->setText(QStringLiteral("The database file %1 could not be read. It will not be "
                                                    "overwritten: registering keeps it aside under a new name.")
                                         .arg(QDir::toNativeSeparators(m_store.walletPath())));
    else
        ui->lblKeptDatabase->setText(QStringLiteral("The database file that could not be read was kept as %1.")
                                         .arg(QDir::toNativeSeparators(kept)));
    ui->lblKeptDatabase->show();
}
